#!/usr/bin/python3
"""check_exports.py DLL METHODS_TSV 32|64

Reads the DLL's export directory independently of Windows and checks that it
names the module zozudu.dll and exports exactly the methods of the table,
under the names the JVM looks up, with ordinals 1.. in the names' byte order;
that it imports nothing but Windows system DLLs (a compiler runtime DLL would
be missing on a user's machine); and that it stays small (a statically linked
C++ runtime or thread library would show at once).
"""
import os
import sys

import pefile

# The most a release DLL may weigh, in bytes.
SIZE_LIMIT = 48 * 1024

# The Windows system DLLs the module may import, in lower case.
SYSTEM_DLLS = {"advapi32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
               "shell32.dll", "user32.dll"}


def expected(tsv, bits):
    names = []
    for line in open(tsv, encoding="utf-8"):
        if not line.strip() or line.startswith("#"):
            continue
        method, _result, args = line.rstrip("\n").split("\t")
        count = 0 if args == "-" else len(args.split(","))
        if bits == 32:
            names.append(f"_Java_qav_Native_{method}@{4 * (2 + count)}")
        else:
            names.append(f"Java_qav_Native_{method}")
    return sorted(names, key=lambda n: n.encode())


def main():
    dll, tsv, bits = sys.argv[1], sys.argv[2], int(sys.argv[3])
    pe = pefile.PE(dll)
    machine = {0x14C: 32, 0x8664: 64}.get(pe.FILE_HEADER.Machine)
    failures = []
    if machine != bits:
        failures.append(f"machine is {machine}-bit, not {bits}-bit")
    exports = pe.DIRECTORY_ENTRY_EXPORT
    module = pe.get_string_at_rva(exports.struct.Name).decode()
    if module.lower() != "zozudu.dll":
        failures.append(f"export directory names the module {module}")
    got = [(s.ordinal, s.name.decode() if s.name else None) for s in exports.symbols]
    want = list(enumerate(expected(tsv, bits), start=1))
    if sorted(got) != want:
        failures.append(f"exports {sorted(got)}\n  expected {want}")
    imports = sorted(e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT)
    foreign = [i for i in imports if i not in SYSTEM_DLLS]
    if foreign:
        failures.append(f"imports DLLs other than the system's: {foreign}")
    size = os.path.getsize(dll)
    if size > SIZE_LIMIT:
        failures.append(f"is {size} bytes, more than {SIZE_LIMIT}")
    for f in failures:
        print(f"{dll}: {f}")
    print(f"{dll}: {size} bytes, {len(got)} exports, imports {', '.join(imports)}: "
          + ("ok" if not failures else "FAILED"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
