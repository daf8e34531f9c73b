"""Reads the parts of a compiled binary ("MSFT") type library that the build
needs: the library's name, GUID and version; each type info's kind, name,
GUID, help string and the offset of its flags word; the interfaces a class
implements; and the functions of an interface with their parameters.

The layout is the one the type library writers of the platform produce: a
header, the offsets of the type infos, a directory of segments, and then the
segments (type infos, GUIDs, names, strings, type descriptions, ...). A type
info points at its member block: a length, the function records, then the
member ids and the name offsets of its members.
"""
import struct
import uuid

MSFT_MAGIC = 0x5446534D
HEADER_SIZE = 0x54
HELP_DLL_FLAG = 0x100
SEGMENT_SIZE = 16
SEGMENT_COUNT = 15
TYPEINFO_SEGMENT, REFERENCE_SEGMENT, GUID_SEGMENT = 0, 3, 5
NAME_SEGMENT, STRING_SEGMENT, TYPEDESC_SEGMENT = 7, 8, 9
TYPEINFO_SIZE = 0x64
TYPEINFO_MEMBERS_OFFSET = 0x04
TYPEINFO_COUNTS_OFFSET = 0x18
TYPEINFO_GUID_OFFSET = 0x2C
TYPEINFO_FLAGS_OFFSET = 0x30
TYPEINFO_NAME_OFFSET = 0x34
TYPEINFO_HELPSTRING_OFFSET = 0x3C
TYPEINFO_IMPLEMENTED_COUNT_OFFSET = 0x4C
TYPEINFO_IMPLEMENTED_OFFSET = 0x54
NAME_INTRO_SIZE = 12
TKIND_COCLASS = 5
VT_PTR = 26

# A function record: its size (low word of the first field), the kind bits
# (function kind, invoke kind, flags), the argument count, then optional
# fields (help context, help string, ...), and at its end one parameter
# record per argument.
FUNCTION_SIZE_OFFSET = 0x00
FUNCTION_KIND_OFFSET = 0x10
FUNCTION_ARGUMENT_COUNT_OFFSET = 0x14
FUNCTION_HELPSTRING_OFFSET = 0x1C
FUNCTION_HAS_DEFAULTS = 0x1000
PARAMETER_SIZE = 12


