#!/usr/bin/env python3
"""Marks type infos of a compiled type library non-extensible.

widl refuses the nonextensible attribute on a dispinterface, though the flag
(TYPEFLAG_FNONEXTENSIBLE) is legal in a type library. This sets the flag in
the binary ("MSFT") library: the type info is found through the GUID table
and its flags word is updated in place.

usage: tlb_set_nonextensible.py <input.tlb> <output.tlb> <guid> [<guid> ...]
"""
import struct
import sys
import uuid

MSFT_MAGIC = 0x5446534D
HEADER_SIZE = 0x54
HELP_DLL_FLAG = 0x100
SEGMENT_SIZE = 16
TYPEINFO_SIZE = 0x64
TYPEINFO_GUID_OFFSET = 0x2C
TYPEINFO_FLAGS_OFFSET = 0x30
GUID_ENTRY_SIZE = 24
TYPEFLAG_FNONEXTENSIBLE = 0x80


def int_at(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


def segments(data):
    varflags = int_at(data, 20)
    typeinfo_count = int_at(data, 32)
    directory = HEADER_SIZE + (4 if varflags & HELP_DLL_FLAG else 0) + 4 * typeinfo_count
    typeinfo_table = int_at(data, directory)
    guid_table = int_at(data, directory + 5 * SEGMENT_SIZE)
    return typeinfo_count, typeinfo_table, guid_table


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    source, target, guids = argv[1], argv[2], argv[3:]
    data = bytearray(open(source, "rb").read())
    if int_at(data, 0) != MSFT_MAGIC:
        sys.exit(f"{source}: not a binary type library")
    count, typeinfo_table, guid_table = segments(data)
    wanted = {uuid.UUID(g).bytes_le: g for g in guids}
    for index in range(count):
        entry = typeinfo_table + index * TYPEINFO_SIZE
        guid_offset = int_at(data, entry + TYPEINFO_GUID_OFFSET)
        if guid_offset < 0:
            continue
        guid = bytes(data[guid_table + guid_offset:guid_table + guid_offset + 16])
        if guid in wanted:
            flags = int_at(data, entry + TYPEINFO_FLAGS_OFFSET) | TYPEFLAG_FNONEXTENSIBLE
            struct.pack_into("<i", data, entry + TYPEINFO_FLAGS_OFFSET, flags)
            del wanted[guid]
    if wanted:
        sys.exit(f"{source}: no type info with GUID {', '.join(wanted.values())}")
    open(target, "wb").write(data)


if __name__ == "__main__":
    main(sys.argv)
