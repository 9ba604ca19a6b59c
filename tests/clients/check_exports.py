#!/usr/bin/env python3
"""Checks that libzirkula.so exports exactly the procedures include/zirkula.h declares.

Usage: check_exports.py PATH/TO/libzirkula.so PATH/TO/zirkula.h

Every ZIR_API declaration of the header must be a defined dynamic symbol, and nothing else
may be exported but the symbols the linker itself adds to every shared library.
"""
import re
import subprocess
import sys

LINKER_SYMBOLS = {"_init", "_fini", "_edata", "_end", "__bss_start"}
EXPORTED_PREFIXES = ("ZIR_", "ZIRD_", "ZIRA_", "ZIRS_")


def declared(header_path):
    with open(header_path, encoding="latin-1") as header:
        text = header.read()
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    text = re.sub(r"^\s*#.*$", " ", text, flags=re.M)
    return set(re.findall(r"\bZIR_API\b[^;(]*?\b(\w+)\s*\(", text))


def exported(library_path):
    listing = subprocess.run(["nm", "-D", "--defined-only", library_path], check=True,
                             capture_output=True, text=True).stdout
    names = set()
    for line in listing.splitlines():
        fields = line.split()
        if len(fields) >= 3:
            names.add(fields[2].split("@")[0])
    return names


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    wanted = declared(sys.argv[2])
    present = exported(sys.argv[1])
    failures = []
    if not any(name.startswith(EXPORTED_PREFIXES) for name in wanted):
        failures.append("the header declares no ZIR_ procedures")
    for name in sorted(wanted - present):
        failures.append(f"declared but not exported: {name}")
    for name in sorted(present - wanted - LINKER_SYMBOLS):
        failures.append(f"exported but not declared: {name}")
    for name in sorted(wanted):
        if not name.startswith(EXPORTED_PREFIXES) and name != "ZirkulaMain":
            failures.append(f"declared with a name outside the exported prefixes: {name}")
    for failure in failures:
        print(failure)
    print(f"{len(wanted)} declared, {len(present)} exported")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
