#!/usr/bin/env python3
"""Writes the registration-free manifest of a COM library from its compiled
type library, so that the GUIDs, names and version cannot drift from what the
library carries.

The manifest describes a private assembly "<library>.sxs" made of one file,
the library, with a comClass element for each class of the type library and
one typelib element. The ProgID of a class is "<library>.<class>" and its
threading model "Apartment", as the suite's self-registration writes them.

usage: tlb_manifest.py <library.tlb> <file name> <x86|x64> <output.manifest>
"""
import sys
from xml.sax.saxutils import quoteattr

from typelib_file import TypeLibraryFile

ARCHITECTURES = {"x86": "x86", "x64": "amd64"}


def braced(guid):
    return "{" + str(guid).upper() + "}"


def manifest_text(library, file_name, architecture):
    major, minor = library.version
    tlbid = braced(library.guid)
    lines = [
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>',
        '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">',
        f'  <assemblyIdentity type="win32" name="{library.name}.sxs" version="{major}.{minor}.0.0"'
        f' processorArchitecture="{architecture}"/>',
        f'  <file name="{file_name}">',
    ]
    for coclass in library.coclasses():
        description = coclass.helpstring or coclass.name
        lines.append(
            f'    <comClass clsid="{braced(coclass.guid)}" progid="{library.name}.{coclass.name}"'
            f' threadingModel="Apartment" tlbid="{tlbid}" description={quoteattr(description)}/>')
    lines += [
        f'    <typelib tlbid="{tlbid}" version="{major}.{minor}" helpdir=""/>',
        '  </file>',
        '</assembly>',
    ]
    return "\r\n".join(lines) + "\r\n"


def main(argv):
    if len(argv) != 5 or argv[3] not in ARCHITECTURES:
        sys.exit(__doc__)
    try:
        library = TypeLibraryFile(argv[1])
    except ValueError as error:
        sys.exit(str(error))
    if not library.coclasses():
        sys.exit(f"{argv[1]}: no class to describe")
    with open(argv[4], "w", newline="") as output:
        output.write(manifest_text(library, argv[2], ARCHITECTURES[argv[3]]))


if __name__ == "__main__":
    main(sys.argv)
