#!/usr/bin/env python3
"""Writes the README of a release archive: the template with the member
reference of the shipped type libraries in place of its marker line, so
that the reference says what the libraries' help strings say.

The .tlb files are read here rather than through the platform's type
library loader under Wine: the build needs no Wine prefix for it, and the
text is the same on every machine. The release check compares the result
with what the platform's loader reads.

For each class: its ProgID ("<library>.<class>", as the suite's
self-registration writes it) and help string, then one table for its
default interface and one for its events, each member with its DISPID,
kind, type, parameters and help string. A property's get and put make one
row.

usage: release_readme.py <template.md> <output.md> <library.tlb>...
"""
import sys

from typelib_file import VT_PTR, TypeLibraryFile

MARKER = "<!-- member reference -->"
IMPLTYPEFLAG_FSOURCE = 0x2
INVOKE_FUNC, INVOKE_PROPERTYGET = 1, 2
PARAMFLAG_FRETVAL = 0x8
# The automation types by their VT_* numbers.
TYPE_NAMES = {2: "Integer", 3: "Long", 4: "Single", 5: "Double", 6: "Currency", 7: "Date",
              8: "String", 9: "Object", 10: "Error", 11: "Boolean", 12: "Variant",
              13: "Unknown", 17: "Byte"}


def type_name(description):
    if description.vt == VT_PTR:
        return type_name(description.target)
    if description.vt not in TYPE_NAMES:
        raise ValueError(f"no name for variant type {description.vt}")
    return TYPE_NAMES[description.vt]


def cell(text):
    return text.replace("|", "\\|")


def parameter_text(parameter):
    passing = "by reference" if parameter.type.vt == VT_PTR else "by value"
    return f"`{parameter.name}` ({type_name(parameter.type)}, {passing})"


class Member:
    """The functions of one DISPID: a method, an event, or a property's
    get and put."""

    def __init__(self, function):
        self.name = function.name
        self.memid = function.memid
        self.helpstring = function.helpstring
        self.functions = [function]

    def kind(self, events):
        if events:
            return "event"
        kinds = {function.invoke_kind for function in self.functions}
        if kinds == {INVOKE_FUNC}:
            return "method"
        if kinds == {INVOKE_PROPERTYGET}:
            return "property, read-only"
        if INVOKE_PROPERTYGET in kinds:
            return "property"
        return "property, write-only"

    def type(self):
        """The result of a method or a property get; a put's value."""
        for function in self.functions:
            for parameter in function.parameters:
                if parameter.flags & PARAMFLAG_FRETVAL or parameter.name is None:
                    return type_name(parameter.type)
        return ""

    def parameters(self):
        """The arguments a caller passes: those of the get or the method."""
        first = self.functions[0]
        return [parameter for parameter in first.parameters
                if parameter.name is not None and not parameter.flags & PARAMFLAG_FRETVAL]


def members(library, interface):
    by_memid = {}
    for function in library.functions(interface):
        if function.memid in by_memid:
            by_memid[function.memid].functions.append(function)
        else:
            by_memid[function.memid] = Member(function)
    return list(by_memid.values())


def interface_table(library, interface, events):
    role = "events" if events else "default interface"
    lines = [f"`{interface.name}` ({role}): {interface.helpstring}.", ""]
    lines.append("| Member | DISPID | Kind | Type | Parameters | What it does |")
    lines.append("|---|---|---|---|---|---|")
    for member in members(library, interface):
        parameters = ", ".join(parameter_text(parameter) for parameter in member.parameters())
        lines.append(f"| `{member.name}` | 0x{member.memid:X} | {member.kind(events)} | {member.type()} "
                     f"| {parameters} | {cell(member.helpstring)} |")
    return lines


def reference(library):
    lines = []
    for coclass in library.coclasses():
        lines += [f"### `{library.name}.{coclass.name}`", "", f"{coclass.helpstring}.", ""]
        for interface, flags in library.implemented(coclass):
            lines += interface_table(library, interface, bool(flags & IMPLTYPEFLAG_FSOURCE)) + [""]
    return lines


def main(argv):
    if len(argv) < 4:
        sys.exit(__doc__)
    template, output, paths = argv[1], argv[2], argv[3:]
    text = open(template, encoding="utf-8").read()
    if text.count(MARKER) != 1:
        sys.exit(f"{template}: needs the line {MARKER} once")
    lines = []
    try:
        for path in paths:
            lines += reference(TypeLibraryFile(path))
    except ValueError as error:
        sys.exit(str(error))
    with open(output, "w", encoding="utf-8") as out:
        out.write(text.replace(MARKER, "\n".join(lines).rstrip()))


if __name__ == "__main__":
    main(sys.argv)
