#!/usr/bin/env python3
"""Puts the example and gallery scripts (with their viewer input) into the browser edition's
site and writes the list the page offers them from, gallery.json: each script's German title
and line as docs/gallery/README.md gives them, in that order.

Usage: tools/gallery_index.py SITE_DIR
"""
import json
import os
import re
import shutil
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENTRY = re.compile(r"\*\*(?P<title>[^*]+)\*\* \(`(?P<file>[\w.-]+\.zir)`\): (?P<line>.+?)(?=\n\n|\Z)",
                   re.S)


def main():
    site = sys.argv[1]
    folders = {"gallery": os.path.join(ROOT, "examples", "gallery"),
               "examples": os.path.join(ROOT, "examples")}
    with open(os.path.join(ROOT, "docs", "gallery", "README.md"), encoding="utf-8") as f:
        readme = f.read()
    # The gallery's scripts come first; those of examples/ follow their own heading.
    gallery, _, more = readme.partition("## Weitere Beispiele")
    entries = []
    for folder, text in (("gallery", gallery), ("examples", more)):
        for m in ENTRY.finditer(text):
            name = m.group("file")
            source = os.path.join(folders[folder], name)
            if not os.path.exists(source):
                sys.exit("docs/gallery/README.md names %s, which is not in %s" % (name, source))
            target = os.path.join(site, folder)
            os.makedirs(target, exist_ok=True)
            shutil.copyfile(source, os.path.join(target, name))
            entry = {"title": m.group("title"), "line": " ".join(m.group("line").split()),
                     "script": "%s/%s" % (folder, name)}
            viewer = source[:-4] + ".input"
            if os.path.exists(viewer):
                shutil.copyfile(viewer, os.path.join(target, name[:-4] + ".input"))
                entry["input"] = entry["script"][:-4] + ".input"
            entries.append(entry)
    listed = {e["script"] for e in entries}
    for folder, path in folders.items():
        for name in sorted(os.listdir(path)):
            if name.endswith(".zir") and "%s/%s" % (folder, name) not in listed:
                sys.exit("%s/%s is not in docs/gallery/README.md" % (folder, name))
    with open(os.path.join(site, "gallery.json"), "w", encoding="utf-8") as f:
        json.dump(entries, f, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
