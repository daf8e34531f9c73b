#!/usr/bin/env python3
"""Makes one target's Windows Installer package from a staged release folder,
inside the test environment (scripts/testenv.sh) of that target's build.

Each COM library's registration rows are what the library itself registers:
it is registered with regsvr32 in the prefix, the classes tree is exported
before and after, and what was added becomes its rows (then it is
unregistered again). The library's own path in a value becomes its file's
installed path ([#file]) and its folder the install folder ([INSTALLFOLDER]),
so the package and the libraries cannot disagree.

Writes, into --work:
  ComponentSuite-<target>-libraries.wxs  the libraries, each one component
      with its file and its registration (ComponentSuiteLibraries), for
      program authors to carry into their own installers;
  ComponentSuite-<target>-files.wxs      every other file (ComponentSuiteFiles);
and the package --out, built with wixl from release/installer/ComponentSuite.wxs
and both fragments.

usage: make_installer.py --target x86|x64 --stage DIR --version A.B.C --work DIR --out FILE.msi
"""

import argparse
import os
import re
import subprocess
import sys
from xml.sax.saxutils import quoteattr

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import classes_registry  # noqa: E402

MACHINE_CLASSES = "HKEY_LOCAL_MACHINE\\Software\\Classes"
LIBRARY_SUFFIXES = (".ocx", ".dll")
# The zip archive's registration scripts have no place in a package that
# registers through its own tables.
LEFT_OUT_SUFFIXES = (".cmd",)
WXS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ComponentSuite.wxs")


def capture_registration(wine, library):
    """The keys and values that registering the library adds to the machine's
    classes, relative to HKEY_LOCAL_MACHINE\\Software\\Classes."""
    path = wine.windows_path(library)
    # Another copy of the library (the build's own) may be registered.
    wine.run("regsvr32", "/s", "/u", path, check=False)
    before = classes_registry.relative(wine.export(MACHINE_CLASSES), MACHINE_CLASSES)
    wine.run("regsvr32", "/s", path)
    after = classes_registry.relative(wine.export(MACHINE_CLASSES), MACHINE_CLASSES)
    wine.run("regsvr32", "/s", "/u", path)
    rows = classes_registry.added(before, after)
    if not rows:
        raise SystemExit(f"registering {library} added nothing to {MACHINE_CLASSES}")
    return rows


def formatted(text):
    """Literal text as a Windows Installer formatted string: brackets escaped,
    and a leading '#' (which would make a number) doubled."""
    text = "".join({"[": "[\\[]", "]": "[\\]]"}.get(c, c) for c in text)
    return "#" + text if text.startswith("#") else text


def installed_value(value, library_path, file_id):
    """A captured value with the library's path and folder replaced by where
    the package installs them. Anything else naming the capture's folder
    would point outside the installation: refused."""
    if isinstance(value, classes_registry.RawValue):
        raise SystemExit(f"a registration value that is not a string: {value}")
    folder = library_path.rsplit("\\", 1)[0]
    if value.lower() == folder.lower():
        # The installer writes a folder with its trailing backslash.
        return "[INSTALLFOLDER]"
    pieces = re.split(re.escape(library_path), value, flags=re.IGNORECASE)
    if any(folder.lower() in piece.lower() for piece in pieces):
        raise SystemExit(f"a registration value names the capture's folder: {value}")
    return f"[#{file_id}]".join(formatted(piece) for piece in pieces)


