#!/usr/bin/python3
"""Reads the shortcuts that the Wine tests left in a folder with Debian's
lnkinfo, independently of Wine, and compares them with expected.tsv there.

Usage: check_links.py FOLDER     (e.g. build/win64/shortcut-links)

lnkinfo misreports the show command, so it is read from the file itself:
the 4-byte little-endian ShowCommand at offset 0x3C.
"""
import os
import struct
import subprocess
import sys

FIELDS = [  # manifest column, lnkinfo's label
    ("target", "Local path"),
    ("description", "Description"),
    ("working directory", "Working directory"),
    ("arguments", "Command line arguments"),
    ("icon", "Icon location"),
]


def lnkinfo_fields(path):
    output = subprocess.run(["lnkinfo", path], capture_output=True, text=True, check=True).stdout
    fields = {}
    for line in output.splitlines():
        label, colon, value = line.strip().partition(":")
        if colon and label.strip() not in fields:
            fields[label.strip()] = value[1:] if value.startswith(" ") else value
    return fields


def show_command(path):
    with open(path, "rb") as f:
        header = f.read(0x4C)
    if len(header) < 0x40 or header[:4] != b"\x4c\x00\x00\x00":
        return None
    return struct.unpack_from("<I", header, 0x3C)[0]


def main(folder):
    manifest = os.path.join(folder, "expected.tsv")
    with open(manifest, encoding="utf-8") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if not line.startswith("#")]
    failures = []
    for row in rows:
        name, expected, command = row[0], dict(zip([c for c, _ in FIELDS], row[1:6])), int(row[6])
        path = os.path.join(folder, name)
        if not os.path.exists(path):
            failures.append(f"{name}: no file of that name ({os.listdir(folder)})")
            continue
        found = lnkinfo_fields(path)
        for column, label in FIELDS:
            got = found.get(label, "")
            if got != expected[column]:
                failures.append(f"{name}: {column} is {got!r}, expected {expected[column]!r}")
        got_command = show_command(path)
        if got_command != command:
            failures.append(f"{name}: ShowCommand is {got_command}, expected {command}")
    for failure in failures:
        print("FAILED " + failure)
    print(f"{len(rows)} shortcuts read with lnkinfo, {len(failures)} mismatches")
    return 1 if failures or not rows else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
