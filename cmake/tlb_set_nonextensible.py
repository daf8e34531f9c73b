#!/usr/bin/env python3
"""Marks type infos of a compiled type library non-extensible.

widl refuses the nonextensible attribute on a dispinterface, though the flag
(TYPEFLAG_FNONEXTENSIBLE) is legal in a type library. This sets the flag in
the binary ("MSFT") library: the type info is found by its GUID and its flags
word is updated in place.

usage: tlb_set_nonextensible.py <input.tlb> <output.tlb> <guid> [<guid> ...]
"""
import struct
import sys
import uuid

from typelib_file import TypeLibraryFile, int_at

TYPEFLAG_FNONEXTENSIBLE = 0x80


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    source, target, guids = argv[1], argv[2], argv[3:]
    try:
        library = TypeLibraryFile(source)
    except ValueError as error:
        sys.exit(str(error))
    wanted = {uuid.UUID(g): g for g in guids}
    data = library.data
    for info in library.type_infos:
        if info.guid in wanted:
            flags = int_at(data, info.flags_offset) | TYPEFLAG_FNONEXTENSIBLE
            struct.pack_into("<i", data, info.flags_offset, flags)
            del wanted[info.guid]
    if wanted:
        sys.exit(f"{source}: no type info with GUID {', '.join(wanted.values())}")
    open(target, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv)
