"""The classes part of a Wine prefix's registry, as the installer's generator
and its test read it: exported with Wine's own reg.exe, parsed into keys and
values, and compared.

A registry is a dict: key path (as exported, lower-cased) -> Key. Key names
and value names compare ignoring case, as the registry does; values compare
exactly.
"""

import os
import subprocess
import tempfile
from dataclasses import dataclass, field


class RawValue(str):
    """A value of a type other than REG_SZ, as exported (e.g. 'dword:00000001')."""


@dataclass
class Key:
    path: str                                   # as the registry spells it
    values: dict = field(default_factory=dict)  # lower-cased name -> (name, value)


class Wine:
    """Runs Windows programs in the test environment's prefix
    (scripts/testenv.sh exports WINE_LOADER and WINEPREFIX)."""

    def __init__(self):
        self.loader = os.environ.get("WINE_LOADER")
        self.prefix = os.environ.get("WINEPREFIX")
        if not self.loader or not self.prefix:
            raise SystemExit("run inside the test environment (scripts/testenv.sh)")

    def run(self, *args, check=True):
        result = subprocess.run([self.loader, *args], capture_output=True, text=True,
                                errors="replace")
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(args)} ended with {result.returncode}: "
                               f"{result.stdout}{result.stderr}")
        return result

    def windows_path(self, path):
        """The path as Windows programs in the prefix name it: C: for the
        prefix's own drive, Z: (the root) for everything else."""
        path = os.path.abspath(path)
        drive_c = os.path.abspath(self.drive_c())
        if path == drive_c or path.startswith(drive_c + os.sep):
            return "C:" + (path[len(drive_c):] or "\\").replace("/", "\\")
        return "Z:" + path.replace("/", "\\")

    def drive_c(self, *parts):
        return os.path.join(self.prefix, "drive_c", *parts)

    def export(self, root):
        """The whole tree under root (e.g. HKLM\\Software\\Classes); empty when
        the root does not exist."""
        with tempfile.TemporaryDirectory(dir=self.drive_c()) as folder:
            exported = os.path.join(folder, "export.reg")
            result = self.run("reg", "export", root, self.windows_path(exported), "/y", check=False)
            if result.returncode != 0:
                return {}
            with open(exported, "rb") as file:
                return parse(file.read().decode("utf-16"))


def _unquote(text):
    """A quoted .reg string (starting at its opening quote) and what follows it."""
    out, i = [], 1
    while text[i] != '"':
        if text[i] == "\\":
            i += 1
        out.append(text[i])
        i += 1
    return "".join(out), text[i + 1:]


def parse(text):
    """A .reg export (REGEDIT5) as a registry dict. String values are kept as
    str; every other type as a RawValue, which the generator refuses."""
    registry, key, pending = {}, None, ""
    for line in text.splitlines():
        line = pending + line
        pending = ""
        if line.endswith("\\") and not line.startswith("["):
            pending = line[:-1].strip()  # a hex value continued on the next line
            continue
        if line.startswith("[") and line.endswith("]"):
            path = line[1:-1]
            key = registry.setdefault(path.lower(), Key(path))
        elif key is not None and (line.startswith('"') or line.startswith("@=")):
            if line.startswith("@="):
                name, rest = "", line[1:]
            else:
                name, rest = _unquote(line)
            rest = rest[1:]  # the '='
            value = _unquote(rest)[0] if rest.startswith('"') else RawValue(rest)
            key.values[name.lower()] = (name, value)
    return registry


def relative(registry, root):
    """The keys below root (lower-cased prefix 'hkey_...\\software\\classes'),
    with paths relative to it."""
    prefix = root.lower() + "\\"
    return {path[len(prefix):]: Key(key.path[len(prefix):], key.values)
            for path, key in registry.items() if path.startswith(prefix)}


def added(before, after):
    """What after holds beyond before: every key that is new with all its
    values, and every new or changed value of a key that was there. A key
    that was there and kept its values is left out."""
    result = {}
    for path, key in after.items():
        old = before.get(path)
        if old is None:
            result[path] = Key(key.path, dict(key.values))
            continue
        changed = {name: value for name, value in key.values.items()
                   if old.values.get(name) != value}
        if changed:
            result[path] = Key(key.path, changed)
    return result


def has_subkeys(registry, path):
    """Whether the registry holds a key below path (both lower-cased)."""
    return any(other.startswith(path + "\\") for other in registry)


def without_bare_parents(registry):
    """The registry without the keys that hold no value and only lead to
    other keys: what differs between two roots when one already had
    CLSID, Interface or TypeLib and the other did not."""
    return {path: key for path, key in registry.items()
            if key.values or not has_subkeys(registry, path)}


def without_empty_leaves(registry):
    """The registry without keys that hold neither values nor keys. Wine's
    installer removes every key that its removal leaves empty, also one that
    was there, empty, before."""
    return {path: key for path, key in registry.items()
            if key.values or has_subkeys(registry, path)}


def differences(expected, actual):
    """Lines saying how actual differs from expected, key by key and value by
    value; empty when they are the same."""
    lines = []
    for path in sorted(set(expected) | set(actual)):
        want, have = expected.get(path), actual.get(path)
        if have is None:
            lines.append(f"missing key {want.path}")
            continue
        if want is None:
            lines.append(f"extra key {have.path}")
            continue
        for name in sorted(set(want.values) | set(have.values)):
            w, h = want.values.get(name), have.values.get(name)
            if w != h:
                label = (w or h)[0] or "(default)"
                lines.append(f"{want.path} {label}: expected {w[1] if w else 'nothing'!r}, "
                             f"found {h[1] if h else 'nothing'!r}")
    return lines
