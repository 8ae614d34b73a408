#!/usr/bin/python3
"""Reads the version block and the icon group back from built DLLs.

Usage: /usr/bin/python3 tests/pe/check_resources.py DLL [DLL...]
Prints one line per mismatch and exits 1 if there was any.
"""
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON = 3, 14

EXPECTED_STRINGS = {
    "Comments": "",
    "CompanyName": "",
    "FileDescription": "zozudu DLL",
    "FileVersion": "1, 0, 0, 1",
    "InternalName": "zozudu",
    "LegalTrademarks": "",
    "OriginalFilename": "zozudu.DLL",
    "PrivateBuild": "",
    "ProductName": "zozudu Dynamic Link Library",
    "ProductVersion": "1, 0, 0, 1",
    "SpecialBuild": "",
}

EXPECTED_FIXED = {
    "FileVersionMS": 0x00010000, "FileVersionLS": 0x00000001,
    "ProductVersionMS": 0x00010000, "ProductVersionLS": 0x00000001,
    "FileFlagsMask": 0x3F, "FileFlags": 0, "FileOS": 4, "FileType": 2, "FileSubtype": 0,
    "FileDateMS": 0, "FileDateLS": 0,
}


def text(value):
    return value.decode("utf-8") if isinstance(value, bytes) else value


def check_version(pe, problems):
    if not hasattr(pe, "VS_FIXEDFILEINFO"):
        problems.append("no version block")
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    for field, expected in EXPECTED_FIXED.items():
        actual = getattr(fixed, field)
        if actual != expected:
            problems.append("%s is 0x%X, not 0x%X" % (field, actual, expected))

    tables, translations = [], []
    for info in pe.FileInfo[0]:
        key = text(info.Key)
        if key == "StringFileInfo":
            tables.extend(info.StringTable)
        elif key == "VarFileInfo":
            for var in info.Var:
                translations.append(var.entry)
    if len(tables) != 1:
        problems.append("%d string tables, not one" % len(tables))
    for table in tables:
        lang = text(table.LangID).lower()
        if lang != "040404b0":
            problems.append("string table for %s, not 040404b0" % lang)
        strings = {text(k): text(v) for k, v in table.entries.items()}
        if strings != EXPECTED_STRINGS:
            for name in sorted(set(strings) | set(EXPECTED_STRINGS)):
                if strings.get(name) != EXPECTED_STRINGS.get(name):
                    problems.append("string %s is %r, not %r"
                                    % (name, strings.get(name), EXPECTED_STRINGS.get(name)))
    expected_translation = [{"Translation": "0x0404 0x04b0"}]
    shown = [{text(k): text(v) for k, v in entry.items()} for entry in translations]
    if shown != expected_translation:
        problems.append("translations %r, not %r" % (shown, expected_translation))


def resources(pe, type_id):
    directory = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for entry in directory.entries if directory else []:
        if entry.id == type_id:
            return entry.directory.entries
    return []


def resource_bytes(pe, name_entry):
    data = name_entry.directory.entries[0].data.struct
    return pe.get_data(data.OffsetToData, data.Size)


def check_icon(pe, problems):
    groups = resources(pe, RT_GROUP_ICON)
    ids = [g.id for g in groups]
    if ids != [1001]:
        problems.append("icon groups %r, not [1001]" % ids)
        return
    group = resource_bytes(pe, groups[0])
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    if (reserved, kind, count) != (0, 1, 1):
        problems.append("icon group header %r, not one icon" % ((reserved, kind, count),))
        return
    width, height, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
    if (width, height, colours, bits) != (32, 32, 16, 4):
        problems.append("icon entry %dx%d, %d colours, %d bits" % (width, height, colours, bits))
    icons = {i.id: i for i in resources(pe, RT_ICON)}
    if icon_id not in icons:
        problems.append("icon %d of the group is missing" % icon_id)
        return
    image = resource_bytes(pe, icons[icon_id])
    header = struct.unpack_from("<IiiHH", image, 0)
    if header != (40, 32, 64, 1, 4) or len(image) != size:
        problems.append("icon image header %r, %d bytes" % (header, len(image)))


def main(paths):
    failed = False
    for path in paths:
        problems = []
        pe = pefile.PE(path)
        check_version(pe, problems)
        check_icon(pe, problems)
        for p in problems:
            print("%s: %s" % (path, p))
        print("%s: %s" % (path, "resources as listed" if not problems else "%d problems" % len(problems)))
        failed = failed or bool(problems)
    return 1 if failed or not paths else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
