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


class Sizes(unittest.TestCase):
    def test_long_lines_and_names_compile(self):
        # A 1 MB comment, a 1 MB name and a 1 MB text: read whole, nothing cut or lost.
        big = "x" * 1_000_000
        path = write("long.zir", "POINT A, 1, 2 '" + big + "\nPOINT " + "N" * 1_000_000 +
                     ", 3, 4\nTITLE \"" + big + "\"\nEND\n")
        done, dump, _ = run(path)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 255)
        self.assertEqual(named(dump, "points", "N" * 1_000_000)["x"], 3)

    def test_a_million_lines_compile_in_linear_time(self):
        # Run FAST, so that the million points are drawn but not each shown and paced.
        lines = "".join("POINT P%d, %d, 2\n" % (i % 1000, i % 600) for i in range(1_000_000))
        path = write("million.zir", "CONSTRUCT Viele FAST\nEND\nCONSTRUCTION Viele\n" + lines +
                     "REPEAT\n")
        done, dump, _ = run(path)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 255)
        self.assertEqual(named(dump, "points", "P999")["x"], 999_999 % 600)

    def test_names_past_the_table_are_errors_not_overflows(self):
        lines = "".join("POINT P%d, 1, 2\n" % i for i in range(33_000))
        path = write("names.zir", lines + "END\n")
        done, dump, _ = run(path)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(dump["result"], -1)
        self.assertGreater(len(dump["errors"]), 0)
        self.assertTrue(all(e["line"] > 32768 for e in dump["errors"]))

    def test_huge_figures_are_clipped_to_the_picture(self):
        path = write("figures.zir", "\n".join([
            "SCREEN 100000, 100000",
            "SPEED 0",
            "TEXTWINDOW 0, 0, 30000, 30000",
            "TEXT \"Riesig\", &H000000, &HFFFFFF, 32767",
            "TEXTWINDOW -5, -5, -5, -5",
            "TEXT \"Nirgends\"",
            "LINE g, 0, 0, 600, 400, DEFAULT, &HFF0000, 30000",
            "POINT P, 300, 200, 1, &H00FF00, 32767",
            "POINT Q, 30000, -30000, 2, &H0000FF, 32767",
            "CIRCLE k, 300, 200, 30000, &H0000FF, 30000",
            "CIRCLE r, 30000, 30000, 30000",
            "FILLCIRCLE k",
            "FILLCIRCLE r",
            "MARKPOINT P, 32767, 15",
            "h = LINE P, Q",
            "MARKANGLE g, h, \"abc\", 32767, 3, 30000",
            "END"]) + "\n")
        done, dump, _ = run(path, "--png", path + ".png")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["screen"], {"width": 2048, "height": 2048})
        self.assertEqual(dump["result"], 255)

    def test_undefined_and_far_objects_flow_through_without_drawing(self):
        path = write("far.zir", "\n".join([
            "SPEED 0",
            "POINT A, 32767, 32767",
            "POINT B, -32768, 32767",
            "POINT C, 32767, -32768",
            "POINT D, -32768, -32768",
            "g = LINE A, B",
            "h = LINE C, D",
            "S = CROSS g, h",            # parallel: about 1e284 pixels away
            "k = CIRCLE S, A",
            "FILLCIRCLE k",
            "CIRCLE k1, 32767, 32767, 5",
            "CIRCLE k2, -32768, -32768, 5",
            "U, V = CROSS k1, k2",       # apart: undefined
            "m = CIRCLE U, V",
            "M = MIDDLE U, S",
            "FILLCIRCLE m",
            "MARKPOINT U",
            "MARKANGLE B, U, S, \"x\"",
            "END"]) + "\n")
        done, dump, _ = run(path, "--png", path + ".png")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 255)
        self.assertGreater(abs(named(dump, "points", "S")["x"]), 1e200)
        self.assertFalse(named(dump, "points", "U")["defined"])
        self.assertFalse(named(dump, "circles", "m")["defined"])
        self.assertFalse(named(dump, "points", "M")["defined"])


class Budgets(unittest.TestCase):
    def test_endless_loops_end_at_the_statement_budget(self):
        # 32767 * 32767 * 32767 passes: only the budget ends it, as a closed window.
        path = write("loops.zir", "\n".join([
            "CONSTRUCT A FAST", "END",
            "CONSTRUCTION A", "CONSTRUCT B", "REPEAT 32767",
            "CONSTRUCTION B", "CONSTRUCT C", "REPEAT 32767",
            "CONSTRUCTION C", "POINT P, 1, 1", "REPEAT 32767"]) + "\n")
        done, dump, _ = run(path, "--max-statements", "100000")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 0)
        self.assertEqual(named(dump, "points", "P")["x"], 1)

    def test_an_animation_with_a_long_trace_ends_at_the_budget(self):
        # Every frame draws the whole trace again; the budget counts that work too.
        points = ", ".join("P%d" % k for k in range(14))
        steps = "\n".join("STEP P%d, 1, 0" % k for k in range(14))
        decl = "\n".join("POINT P%d, 0, %d" % (k, 10 * k) for k in range(14))
        path = write("trace.zir", "\n".join([
            "SPEED 0", "FRAMESPEED 0", decl, "ANIMATE Lauf", "END",
            "ANIMATION Lauf", "TRACE " + points, steps, "REPEAT 32767"]) + "\n")
        done, dump, _ = run(path, "--max-statements", "1000000")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 0)
        # Far fewer frames ran than the 32767 the script asks for.
        self.assertLess(named(dump, "points", "P0")["x"], 10000)

    def test_deep_recursion_on_a_large_screen_ends_with_the_nesting_error(self):
        path = write("deep.zir", "\n".join([
            "SCREEN 2048, 2048", "CONSTRUCT Ewig FAST", "END",
            "CONSTRUCTION Ewig", "POINT A, 1, 1", "CONSTRUCT Ewig", "REPEAT"]) + "\n")
        done, dump, _ = run(path)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], (1 << 16) | 37)
        self.assertIn(b"verschachtelt", done.stdout)

    def test_a_menu_of_every_item_the_compiler_allows(self):
        items = "".join('MENUITEM "Eintrag %d"\nPOINT P%d, %d, 5\n' % (k, k, k) for k in range(126))
        path = write("menu.zir", "MENU\n" + items + "ENDMENU\nEND\n")
        input_path = write("menu.input", "3000 key End\n" + "".join(
            "%d key Down\n" % (3100 + 10 * k) for k in range(200)) + "6000 key Enter\n")
        done, dump, _ = run(path, "--input", input_path)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(dump["result"], 255)
        self.assertEqual(named(dump, "points", "P125")["x"], 125)


def main():
    global ZIRKULA, WORK
    ZIRKULA, WORK = sys.argv[1], sys.argv[2]
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v"])


if __name__ == "__main__":
    main()
