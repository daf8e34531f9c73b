#!/usr/bin/env python3
"""Plants one generic fault at a time into product code and asks the tests.

Run by scripts/mutate.sh, inside a started test environment. For each
chosen site the file is changed, the target's tree rebuilt incrementally
and the module's own CTest entries run; a mutant they let through is tried
again against every unit entry before it counts as a survivor. The file is
put back after every mutant, also when the run is interrupted.

Kinds of fault: an integer constant n to n+1, n-1 or 0; a relational
operator replaced by another; && and || swapped; an if's condition negated;
a call statement or an assignment removed; true and false swapped; a
returned value replaced by its zero ({}).
"""
import argparse
import os
import random
import re
import signal
import subprocess
import sys

MODULES = {
    "formsrt": (["formsrt"], ["formsrt_tests", "forms_tests", "control_tests", "container_tests"]),
    "quennet": (["quennet"], ["quennet_tests"]),
    "vanterbox": (["vanterbox"], ["vanterbox_tests"]),
    "gridrace": (["gridrace"], ["gridrace_tests"]),
    "tessmark": (["tessmark"], ["tessmark_tests"]),
    "standins": (["standins"], ["grid_standins_tests", "hookwatch_tests"]),
}
# Every entry that runs the code directly; the long soak, the lifetime cycles
# and the release check are left to CI.
UNIT_ENTRIES = sorted({entry for _, entries in MODULES.values() for entry in entries} |
                      {"fuzz_tests", "seam", "binaries", "help_strings"})
NOT_PRODUCT = ("/tests/", "/bench/", "/direct/")

RELATIONAL = ["<", "<=", ">", ">=", "==", "!="]
INTEGER = re.compile(r"(?<![\w.])(0x[0-9A-Fa-f]+|\d+)(?![\w.])")
SPACED_OPERATOR = re.compile(r"(?<=\s)(<=|>=|==|!=|<|>|&&|\|\|)(?=\s)")
BOOLEAN = re.compile(r"\b(true|false)\b")
RETURN_VALUE = re.compile(r"^(\s*)return (?!;)(.+);\s*$")
STATEMENT = re.compile(r"^\s*(?!return\b|case\b|default\b|using\b|[A-Za-z_][\w:<>,\s*&]*\s[*&]?\w+\s*[={(])"
                       r"[\w:.>\-\[\]()*]+(\s*[-+*/|&]?=\s*[^=].*|\(.*\));\s*$")


def code_part(line):
    """The line without its string literals and comment, for finding sites."""
    line = re.sub(r'L?"(\\.|[^"\\])*"', lambda m: " " * len(m.group(0)), line)
    line = re.sub(r"'(\\.|[^'\\])'", lambda m: " " * len(m.group(0)), line)
    comment = line.find("//")
    return line if comment < 0 else line[:comment] + " " * (len(line) - comment)


def negated_if(line):
    start = line.find("if (")
    if start < 0:
        return None
    depth, i = 0, start + 3
    for i in range(start + 3, len(line)):
        depth += {"(": 1, ")": -1}.get(line[i], 0)
        if depth == 0:
            break
    if depth != 0:
        return None
    return line[:start + 4] + "!(" + line[start + 4:i] + ")" + line[i:]


def mutants_of(line):
    """(before, after) pairs of whole lines, one per fault this line can take."""
    code = code_part(line)
    stripped = code.strip()
    if not stripped or stripped.startswith(("#", "static_assert", "namespace", "}")):
        return []
    found = []

    def replace(span, text):
        return line[:span[0]] + text + line[span[1]:]

    for match in INTEGER.finditer(code):
        text = match.group(1)
        value = int(text, 16) if text.lower().startswith("0x") else int(text)
        for other in {value + 1, value - 1, 0} - {value}:
            if other < 0:
                continue
            found.append(replace(match.span(1), hex(other) if text.lower().startswith("0x") else str(other)))
    for match in SPACED_OPERATOR.finditer(code):
        operator = match.group(1)
        if operator in ("&&", "||"):
            found.append(replace(match.span(1), "||" if operator == "&&" else "&&"))
        else:
            found.extend(replace(match.span(1), other) for other in RELATIONAL if other != operator)
    for match in BOOLEAN.finditer(code):
        found.append(replace(match.span(1), "false" if match.group(1) == "true" else "true"))
    negated = negated_if(code) if "if (" in code else None
    if negated:
        found.append(negated_if(line))
    returned = RETURN_VALUE.match(code)
    # Values that are already zero (S_OK and NOERROR are 0) make no mutant.
    if returned and returned.group(2).strip() not in ("{}", "0", "nullptr", "false", "S_OK", "NOERROR"):
        found.append(returned.group(1) + "return {};\n")
    if STATEMENT.match(code) and not code.rstrip().endswith(("{", ",")):
        found.append(re.match(r"\s*", line).group(0) + ";\n")
    return [(line, after) for after in found if after and after != line]


