"""Reads the parts of a compiled binary ("MSFT") type library that the build
needs: the library's name, GUID and version, and each type info's kind, name,
GUID, help string and the offset of its flags word.

The layout is the one the type library writers of the platform produce: a
header, the offsets of the type infos, a directory of segments, and then the
segments (type infos, GUIDs, names, strings, ...).
"""
import struct
import uuid

MSFT_MAGIC = 0x5446534D
HEADER_SIZE = 0x54
HELP_DLL_FLAG = 0x100
SEGMENT_SIZE = 16
TYPEINFO_SEGMENT, GUID_SEGMENT, NAME_SEGMENT, STRING_SEGMENT = 0, 5, 7, 8
TYPEINFO_SIZE = 0x64
TYPEINFO_GUID_OFFSET = 0x2C
TYPEINFO_FLAGS_OFFSET = 0x30
TYPEINFO_NAME_OFFSET = 0x34
TYPEINFO_HELPSTRING_OFFSET = 0x3C
NAME_INTRO_SIZE = 12
TKIND_COCLASS = 5


def int_at(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


class TypeInfoEntry:
    def __init__(self, kind, name, guid, helpstring, flags_offset):
        self.kind = kind
        self.name = name
        self.guid = guid  # uuid.UUID, or None
        self.helpstring = helpstring
        self.flags_offset = flags_offset


class TypeLibraryFile:
    def __init__(self, path):
        self.path = path
        self.data = bytearray(open(path, "rb").read())
        if len(self.data) < HEADER_SIZE or int_at(self.data, 0) != MSFT_MAGIC:
            raise ValueError(f"{path}: not a binary type library")
        count = int_at(self.data, 0x20)
        directory = HEADER_SIZE + (4 if int_at(self.data, 0x14) & HELP_DLL_FLAG else 0) + 4 * count
        self._segments = [int_at(self.data, directory + i * SEGMENT_SIZE) for i in range(9)]
        self.name = self._name(int_at(self.data, 0x38))
        self.guid = self._guid(int_at(self.data, 0x08))
        version = int_at(self.data, 0x18)
        self.version = (version & 0xFFFF, (version >> 16) & 0xFFFF)
        self.type_infos = [self._type_info(i) for i in range(count)]

    def coclasses(self):
        return [info for info in self.type_infos if info.kind == TKIND_COCLASS]

    def _type_info(self, index):
        entry = self._segments[TYPEINFO_SEGMENT] + index * TYPEINFO_SIZE
        return TypeInfoEntry(
            kind=int_at(self.data, entry) & 0xF,
            name=self._name(int_at(self.data, entry + TYPEINFO_NAME_OFFSET)),
            guid=self._guid(int_at(self.data, entry + TYPEINFO_GUID_OFFSET)),
            helpstring=self._string(int_at(self.data, entry + TYPEINFO_HELPSTRING_OFFSET)),
            flags_offset=entry + TYPEINFO_FLAGS_OFFSET)

    def _guid(self, offset):
        if offset < 0:
            return None
        start = self._segments[GUID_SEGMENT] + offset
        return uuid.UUID(bytes_le=bytes(self.data[start:start + 16]))

    def _name(self, offset):
        start = self._segments[NAME_SEGMENT] + offset
        length = int_at(self.data, start + 8) & 0xFF
        text = start + NAME_INTRO_SIZE
        return self.data[text:text + length].decode("latin-1")

    def _string(self, offset):
        if offset < 0:
            return ""
        start = self._segments[STRING_SEGMENT] + offset
        length = struct.unpack_from("<H", self.data, start)[0]
        return self.data[start + 2:start + 2 + length].decode("latin-1")
