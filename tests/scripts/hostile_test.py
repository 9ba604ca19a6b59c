#!/usr/bin/env python3
"""Hostile scripts: sizes, counts and numbers far past what a demonstration needs. The real
program must end each of them quickly with a clear result, never crash or hang, and keep
its pictures inside their images (the sanitizer build runs the same scripts).

Usage: hostile_test.py ZIRKULA WORK_DIR
"""
import json
import os
import subprocess
import sys
import time
import unittest
import zlib

ZIRKULA = ""
WORK = ""
# Far more than any of these needs on a loaded machine, far less than a hang.
RUN_SECONDS = 60


def write(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w", encoding="latin-1") as f:
        f.write(text)
    return path


def run(path, *args):
    dump = path + ".json"
    started = time.monotonic()
    done = subprocess.run([ZIRKULA, "--headless", "--dump", dump, *args, path],
                          capture_output=True, timeout=RUN_SECONDS, stdin=subprocess.DEVNULL)
    with open(dump, encoding="utf-8") as f:
        return done, json.load(f), time.monotonic() - started


def named(dump, kind, name):
    return next(o for o in dump[kind] if o["name"] == name)


def statements(*lines):
    return "\n".join(lines) + "\n"


class Sizes(unittest.TestCase):
    def test_long_lines_many_lines_and_too_many_names(self):
        big = "x" * 1_000_000
        # A 1 MB comment, name and text are read whole, nothing cut or lost; a million lines
        # compile in linear time (run FAST: the points are drawn, not each paced); names
        # past the table are errors, not overflows.
        million = "".join("POINT P%d, %d, 2\n" % (i % 1000, i % 600) for i in range(1_000_000))
        for name, text, check in [
            ("long", "POINT A, 1, 2 '" + big + "\nPOINT " + "N" * 1_000_000 + ", 3, 4\nTITLE \"" +
             big + "\"\nEND\n", lambda d: named(d, "points", "N" * 1_000_000)["x"] == 3),
            ("million", "CONSTRUCT Viele FAST\nEND\nCONSTRUCTION Viele\n" + million + "REPEAT\n",
             lambda d: named(d, "points", "P999")["x"] == 999_999 % 600),
            ("names", "".join("POINT P%d, 1, 2\n" % i for i in range(33_000)) + "END\n",
             lambda d: d["result"] == -1 and d["errors"] and
             all(e["line"] > 32768 for e in d["errors"])),
        ]:
            with self.subTest(name):
                done, dump, _ = run(write(name + ".zir", text))
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertIn(dump["result"], (255, -1))
                self.assertTrue(check(dump))

    def test_huge_and_far_figures_are_clipped_or_flow_through_undefined(self):
        huge = write("figures.zir", statements(
            "SCREEN 100000, 100000", "SPEED 0", "TEXTWINDOW 0, 0, 30000, 30000",
            "TEXT \"Riesig\", &H000000, &HFFFFFF, 32767", "TEXTWINDOW -5, -5, -5, -5",
            "TEXT \"Nirgends\"", "LINE g, 0, 0, 600, 400, DEFAULT, &HFF0000, 30000",
            "POINT P, 300, 200, 1, &H00FF00, 32767", "POINT Q, 30000, -30000, 2, &H0000FF, 32767",
            "CIRCLE k, 300, 200, 30000, &H0000FF, 30000", "CIRCLE r, 30000, 30000, 30000",
            "FILLCIRCLE k", "FILLCIRCLE r", "MARKPOINT P, 32767, 15", "h = LINE P, Q",
            "MARKANGLE g, h, \"abc\", 32767, 3, 30000", "END"))
        done, dump, _ = run(huge, "--png", huge + ".png")
        self.assertEqual((done.returncode, dump["result"]), (0, 255), done.stderr)
        self.assertEqual(dump["screen"], {"width": 2048, "height": 2048})
        far = write("far.zir", statements(
            "SPEED 0", "POINT A, 32767, 32767", "POINT B, -32768, 32767",
            "POINT C, 32767, -32768", "POINT D, -32768, -32768", "g = LINE A, B", "h = LINE C, D",
            "S = CROSS g, h",  # parallel: about 1e284 pixels away
            "k = CIRCLE S, A", "FILLCIRCLE k", "CIRCLE k1, 32767, 32767, 5",
            "CIRCLE k2, -32768, -32768, 5", "U, V = CROSS k1, k2",  # apart: undefined
            "m = CIRCLE U, V", "M = MIDDLE U, S", "FILLCIRCLE m", "MARKPOINT U",
            "MARKANGLE B, U, S, \"x\"", "END"))
        done, dump, _ = run(far, "--png", far + ".png")
        self.assertEqual((done.returncode, dump["result"]), (0, 255), done.stderr)
        self.assertGreater(abs(named(dump, "points", "S")["x"]), 1e200)
        self.assertEqual([named(dump, kind, n)["defined"] for kind, n in
                          [("points", "U"), ("circles", "m"), ("points", "M")]], [False] * 3)

    def test_pictures_whose_script_would_fill_the_memory_are_damaged(self):
        # A few hundred kilobytes of compressed line breaks that would be 200 MB, and a chunk
        # that claims 2 GB, end at once: the picture is damaged, nothing runs.
        picture = os.path.join(WORK, "bild.png")
        script = write("bild.zir", "POINT A, 1, 2\nEND\n")
        subprocess.run([ZIRKULA, "--headless", "--png", picture, script], check=True,
                       capture_output=True, timeout=RUN_SECONDS)
        with open(picture, "rb") as f:
            png = f.read()
        at = png.index(b"iTXt") - 4
        rest = png[at + 12 + int.from_bytes(png[at:at + 4], "big"):]
        data = b"Zirkula-Skript\0\1\0\0\0" + zlib.compress(b"\n" * (200 << 20), 9)
        chunk = b"iTXt" + data
        bomb = len(data).to_bytes(4, "big") + chunk + zlib.crc32(chunk).to_bytes(4, "big")
        for name, bytes_ in [("bomb", png[:at] + bomb + rest),
                             ("huge", png[:at] + b"\x7f\xff\xff\xf0" + png[at + 4:])]:
            with self.subTest(name):
                path = os.path.join(WORK, name + ".png")
                with open(path, "wb") as f:
                    f.write(bytes_)
                started = time.monotonic()
                done = subprocess.run([ZIRKULA, "--headless", path], capture_output=True,
                                      timeout=RUN_SECONDS)
                self.assertEqual(done.returncode, 2)
                self.assertIn("das Bild ist beschädigt", done.stderr.decode())
                self.assertLess(time.monotonic() - started, 5)


class Budgets(unittest.TestCase):
    def test_endless_loops_and_long_traces_end_at_the_statement_budget(self):
        # 32767 * 32767 * 32767 passes: only the budget ends it, as a closed window.
        loops = write("loops.zir", statements(
            "CONSTRUCT A FAST", "END", "CONSTRUCTION A", "CONSTRUCT B", "REPEAT 32767",
            "CONSTRUCTION B", "CONSTRUCT C", "REPEAT 32767", "CONSTRUCTION C", "POINT P, 1, 1",
            "REPEAT 32767"))
        done, dump, _ = run(loops, "--max-statements", "100000")
        self.assertEqual((done.returncode, dump["result"]), (0, 0), done.stderr)
        self.assertEqual(named(dump, "points", "P")["x"], 1)
        # Every frame draws the whole trace again; the budget counts that work too.
        trace = write("trace.zir", statements(
            "SPEED 0", "FRAMESPEED 0", *("POINT P%d, 0, %d" % (k, 10 * k) for k in range(14)),
            "ANIMATE Lauf", "END", "ANIMATION Lauf",
            "TRACE " + ", ".join("P%d" % k for k in range(14)),
            *("STEP P%d, 1, 0" % k for k in range(14)), "REPEAT 32767"))
        done, dump, _ = run(trace, "--max-statements", "1000000")
        self.assertEqual((done.returncode, dump["result"]), (0, 0), done.stderr)
        # Far fewer frames ran than the 32767 the script asks for.
        self.assertLess(named(dump, "points", "P0")["x"], 10000)

    def test_deep_recursion_on_a_large_screen_ends_with_the_nesting_error(self):
        path = write("deep.zir", statements("SCREEN 2048, 2048", "CONSTRUCT Ewig FAST", "END",
                                            "CONSTRUCTION Ewig", "POINT A, 1, 1",
                                            "CONSTRUCT Ewig", "REPEAT"))
        done, dump, _ = run(path)
        self.assertEqual((done.returncode, dump["result"]), (0, (1 << 16) | 37), done.stderr)
        self.assertIn(b"verschachtelt", done.stdout)

    def test_a_menu_of_every_item_the_compiler_allows(self):
        items = "".join('MENUITEM "Eintrag %d"\nPOINT P%d, %d, 5\n' % (k, k, k) for k in range(126))
        path = write("menu.zir", "MENU\n" + items + "ENDMENU\nEND\n")
        input_path = write("menu.input", "3000 key End\n" + "".join(
            "%d key Down\n" % (3100 + 10 * k) for k in range(200)) + "6000 key Enter\n")
        done, dump, _ = run(path, "--input", input_path)
        self.assertEqual((done.returncode, dump["result"]), (0, 255), done.stderr)
        self.assertEqual(named(dump, "points", "P125")["x"], 125)


def main():
    global ZIRKULA, WORK
    ZIRKULA, WORK = sys.argv[1], sys.argv[2]
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v"])


if __name__ == "__main__":
    main()
