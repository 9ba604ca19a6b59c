#!/usr/bin/env python3
"""Puts under every example of docs/sprache.md a link that opens it in the browser edition:
the script travels in the link's fragment, in the page's first link format (z1: raw deflate,
base64url). The links name the local server of `./run.sh --web`; on a published site the
part before "#" is that site's address. Run again after an example changes; the tests check
that every link carries its example.

Usage: tools/sprache-links.py [--check]
"""
import base64
import os
import re
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOC = os.path.join(ROOT, "docs", "sprache.md")
SITE = "http://127.0.0.1:8080/index.html"
BLOCK = re.compile(r"```zirkula\n(?P<script>.*?)```\n(?:\[Im Browser öffnen\]\([^)]*\)\n)?", re.S)


def fragment(script):
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    packed = packer.compress(script.encode("utf-8")) + packer.flush()
    return "z1=" + base64.urlsafe_b64encode(packed).decode("ascii").rstrip("=")


def linked(text):
    def one(m):
        script = m.group("script").rstrip("\n")
        return "```zirkula\n%s```\n[Im Browser öffnen](%s#%s)\n" % (
            m.group("script"), SITE, fragment(script))
    return BLOCK.sub(one, text)


def main():
    with open(DOC, encoding="utf-8") as f:
        text = f.read()
    new = linked(text)
    if "--check" in sys.argv[1:]:
        if new != text:
            sys.exit("docs/sprache.md: an example's link does not carry it; run tools/sprache-links.py")
        return
    with open(DOC, "w", encoding="utf-8") as f:
        f.write(new)


if __name__ == "__main__":
    main()
