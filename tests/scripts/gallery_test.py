#!/usr/bin/env python3
"""The example scripts stay runnable and the gallery's checklist stays true.

- Every script of examples/ and of the gallery, and every example of docs/sprache.md,
  compiles without an error or a warning.
- Every script of examples/ and of the gallery runs headless with its viewer input file
  NAME.input, ends with result 0 or 255, and ends on the same picture whether its frames are
  recorded or not; the teaching examples get where their input means to lead.
- Each script the checklist of examples/gallery/README.md names for a keyword uses it, and
  each it names for an opcode compiles to it (that the checklist names every opcode is a unit
  test, which reads the opcode table itself).
- The gallery page docs/gallery/README.md shows the picture of every gallery script.

Usage: gallery_test.py ZIRKULA SOURCE_DIR WORK_DIR
"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import unittest

ZIRKULA = SOURCE = WORK = ""


def run(*args, cwd=None):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    return subprocess.run([ZIRKULA, *args], capture_output=True, env=env, cwd=cwd, timeout=600)


def gallery_scripts():
    return sorted(glob.glob(os.path.join(SOURCE, "examples", "gallery", "*.zir")))


def example_scripts():
    return sorted(glob.glob(os.path.join(SOURCE, "examples", "*.zir"))) + gallery_scripts()


def script_name(path):
    return os.path.splitext(os.path.basename(path))[0]


def run_headless(path, *extra):
    """Runs one example headless with its viewer input; returns its dump and last picture."""
    name = os.path.relpath(os.path.splitext(path)[0], os.path.join(SOURCE, "examples"))
    out = os.path.join(WORK, "runs", name.replace(os.sep, "-") + str(len(extra)))
    os.makedirs(out, exist_ok=True)
    args = ["--headless", "--dump", out + "/dump.json", "--png", out + "/end.png", *extra]
    viewer = os.path.splitext(path)[0] + ".input"
    if os.path.exists(viewer):
        args += ["--input", viewer]
    # A copy, so that a report file cannot appear in the source tree.
    result = run(*args, shutil.copy(path, out), cwd=out)
    # An example runs without a warning or a complaint about the files it writes.
    if result.returncode != 0 or result.stderr:
        raise AssertionError(result.stderr.decode())
    with open(out + "/dump.json", encoding="utf-8") as f, open(out + "/end.png", "rb") as png:
        return json.load(f), png.read()


def named(dump, kind, name):
    return next(o for o in dump[kind] if o["name"] == name)


class Examples(unittest.TestCase):
    def test_every_example_compiles_without_a_message(self):
        with open(os.path.join(SOURCE, "docs", "sprache.md"), encoding="utf-8") as f:
            text = f.read()
        blocks = re.findall(r"```zirkula\n(.*?)```", text, re.S)
        self.assertGreater(len(blocks), 40)
        # Each example of the reference names the picture the page shows beside it.
        names = [re.match(r"' Bild: ([a-z0-9-]+)\n", b).group(1) for b in blocks]
        self.assertEqual(len(names), len(set(names)), "two examples give the same picture")
        self.assertTrue(all(f"(bilder/{n}.png)" in text for n in names))
        os.makedirs(os.path.join(WORK, "sprache"), exist_ok=True)
        paths = example_scripts()
        for i, block in enumerate(blocks):
            paths.append(os.path.join(WORK, "sprache", f"beispiel-{i + 1}.zir"))
            with open(paths[-1], "w", encoding="utf-8") as f:
                f.write(block)
        self.assertGreaterEqual(len(gallery_scripts()), 12)
        for path in paths:
            with self.subTest(script=path):
                result = run("--check", path)
                self.assertEqual((result.returncode, result.stdout.decode()), (0, ""))

    def test_every_example_runs_to_its_end_on_the_same_picture_with_or_without_frames(self):
        # A run that records no frames shows its pictures late, as nobody sees them; the
        # picture it ends with must still be exactly the one a recorded run ends with.
        for path in example_scripts():
            with self.subTest(script=os.path.relpath(path, SOURCE)):
                dump, picture = run_headless(path)
                self.assertIn(dump["result"], (0, 255))
                self.assertEqual(dump["errors"], [])
                frames = os.path.join(WORK, "runs", script_name(path) + "-frames")
                self.assertEqual(run_headless(path, "--frames", frames)[1], picture)

    # Three gallery scripts read aloud word for word; the others only need a description at
    # every step (number, time, line, words).
    STEPS = {
        "mittelsenkrechte": ["Titel: Mittelsenkrechte mit Zirkel und Lineal; Punkt A", "Punkt B",
                             "Punkt A beschriftet; Punkt B beschriftet; Gerade s durch A und B",
                             "Bogen bA1 um A durch P1", "Bogen bB1 um B durch P1",
                             "Bogen bA2 um A durch P2", "Bogen bB2 um B durch P2",
                             "Punkt P1 beschriftet; Punkt P2 beschriftet; Gerade m durch P1 und P2",
                             "Schnittpunkt M von s und m",
                             "Punkt M beschriftet; Zeichenfl\u00e4che gel\u00f6scht; "
                             "Punkt A beschriftet; \u2026 Gerade s durch A und B"]
                            + ["Mittelsenkrechte m2 von A und B"] * 3
                            + ["Schnittpunkt M von s und m2"] * 2,
        "lot": ["Titel: Das Lot f\u00e4llen; Zeichenfl\u00e4che gel\u00f6scht; Das Lot f\u00e4llen; "
                "\u2026 Gerade g", "Gerade g markiert; Punkt P",
                "Punkt P beschriftet; 1. Zeichne einen Kreisbogen um P, der g in S1 und S2 "
                "schneidet.; Schnittpunkte S1 und S2 von k und g",
                "Schnittpunkte S1 und S2 von k und g", "Bogen bP1 um P durch S1",
                "Bogen bP2 um P durch S2",
                "Punkt S1 beschriftet; Punkt S2 beschriftet; 2. Zeichne Kreisb\u00f6gen um S1 und "
                "S2 durch P. Sie schneiden sich unter g in Q.; Bogen b1 um S1 durch Q",
                "Bogen b2 um S2 durch Q",
                "Punkt Q beschriftet; 3. Verbinde P und Q. Der Schnittpunkt F mit g ist der "
                "Lotfu\u00dfpunkt.; Gerade l durch Q und P", "Schnittpunkt F von g und l"],
        "thales": ["Titel: Satz des Thales; Ziehe C oder D mit der Maus auf dem Kreis. Der "
                   "Winkel bei C und bei D bleibt ein rechter Winkel. Esc beendet das Ziehen.; "
                   "Punkt A", "Punkt B",
                   "Punkt A beschriftet; Punkt B beschriftet; Gerade d durch A und B",
                   "Mittelpunkt M von A und B", "Kreis k um M durch A", "Interaktion Ziehen",
                   "Konstruktion Figur; Dreieck ABC gef\u00fcllt", "Dreieck ABD gef\u00fcllt",
                   "Gerade ca durch C und A", "Gerade cb durch C und B",
                   "Gerade da durch D und A", "Gerade db durch D und B"],
    }

    def test_every_step_of_every_gallery_script_is_described(self):
        for path in gallery_scripts():
            name = script_name(path)
            with self.subTest(script=name):
                steps = os.path.join(WORK, "runs", name + ".steps")
                run_headless(path, "--steps", steps)
                with open(steps, encoding="utf-8") as f:
                    rows = [line.rstrip("\n").split("\t") for line in f]
                self.assertTrue(rows)
                self.assertEqual([int(r[0]) for r in rows], list(range(1, len(rows) + 1)))
                times = [int(r[1]) for r in rows]
                self.assertEqual(times, sorted(times))
                for number, _, line, words in rows:
                    self.assertTrue(int(line) > 0 and words.strip(), f"step {number}")
                if name in self.STEPS:
                    self.assertEqual([r[3] for r in rows], self.STEPS[name])
                if name == "lot":
                    # The line of the statement whose picture the step shows.
                    self.assertEqual([int(r[2]) for r in rows],
                                     [25, 27, 34, 34, 35, 36, 45, 46, 51, 52])

    # The teaching examples' input files are timed by hand: a script made slower or an
    # input moved makes a press miss its point or a click end a pause instead of choosing.
    def test_the_teaching_examples_get_where_their_input_leads(self):
        dump, _ = run_headless(os.path.join(SOURCE, "examples", "drag_circumcircle.zir"))
        c, u = named(dump, "points", "C"), named(dump, "points", "U")
        self.assertEqual((c["x"], c["y"]), (390, 60))
        # The circumcentre of the last position was constructed after Esc.
        self.assertAlmostEqual(u["x"], 320, places=6)
        self.assertTrue(u["visible"])
        dump, _ = run_headless(os.path.join(SOURCE, "examples", "rolling_deltoid.zir"))
        p = named(dump, "points", "P")
        self.assertAlmostEqual(p["x"], 500, delta=0.5)
        self.assertAlmostEqual(p["y"], 230, delta=0.5)
        # Each chosen construction leaves its own result; one never chosen leaves it blank.
        dump, _ = run_headless(os.path.join(SOURCE, "examples", "choose_construction.zir"))
        m, c, s = named(dump, "points", "M"), named(dump, "points", "C"), named(dump, "lines", "s")
        self.assertEqual((m["x"], m["y"], m["visible"]), (320, 240, True))
        self.assertAlmostEqual(c["y"], 240 - 200 * 3**0.5 / 2, places=6)
        self.assertEqual((s["x"], s["y"], s["dx"]), (220, 240, 0))


def readme_rows():
    """The checklist's rows: (keyword or opcode, [scripts])."""
    with open(os.path.join(SOURCE, "examples", "gallery", "README.md"), encoding="utf-8") as f:
        for line in f:
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            if line.startswith("|") and len(cells) >= 3 and re.fullmatch(r"`[A-Z]+`|\d+", cells[0]):
                yield cells[0].strip("`"), re.findall(r"[a-z][a-z0-9-]*", cells[-1])