def sites(root, module):
    directories, _ = MODULES[module]
    for top in directories:
        for directory, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                path = os.path.relpath(os.path.join(directory, name), root)
                if not name.endswith(".cpp") or any(part in "/" + path for part in NOT_PRODUCT):
                    continue
                with open(os.path.join(root, path), encoding="utf-8") as source:
                    lines = source.readlines()
                for number, line in enumerate(lines, 1):
                    for before, after in mutants_of(line):
                        yield path, number, before, after


def run(command, **options):
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **options).returncode


def servers(build):
    with open(os.path.join(build, "com_servers.txt"), encoding="utf-8") as listing:
        return [line.strip() for line in listing if line.strip()]


def build_and_register(build):
    """Builds the tree; a COM server the build changed is registered again,
    since what it writes at registration may be what the mutant changed."""
    before = {server: os.path.getmtime(server) for server in servers(build) if os.path.exists(server)}
    if run(["cmake", "--build", build]) != 0:
        return False
    for server in servers(build):
        if os.path.exists(server) and os.path.getmtime(server) != before.get(server):
            run([os.environ["WINE_LOADER"], "regsvr32", "/s", server])
    return True


def entries_pass(build, entries, timeout):
    pattern = "^(" + "|".join(entries) + ")$"
    return run(["ctest", "--test-dir", build, "-R", pattern, "--timeout", str(timeout)]) == 0


class PlantedFault:
    """The mutant written into its file; the file is put back on leaving."""

    def __init__(self, root, path, number, after):
        self.file = os.path.join(root, path)
        self.number = number
        self.after = after

    def __enter__(self):
        with open(self.file, encoding="utf-8") as source:
            self.original = source.read()
        lines = self.original.splitlines(keepends=True)
        lines[self.number - 1] = self.after
        with open(self.file, "w", encoding="utf-8") as target:
            target.write("".join(lines))
        return self

    def __exit__(self, *_):
        with open(self.file, "w", encoding="utf-8") as target:
            target.write(self.original)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--target", default="x64", choices=["x64", "x86"])
    parser.add_argument("--module", default="all", choices=["all", *MODULES])
    parser.add_argument("--count", type=int, default=20, help="compiling mutants per module")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--timeout", type=int, default=300, help="seconds per CTest entry")
    parser.add_argument("--list", action="store_true", help="print the sites only")
    parser.add_argument("--verbose", action="store_true",
                        help="also print each killed mutant, so that a long run shows its progress")
    options = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.join(root, "build", options.target)
    # An interruption still puts the file back (PlantedFault's __exit__).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(130))

    modules = list(MODULES) if options.module == "all" else [options.module]
    totals = []
    planted = False
    try:
        for module in modules:
            candidates = list(sites(root, module))
            if options.list:
                for path, number, before, after in candidates:
                    print(f"{path}:{number}: {before.strip()} -> {after.strip()}")
                continue
            random.Random(f"{options.seed}:{module}").shuffle(candidates)
            killed = survived = not_compiled = 0
            _, own_entries = MODULES[module]
            for path, number, before, after in candidates:
                if killed + survived >= options.count:
                    break
                planted = True
                with PlantedFault(root, path, number, after):
                    if not build_and_register(build):
                        not_compiled += 1
                        continue
                    if not entries_pass(build, own_entries, options.timeout) or \
                            not entries_pass(build, UNIT_ENTRIES, options.timeout):
                        killed += 1
                        if options.verbose:
                            print(f"  killed {killed + survived}/{options.count}: {path}:{number}", flush=True)
                        continue
                    survived += 1
                    print(f"{path}:{number}: {before.strip()} -> {after.strip()}", flush=True)
            total = killed + survived
            score = 100.0 * killed / total if total else 100.0
            totals.append((module, killed, survived, not_compiled, score))
            print(f"== {module}: {killed} killed, {survived} survived, {not_compiled} did not compile;"
                  f" score {score:.0f} % (seed {options.seed}, {options.target})", flush=True)
    finally:
        if planted:
            build_and_register(build)  # the tree and its registration as the sources are again
    return 0


if __name__ == "__main__":
    sys.exit(main())
