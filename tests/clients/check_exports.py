#!/usr/bin/env python3
"""Checks that libzirkula.so exports exactly the procedures include/zirkula.h declares: every
ZIR_API declaration is a defined dynamic symbol, nothing else is exported but the symbols the
linker adds to every shared library, and every exported name has one of the library's
prefixes.

Usage: check_exports.py PATH/TO/libzirkula.so PATH/TO/zirkula.h
"""
import re
import subprocess
import sys

LINKER_SYMBOLS = {"_init", "_fini", "_edata", "_end", "__bss_start"}
PREFIXES = ("ZIR_", "ZIRD_", "ZIRA_", "ZIRS_")

if len(sys.argv) != 3:
    sys.exit(__doc__)
with open(sys.argv[2], encoding="latin-1") as header:
    text = re.sub(r"^\s*#.*$", " ", re.sub(r"/\*.*?\*/", " ", header.read(), flags=re.S),
                  flags=re.M)
wanted = set(re.findall(r"\bZIR_API\b[^;(]*?\b(\w+)\s*\(", text))
listing = subprocess.run(["nm", "-D", "--defined-only", sys.argv[1]], check=True,
                         capture_output=True, text=True).stdout
present = {f[2].split("@")[0] for f in map(str.split, listing.splitlines()) if len(f) >= 3}
failures = [f"declared but not exported: {n}" for n in sorted(wanted - present)]
failures += [f"exported but not declared: {n}" for n in sorted(present - wanted - LINKER_SYMBOLS)]
failures += [f"a name outside the prefixes: {n}" for n in sorted(wanted)
             if not n.startswith(PREFIXES) and n != "ZirkulaMain"]
if len(wanted) < 10:
    failures.append(f"the header declares only {len(wanted)} procedures")
print("\n".join(failures) or f"{len(wanted)} procedures exported as declared")
sys.exit(1 if failures else 0)