def uses_keyword(path, keyword):
    """Whether a statement line (not a tab-indented comment line) has the keyword as a
    word outside its quoted texts."""
    with open(path, encoding="utf-8") as f:
        lines = [re.sub(r'"[^"]*"', "", l) for l in f if not l.startswith("\t")]
    return any(re.search(rf"(?<![\w.]){keyword}(?![\w.])", l) for l in lines)


def opcodes_used(path):
    result = run("--check", "--listing", path)
    assert result.returncode == 0, result.stdout.decode()
    listing = result.stdout.decode("utf-8", "replace")
    used = {int(n) for n in re.findall(r"^\s*\d+:\d+\s+(\d+)\s", listing, re.M)}
    # Block headings name the kinds whose headers compile to no instruction of their own.
    kinds = {"CONSTRUCTION": 57, "INTERACTION": 58, "ANIMATION": 59}
    return used | {op for kind, op in kinds.items() if re.search(rf"^block .*  {kind} ", listing, re.M)}


class Checklist(unittest.TestCase):
    def test_every_script_the_checklist_names_uses_what_its_row_says(self):
        scripts = {script_name(p): p for p in gallery_scripts()}
        listings = {}
        for what, names in readme_rows():
            with self.subTest(row=what):
                self.assertTrue(names, "no script named")
                for s in names:
                    self.assertIn(s, scripts, f"{s} is no gallery script")
                    if what.isdigit():
                        listings.setdefault(s, opcodes_used(scripts[s]))
                        self.assertIn(int(what), listings[s], f"{s} does not compile to it")
                    else:
                        self.assertTrue(uses_keyword(scripts[s], what), f"{s} does not use it")

    def test_the_gallery_page_shows_every_gallery_script(self):
        folder = os.path.join(SOURCE, "docs", "gallery")
        with open(os.path.join(folder, "README.md"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn("examples/gallery/README.md#checkliste", page)
        for name in map(script_name, gallery_scripts()):
            with self.subTest(script=name):
                self.assertIn(f"]({name}.gif)", page)
                for ext in (".gif", ".png"):
                    self.assertTrue(os.path.exists(os.path.join(folder, name + ext)))

    # The links under the language reference's examples open them in the browser edition.
    def test_every_example_of_the_reference_has_a_link_that_carries_it(self):
        checked = subprocess.run([sys.executable, os.path.join(SOURCE, "tools", "sprache-links.py"),
                                  "--check"], capture_output=True, text=True)
        self.assertEqual(checked.returncode, 0, checked.stderr)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    ZIRKULA, SOURCE, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
