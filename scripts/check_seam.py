#!/usr/bin/env python3
"""Fails when product code calls a platform library directly.

Every call of user32, gdi32, shell32, kernel32, winmm, comctl32 and
advapi32 in product code goes through the platform seam
(formsrt/platform/Platform.h). This scan lists the entry points those
libraries export (from the toolchain's import libraries) and reports each
call written as ::Name( outside the seam itself.

What stays direct, and is not scanned: COM's own ole32 and oleaut32 calls,
the C runtime, and formsrt/com/LibraryRuntimeSupport.cpp, which runs
beneath the seam's own static tables. Tests, benchmarks and the direct mixer
helper that tests compare the library with are not product code.

usage: check_seam.py <source root> <nm> <import library folder>
"""
import os
import re
import subprocess
import sys

SEAM_LIBRARIES = ["user32", "gdi32", "shell32", "kernel32", "winmm", "comctl32", "advapi32"]
PRODUCT_ROOTS = ["formsrt", "quennet", "vanterbox", "gridrace", "tessmark", "standins"]
NOT_PRODUCT = ("/tests/", "/bench/", "formsrt/platform/", "vanterbox/direct/")
BENEATH_THE_SEAM = {"formsrt/com/LibraryRuntimeSupport.cpp"}
CALL = re.compile(r"(?<![\w>.])::([A-Za-z_]\w*)\(")


def exported_names(nm, folder):
    names = set()
    for library in SEAM_LIBRARIES:
        listing = subprocess.run([nm, os.path.join(folder, f"lib{library}.a")],
                                 capture_output=True, text=True, check=True).stdout
        for line in listing.splitlines():
            parts = line.split()
            if len(parts) == 3 and parts[1] == "T" and not parts[2].startswith("_"):
                names.add(parts[2].split("@")[0])
    return names


def product_files(root):
    for top in PRODUCT_ROOTS:
        for directory, _, files in os.walk(os.path.join(root, top)):
            for name in files:
                path = os.path.relpath(os.path.join(directory, name), root)
                if not name.endswith((".cpp", ".h")) or path in BENEATH_THE_SEAM:
                    continue
                if any(part in "/" + path + "/" for part in NOT_PRODUCT):
                    continue
                yield path


def main():
    root, nm, folder = sys.argv[1:4]
    exported = exported_names(nm, folder)
    direct = []
    for path in sorted(product_files(root)):
        with open(os.path.join(root, path), encoding="utf-8") as source:
            for number, line in enumerate(source, 1):
                for call in CALL.finditer(line):
                    if call.group(1) in exported:
                        direct.append(f"{path}:{number}: ::{call.group(1)} bypasses the platform seam")
    for line in direct:
        print(line)
    print(f"seam: {len(direct)} direct platform calls in product code")
    return 1 if direct else 0


if __name__ == "__main__":
    sys.exit(main())