def int_at(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


class TypeInfoEntry:
    def __init__(self, kind, name, guid, helpstring, offset):
        self.kind = kind
        self.name = name
        self.guid = guid  # uuid.UUID, or None
        self.helpstring = helpstring
        self.offset = offset
        self.flags_offset = offset + TYPEINFO_FLAGS_OFFSET


class TypeDescription:
    """A variant type (VT_*); for VT_PTR, target is what it points to."""

    def __init__(self, vt, target=None):
        self.vt = vt
        self.target = target


class Parameter:
    def __init__(self, name, type, flags):
        self.name = name  # None for the value of a property put
        self.type = type
        self.flags = flags  # PARAMFLAG_*


class Function:
    def __init__(self, name, memid, invoke_kind, helpstring, parameters):
        self.name = name
        self.memid = memid
        self.invoke_kind = invoke_kind  # INVOKE_FUNC, _PROPERTYGET, _PROPERTYPUT, ...
        self.helpstring = helpstring
        self.parameters = parameters


class TypeLibraryFile:
    def __init__(self, path):
        self.path = path
        self.data = bytearray(open(path, "rb").read())
        if len(self.data) < HEADER_SIZE or int_at(self.data, 0) != MSFT_MAGIC:
            raise ValueError(f"{path}: not a binary type library")
        count = int_at(self.data, 0x20)
        directory = HEADER_SIZE + (4 if int_at(self.data, 0x14) & HELP_DLL_FLAG else 0) + 4 * count
        self._segments = [int_at(self.data, directory + i * SEGMENT_SIZE) for i in range(SEGMENT_COUNT)]
        self.name = self._name(int_at(self.data, 0x38))
        self.guid = self._guid(int_at(self.data, 0x08))
        version = int_at(self.data, 0x18)
        self.version = (version & 0xFFFF, (version >> 16) & 0xFFFF)
        self.type_infos = [self._type_info(i) for i in range(count)]

    def coclasses(self):
        return [info for info in self.type_infos if info.kind == TKIND_COCLASS]

    def implemented(self, coclass):
        """The interfaces a class implements, as (type info, IMPLTYPEFLAG_*)."""
        count = int_at(self.data, coclass.offset + TYPEINFO_IMPLEMENTED_COUNT_OFFSET) & 0xFFFF
        reference = int_at(self.data, coclass.offset + TYPEINFO_IMPLEMENTED_OFFSET)
        interfaces = []
        for _ in range(count):
            record = self._segments[REFERENCE_SEGMENT] + reference
            interface, flags, _, reference = struct.unpack_from("<iiii", self.data, record)
            if interface & 3:
                raise ValueError(f"{self.path}: {coclass.name} implements an imported interface")
            interfaces.append((self.type_infos[interface // TYPEINFO_SIZE], flags))
        return interfaces

    def functions(self, info):
        """The functions of a type info, in the library's order."""
        counts = int_at(self.data, info.offset + TYPEINFO_COUNTS_OFFSET)
        function_count, variable_count = counts & 0xFFFF, counts >> 16
        if function_count == 0:
            return []
        block = int_at(self.data, info.offset + TYPEINFO_MEMBERS_OFFSET)
        records_length = int_at(self.data, block)
        member_ids = block + 4 + records_length
        names = member_ids + 4 * (function_count + variable_count)
        functions = []
        record = block + 4
        for i in range(function_count):
            size = int_at(self.data, record + FUNCTION_SIZE_OFFSET) & 0xFFFF
            kind = int_at(self.data, record + FUNCTION_KIND_OFFSET)
            argument_count = struct.unpack_from("<h", self.data, record + FUNCTION_ARGUMENT_COUNT_OFFSET)[0]
            parameters_start = record + size - argument_count * PARAMETER_SIZE
            optional_end = size - argument_count * PARAMETER_SIZE
            if kind & FUNCTION_HAS_DEFAULTS:
                optional_end -= 4 * argument_count
            helpstring = ""
            if optional_end > FUNCTION_HELPSTRING_OFFSET:
                helpstring = self._string(int_at(self.data, record + FUNCTION_HELPSTRING_OFFSET))
            parameters = []
            for j in range(argument_count):
                encoded, name, flags = struct.unpack_from("<iii", self.data, parameters_start + j * PARAMETER_SIZE)
                parameters.append(Parameter(self._name(name) if name >= 0 else None, self._type(encoded), flags))
            functions.append(Function(
                name=self._name(int_at(self.data, names + 4 * i)),
                memid=int_at(self.data, member_ids + 4 * i) & 0xFFFFFFFF,
                invoke_kind=(kind >> 3) & 0xF,
                helpstring=helpstring,
                parameters=parameters))
            record += size
        return functions

    def _type_info(self, index):
        entry = self._segments[TYPEINFO_SEGMENT] + index * TYPEINFO_SIZE
        return TypeInfoEntry(
            kind=int_at(self.data, entry) & 0xF,
            name=self._name(int_at(self.data, entry + TYPEINFO_NAME_OFFSET)),
            guid=self._guid(int_at(self.data, entry + TYPEINFO_GUID_OFFSET)),
            helpstring=self._string(int_at(self.data, entry + TYPEINFO_HELPSTRING_OFFSET)),
            offset=entry)

    def _type(self, encoded):
        """A type as a parameter or a type description encodes it: a negative
        value holds a base type in its low word, any other value is the
        offset of a type description (a pointer's holds its target)."""
        if encoded < 0:
            return TypeDescription(encoded & 0xFFFF)
        start = self._segments[TYPEDESC_SEGMENT] + encoded
        vt = struct.unpack_from("<H", self.data, start)[0] & 0xFFF
        if vt != VT_PTR:
            raise ValueError(f"{self.path}: type description {vt} is not read here")
        return TypeDescription(vt, self._type(int_at(self.data, start + 4)))

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
