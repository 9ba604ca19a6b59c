#!/usr/bin/env python3
"""Shows whether the tests catch faults: samples one-line mutants of src/ (a comparison, a
logical operator, a sign or a constant changed), and for each rebuilds incrementally, runs
the tests (all but the window tests) and reports it caught (a test failed) or missed. A
mutant that does not compile is put back and another is drawn in its place.

Usage: tools/mutants.py [-n N] [--seed S] [--only PATH_PART] [--timeout SECONDS]
The build goes to build/mutants; the source is always restored, also on Ctrl-C.
"""
import argparse
import os
import random
import re
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BUILD = os.path.join(ROOT, "build", "mutants")

# Binary operators stand between spaces in this code base's formatting, which keeps
# template brackets, pointers and unary signs out of the sample.
SWAPS = [
    (" < ", [" <= ", " > "]),
    (" <= ", [" < ", " > "]),
    (" > ", [" >= ", " < "]),
    (" >= ", [" > ", " < "]),
    (" == ", [" != "]),
    (" != ", [" == "]),
    (" && ", [" || "]),
    (" || ", [" && "]),
    (" + ", [" - "]),
    (" - ", [" + "]),
]
CONSTANT = re.compile(r"(?<![\w.])(\d+)(?![\w.])")


def code_part(line):
    """The line without its // comment, string and character literals blanked out, so
    that no mutant lands inside them."""
    out, i, quote = [], 0, None
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            if c == quote:
                quote = None
            out.append(" " if quote else c)
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out).ljust(len(line))


def sites(path):
    """Every (line index, column, old, new) one-line change of a source file."""
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = f.read().split("\n")
    found, in_block = [], False
    for n, line in enumerate(lines):
        stripped = line.strip()
        if in_block:
            in_block = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_block = "*/" not in stripped
            continue
        if (not stripped or stripped.startswith(("#", "//", "static_assert"))
                or "constexpr" in stripped and "=" in stripped and "(" not in stripped):
            continue
        code = code_part(line)
        for old, news in SWAPS:
            start = 0
            while (col := code.find(old, start)) >= 0:
                for new in news:
                    found.append((n, col, old, new))
                start = col + 1
        for m in CONSTANT.finditer(code):
            value = int(m.group(1))
            found.append((n, m.start(1), m.group(1), str(value + 1)))
            if value > 0:
                found.append((n, m.start(1), m.group(1), str(value - 1)))
    return lines, found


def run(cmd, timeout):
    try:
        return subprocess.run(cmd, cwd=BUILD, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=timeout).returncode
    except subprocess.TimeoutExpired:
        return -1


def configure():
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DZIR_TESTS=ON"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD], check=True, stdout=subprocess.DEVNULL)
    if run(["ctest", "-LE", "windowed", "-j", str(os.cpu_count() or 2)], None) != 0:
        sys.exit("the tests fail without a mutant: mend them first")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("-n", type=int, default=60)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--only", default="", help="sample only files whose path has this")
    parser.add_argument("--timeout", type=int, default=600, help="seconds a test run may take")
    args = parser.parse_args()

    files = []
    for base, _, names in os.walk(os.path.join(ROOT, "src")):
        for name in names:
            # The browser's backend is built only for the browser, where Chromium tests it.
            if name.endswith((".cpp", ".h")) and name != "browser.cpp":
                files.append(os.path.join(base, name))
    files = sorted(f for f in files if args.only in os.path.relpath(f, ROOT))
    pool = []
    for path in files:
        _, found = sites(path)
        pool += [(path,) + site for site in found]
    rng = random.Random(args.seed)
    rng.shuffle(pool)
    print("%d possible mutants in %d files; sampling %d with seed %d"
          % (len(pool), len(files), args.n, args.seed), flush=True)

    configure()
    caught = missed = 0
    jobs = str(os.cpu_count() or 2)
    for path, n, col, old, new in pool:
        if caught + missed >= args.n:
            break
        with open(path, encoding="utf-8", errors="surrogateescape") as f:
            original = f.read()
        lines = original.split("\n")
        line = lines[n]
        lines[n] = line[:col] + new + line[col + len(old):]
        where = "%s:%d" % (os.path.relpath(path, ROOT), n + 1)
        try:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write("\n".join(lines))
            if run(["cmake", "--build", "."], args.timeout) != 0:
                continue  # does not compile: not a mutant the tests could see
            start = time.time()
            failed = run(["ctest", "-LE", "windowed", "-j", jobs, "--stop-on-failure"],
                         args.timeout) != 0
        finally:
            with open(path, "w", encoding="utf-8", errors="surrogateescape") as f:
                f.write(original)
        caught += failed
        missed += not failed
        print("%-6s %-40s %r -> %r   (%s)  [%.0f s]"
              % ("caught" if failed else "MISSED", where, old.strip(), new.strip(),
                 line.strip()[:70], time.time() - start), flush=True)
    run(["cmake", "--build", "."], args.timeout)  # the build matches the source again
    total = caught + missed
    print("score: %d of %d caught (%.0f %%)" % (caught, total, 100.0 * caught / max(total, 1)))


if __name__ == "__main__":
    main()
