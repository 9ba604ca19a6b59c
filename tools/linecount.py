#!/usr/bin/env python3
"""Counts the lines of product code and of tests that are neither blank nor comments, and
their ratio. Product: src/, include/ and the browser edition's web/. Tests: every text file
under tests/, the script cases included (their directives and script lines; their prose "#"
lines are comments); binary files, installed packages (node_modules) and the package manager's
lock files are left out.

Usage: tools/linecount.py [--by-folder]
"""
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

C_LIKE = {".c", ".cc", ".cpp", ".h", ".hpp", ".js", ".mjs", ".html"}
HASH_COMMENTS = {".py", ".sh", ".txt", ".cmake", ".supp", ".toml", ".yml", ".yaml"}


def is_binary(path):
    with open(path, "rb") as f:
        return b"\0" in f.read(8192)


def c_lines(text):
    """Lines with code once // and /* */ comments are taken out (strings are not parsed:
    a comment marker inside a string literal is rare enough not to matter for a count)."""
    count = 0
    in_block = False
    for line in text.splitlines():
        code = []
        i = 0
        while i < len(line):
            if in_block:
                end = line.find("*/", i)
                if end < 0:
                    i = len(line)
                else:
                    in_block = False
                    i = end + 2
            elif line.startswith("//", i):
                break
            elif line.startswith("/*", i):
                in_block = True
                i += 2
            else:
                code.append(line[i])
                i += 1
        if "".join(code).strip():
            count += 1
    return count


def hash_lines(text):
    return sum(1 for line in text.splitlines()
               if line.strip() and not line.lstrip().startswith("#"))


def plain_lines(text):
    return sum(1 for line in text.splitlines() if line.strip())


DIRECTIVE = ("# input:", "# stdin:", "# expect ")


def case_lines(text):
    """A script case's lines but its prose comments: its "#" directives (viewer input and
    expectations) are what it tests."""
    return sum(1 for line in text.splitlines() if line.strip() and
               (not line.lstrip().startswith("#") or line.lstrip().startswith(DIRECTIVE)))


def count_file(path):
    ext = os.path.splitext(path)[1].lower()
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", "replace")
    if ext == ".zir":
        return case_lines(text)
    if ext in C_LIKE:
        return c_lines(text)
    if ext in HASH_COMMENTS:
        return hash_lines(text)
    return plain_lines(text)


def walk(folder):
    for base, dirs, files in os.walk(os.path.join(ROOT, folder)):
        dirs[:] = sorted(d for d in dirs if not d.startswith(".") and d != "node_modules")
        for name in sorted(files):
            if name != "package-lock.json":
                yield os.path.join(base, name)


def count(folders, tests):
    per_folder = {}
    for folder in folders:
        for path in walk(folder):
            if is_binary(path):
                continue
            if not tests and os.path.splitext(path)[1].lower() not in C_LIKE:
                continue
            rel = os.path.relpath(path, ROOT)
            key = os.path.dirname(rel)
            n = count_file(path)
            per_folder[key] = per_folder.get(key, 0) + n
    return per_folder


def main():
    by_folder = "--by-folder" in sys.argv[1:]
    product = count(["src", "include", "web"], tests=False)
    tests = count(["tests"], tests=True)
    if by_folder:
        for name, table in (("product", product), ("tests", tests)):
            for key in sorted(table):
                print("%-8s %-32s %6d" % (name, key, table[key]))
    p, t = sum(product.values()), sum(tests.values())
    print("product lines %d" % p)
    print("test lines    %d" % t)
    print("ratio         %.2f" % (t / p if p else 0.0))


if __name__ == "__main__":
    main()