def registry_rows(rows, library_path, file_id):
    """RegistryValue elements under HKMU\\Software\\Classes: one per value,
    and for a new key that holds neither values nor new keys a '*' row, which
    creates it on install and removes it on uninstall."""
    elements = []
    for path in sorted(rows):
        key = rows[path]
        full_key = formatted("Software\\Classes\\" + key.path)
        if not key.values and not classes_registry.has_subkeys(rows, path):
            elements.append(f'<RegistryValue Root="HKMU" Key={quoteattr(full_key)} Name="*" '
                            f'Value="" Type="string"/>')
        for name, value in sorted(key.values.values()):
            if value == "":
                raise SystemExit(f"an empty registration value, which the installer cannot write: "
                                 f"{key.path} {name}")
            name_attribute = f" Name={quoteattr(formatted(name))}" if name else ""
            elements.append(f'<RegistryValue Root="HKMU" Key={quoteattr(full_key)}{name_attribute} '
                            f'Value={quoteattr(installed_value(value, library_path, file_id))} '
                            f'Type="string"/>')
    return elements


def component(name, win64, registry=()):
    indent = "\n          "
    lines = [f'<File Id={quoteattr(name)} Source={quoteattr("$(var.Stage)/" + name)} KeyPath="yes"/>',
             *registry]
    return (f'      <Component Id={quoteattr(name)} Guid="*" Win64="{win64}">{indent}'
            + indent.join(lines) + "\n      </Component>\n")


def fragment(group, components, note):
    references = "".join(f"      <ComponentRef Id={quoteattr(name)}/>\n" for name, _ in components)
    return ('<?xml version="1.0" encoding="utf-8"?>\n'
            f"<!-- {note} -->\n"
            '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">\n'
            "  <Fragment>\n"
            '    <DirectoryRef Id="INSTALLFOLDER">\n'
            + "".join(text for _, text in components)
            + "    </DirectoryRef>\n"
            f"    <ComponentGroup Id={quoteattr(group)}>\n" + references
            + "    </ComponentGroup>\n  </Fragment>\n</Wix>\n")


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as file:
        file.write(text)


def build_package(target, stage, version, fragments, out):
    # wixl finds a file only by a path relative to where it runs.
    subprocess.run(["wixl", "-a", target, "-D", f"Target={target}", "-D", f"Version={version}",
                    "-D", "Stage=.", "-o", os.path.abspath(out), WXS,
                    *(os.path.abspath(f) for f in fragments)], cwd=stage, check=True)
    # wixl writes the HKMU root as 4, which is no root at all; Windows
    # Installer's own number for it is -1 (the machine's keys for a
    # per-machine installation, the user's for a per-user one).
    subprocess.run(["msibuild", out, "-q", "UPDATE Registry SET Root = -1 WHERE Root = 4"], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--target", choices=("x86", "x64"), required=True)
    parser.add_argument("--stage", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()

    wine = classes_registry.Wine()
    win64 = "yes" if args.target == "x64" else "no"
    names = sorted(name for name in os.listdir(args.stage)
                   if os.path.isfile(os.path.join(args.stage, name))
                   and not name.lower().endswith(LEFT_OUT_SUFFIXES))
    libraries, files = [], []
    for name in names:
        if name.lower().endswith(LIBRARY_SUFFIXES):
            library = os.path.join(args.stage, name)
            rows = capture_registration(wine, library)
            registry = registry_rows(rows, wine.windows_path(library), name)
            libraries.append((name, component(name, win64, registry)))
        else:
            files.append((name, component(name, win64)))

    os.makedirs(args.work, exist_ok=True)
    generated = "generated by release/installer/make_installer.py"
    libraries_wxs = os.path.join(args.work, f"ComponentSuite-{args.target}-libraries.wxs")
    files_wxs = os.path.join(args.work, f"ComponentSuite-{args.target}-files.wxs")
    write(libraries_wxs, fragment(
        "ComponentSuiteLibraries", libraries,
        f"The {args.target} COM libraries, each with the registration it writes itself ({generated}). "
        "Define Stage as the folder that holds the files."))
    write(files_wxs, fragment("ComponentSuiteFiles", files, f"The other files ({generated})."))
    build_package(args.target, args.stage, args.version, [libraries_wxs, files_wxs], args.out)
    print(f"installer: {args.out}")


if __name__ == "__main__":
    main()
