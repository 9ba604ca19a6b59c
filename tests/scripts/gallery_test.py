#!/usr/bin/env python3
"""The example scripts stay runnable and the gallery's checklist stays true.

- Every script of examples/ (the gallery and any other *.zir there) and every complete
  example of docs/sprache.md compiles without a message, neither an error nor a warning
  (zirkula --check).
- Every script of examples/ and of the gallery runs headless, with its viewer input file
  NAME.input when there is one, and ends with result 0 or 255 and no error; the teaching
  examples for dragging, animation and menus still get where their input means to lead.
- Together the gallery scripts use every keyword spelling of the keyword table and every
  opcode the compiler can produce.
- The checklist in examples/gallery/README.md names every keyword and every opcode, and
  each script it names really uses that keyword (as a statement token, not in a comment) or
  compiles to that opcode.
- The gallery page docs/gallery/README.md shows the rendered GIF of every gallery script.

Usage: gallery_test.py ZIRKULA SOURCE_DIR WORK_DIR
       gallery_test.py --print-checklist ZIRKULA SOURCE_DIR   (prints the two tables)
"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import unittest

ZIRKULA = ""
SOURCE = ""
WORK = ""

# Block headings of the listing name the kinds whose headers compile to no instruction.
HEADER_OPCODES = {"CONSTRUCTION": 57, "INTERACTION": 58, "ANIMATION": 59}


def run(*args, cwd=None):
    env = dict(os.environ, LC_ALL="C.UTF-8")
    return subprocess.run([ZIRKULA, *args], capture_output=True, env=env, cwd=cwd, timeout=600)


def gallery_scripts():
    return sorted(glob.glob(os.path.join(SOURCE, "examples", "gallery", "*.zir")))


def example_scripts():
    return sorted(glob.glob(os.path.join(SOURCE, "examples", "*.zir"))) + gallery_scripts()


def script_name(path):
    return os.path.splitext(os.path.basename(path))[0]


def keyword_table():
    """Every spelling of the keyword table, from the compiler's own table."""
    with open(os.path.join(SOURCE, "src", "frontend", "keywords.cpp")) as f:
        text = f.read()
    entries = text[text.index("Entries[]"):]
    entries = entries[:entries.index("};")]
    return re.findall(r'\{"([A-Z]+)",', entries)


def opcode_table():
    """Every opcode of the instruction format, from the compiler's enumeration."""
    with open(os.path.join(SOURCE, "src", "frontend", "instructions.h")) as f:
        text = f.read()
    body = text[text.index("enum class Op"):]
    body = body[:body.index("};")]
    return sorted(int(n) for n in re.findall(r"=\s*(\d+)\s*,", body) if int(n) != 0)


def split_tokens(line):
    """The tokens of one script line as the compiler cuts them: blanks, commas and equals
    signs separate; a quoted text or a bracketed triple is one token; the first token that
    begins with a byte below "A" other than a digit, "&", "(", "-" or a quote starts the
    comment. A line that begins with a tab is ignored as a whole."""
    if line.startswith("\t"):
        return []
    tokens, p, n = [], 0, len(line)
    while p < n:
        c = line[p]
        if c in ' ,=':
            p += 1
            continue
        if c in '"(':
            close = line.find('"' if c == '"' else ")", p + 1)
            end = n if close < 0 else close + 1
            tokens.append(line[p:end])
            p = end + 1
            continue
        end = p
        while end < n and line[end] not in ' ,=':
            end += 1
        tokens.append(line[p:end])
        p = end + 1
    kept = []
    for t in tokens:
        first = t[0]
        if ord(first) < 65 and not (first.isdigit() or first in '&(-"'):
            break
        kept.append(t)
    return kept


def keywords_used(path):
    known = set(keyword_table())
    used = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            for token in split_tokens(line.rstrip("\r\n")):
                if token[0] != '"' and token.upper() in known:
                    used.add(token.upper())
    return used


LISTING_LINE = re.compile(r"^\s*\d+:\d+\s+(\d+)\s")


def opcodes_used(path):
    result = run("--check", "--listing", path)
    if result.returncode != 0:
        raise AssertionError(f"{path} does not compile:\n{result.stdout.decode()}")
    used = set()
    for line in result.stdout.decode("utf-8", "replace").splitlines():
        m = LISTING_LINE.match(line)
        if m:
            used.add(int(m.group(1)))
        elif line.startswith("block "):
            for kind, opcode in HEADER_OPCODES.items():
                if f"  {kind} " in line:
                    used.add(opcode)
    return used


def readme_tables():
    """The checklist of the gallery README: {keyword: [scripts]} and {opcode: [scripts]}."""
    with open(os.path.join(SOURCE, "examples", "gallery", "README.md"), encoding="utf-8") as f:
        text = f.read()
    keywords, opcodes = {}, {}
    for line in text.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if not line.startswith("|") or len(cells) < 2:
            continue
        scripts = re.findall(r"[a-z][a-z0-9-]*", cells[-1].replace("`", ""))
        if re.fullmatch(r"`[A-Z]+`", cells[0]):
            keywords.setdefault(cells[0].strip("`"), []).extend(scripts)
        elif re.fullmatch(r"\d+", cells[0]) and len(cells) >= 3:
            opcodes.setdefault(int(cells[0]), []).extend(scripts)
    return keywords, opcodes


class ScriptsCompile(unittest.TestCase):
    def test_every_example_script_compiles_without_a_message(self):
        scripts = example_scripts()
        self.assertGreaterEqual(len(gallery_scripts()), 12, "the gallery has at least twelve")
        for path in scripts:
            with self.subTest(script=os.path.relpath(path, SOURCE)):
                result = run("--check", path)
                self.assertEqual(result.returncode, 0, result.stdout.decode())
                self.assertEqual(result.stdout, b"")

    def test_every_complete_example_of_the_language_reference_compiles_without_a_message(self):
        with open(os.path.join(SOURCE, "docs", "sprache.md"), encoding="utf-8") as f:
            text = f.read()
        blocks = re.findall(r"```zirkula\n(.*?)```", text, re.S)
        self.assertGreater(len(blocks), 40)
        # Each example names the picture it gives, and the page shows that picture.
        pictures = [re.match(r"' Bild: ([a-z0-9-]+)\n", b) for b in blocks]
        self.assertTrue(all(pictures), "an example does not begin with ' Bild: NAME")
        names = [m.group(1) for m in pictures]
        self.assertEqual(len(names), len(set(names)), "two examples give the same picture")
        for name in names:
            self.assertIn(f"(bilder/{name}.png)", text)
        folder = os.path.join(WORK, "sprache")
        os.makedirs(folder, exist_ok=True)
        for i, block in enumerate(blocks):
            with self.subTest(example=i + 1, first_line=block.splitlines()[0]):
                path = os.path.join(folder, f"beispiel-{i + 1}.zir")
                with open(path, "w", encoding="utf-8") as f:
                    f.write(block)
                result = run("--check", path)
                self.assertEqual(result.returncode, 0, block + result.stdout.decode())
                self.assertEqual(result.stdout.decode(), "", "an error or a warning")


def run_headless(path, folder):
    """Runs one example headless with its viewer input and returns its dump."""
    # Gallery and examples/ share some names: the run's files carry the folder too.
    name = os.path.relpath(os.path.splitext(path)[0], os.path.join(SOURCE, "examples"))
    name = name.replace(os.sep, "-")
    # A copy, so that no report file can appear in the source tree.
    script = shutil.copy(path, os.path.join(folder, name + ".zir"))
    args = ["--headless", "--dump", os.path.join(folder, name + ".json")]
    viewer = os.path.splitext(path)[0] + ".input"
    if os.path.exists(viewer):
        args += ["--input", viewer]
    result = run(*args, script, cwd=folder)
    if result.returncode != 0:
        raise AssertionError(result.stderr.decode())
    with open(os.path.join(folder, name + ".json"), encoding="utf-8") as f:
        dump = json.load(f)
    dump["stdout"] = result.stdout.decode("utf-8", "replace")
    return dump


def named(dump, kind, name):
    return next(o for o in dump[kind] if o["name"] == name)


class ExampleRuns(unittest.TestCase):
    def setUp(self):
        self.folder = os.path.join(WORK, "runs")
        os.makedirs(self.folder, exist_ok=True)

    def test_every_example_script_runs_headless_to_its_end(self):
        for path in example_scripts():
            with self.subTest(script=os.path.relpath(path, SOURCE)):
                dump = run_headless(path, self.folder)
                self.assertIn(dump["result"], (0, 255), dump["stdout"])
                self.assertEqual(dump["errors"], [])

    def test_the_last_picture_is_the_same_whether_frames_are_recorded_or_not(self):
        # A run that records no frames shows its pictures late, as nobody sees them; the
        # picture it ends with must still be exactly the one a recorded run ends with.
        for path in example_scripts():
            with self.subTest(script=os.path.relpath(path, SOURCE)):
                name = os.path.basename(os.path.splitext(path)[0])
                args = ["--headless"]
                viewer = os.path.splitext(path)[0] + ".input"
                if os.path.exists(viewer):
                    args += ["--input", viewer]
                pictures = []
                for extra in ([], ["--frames", os.path.join(self.folder, name + "-frames")]):
                    picture = os.path.join(self.folder, f"{name}-{len(pictures)}.png")
                    result = run(*args, *extra, "--png", picture, path, cwd=self.folder)
                    self.assertEqual(result.returncode, 0, result.stderr.decode())
                    with open(picture, "rb") as f:
                        pictures.append(f.read())
                self.assertEqual(pictures[0], pictures[1])

    # The teaching examples' input files are timed by hand: a script made slower or an
    # input moved makes a press miss its point or a click end a pause instead of choosing.
    def test_the_dragged_vertex_ends_where_the_input_let_it_go(self):
        dump = run_headless(os.path.join(SOURCE, "examples", "drag_circumcircle.zir"), self.folder)
        c = named(dump, "points", "C")
        self.assertEqual((c["x"], c["y"]), (390, 60))
        # The circumcentre of the last position was constructed after Esc.
        u = named(dump, "points", "U")
        self.assertAlmostEqual(u["x"], 320, places=6)
        self.assertTrue(u["visible"])

    def test_the_rolling_point_closes_its_curve(self):
        dump = run_headless(os.path.join(SOURCE, "examples", "rolling_deltoid.zir"), self.folder)
        p = named(dump, "points", "P")
        self.assertAlmostEqual(p["x"], 500, delta=0.5)
        self.assertAlmostEqual(p["y"], 230, delta=0.5)

    def test_every_menu_choice_of_the_input_ran_its_construction(self):
        dump = run_headless(os.path.join(SOURCE, "examples", "choose_construction.zir"),
                            self.folder)
        # Each construction leaves its own result; an item never chosen leaves it blank.
        m, c, s = (named(dump, "points", "M"), named(dump, "points", "C"),
                   named(dump, "lines", "s"))
        self.assertEqual((m["x"], m["y"], m["visible"]), (320, 240, True))
        self.assertAlmostEqual(c["y"], 240 - 200 * 3**0.5 / 2, places=6)
        self.assertEqual((s["x"], s["y"], s["dx"]), (220, 240, 0))


class Checklist(unittest.TestCase):
    def test_the_gallery_uses_every_keyword_and_every_opcode(self):
        keywords = set()
        opcodes = set()
        for path in gallery_scripts():
            keywords |= keywords_used(path)
            opcodes |= opcodes_used(path)
        self.assertEqual(sorted(set(keyword_table()) - keywords), [])
        self.assertEqual(sorted(set(opcode_table()) - opcodes), [])

    def test_the_readme_checklist_names_every_keyword_and_opcode_truthfully(self):
        listed_keywords, listed_opcodes = readme_tables()
        self.assertEqual(sorted(set(keyword_table()) - set(listed_keywords)), [],
                         "keywords missing from the checklist")
        self.assertEqual(sorted(set(opcode_table()) - set(listed_opcodes)), [],
                         "opcodes missing from the checklist")
        names = {script_name(p): p for p in gallery_scripts()}
        for keyword, scripts in listed_keywords.items():
            with self.subTest(keyword=keyword):
                self.assertTrue(scripts, "no script named")
                for s in scripts:
                    self.assertIn(s, names, f"{s} is no gallery script")
                    self.assertIn(keyword, keywords_used(names[s]), f"{s} does not use it")
        listings = {}
        for opcode, scripts in listed_opcodes.items():
            with self.subTest(opcode=opcode):
                self.assertTrue(scripts, "no script named")
                for s in scripts:
                    self.assertIn(s, names, f"{s} is no gallery script")
                    if s not in listings:
                        listings[s] = opcodes_used(names[s])
                    self.assertIn(opcode, listings[s], f"{s} does not compile to it")


class GalleryPage(unittest.TestCase):
    def test_the_gallery_page_shows_the_rendered_gif_of_every_gallery_script(self):
        folder = os.path.join(SOURCE, "docs", "gallery")
        with open(os.path.join(folder, "README.md"), encoding="utf-8") as f:
            page = f.read()
        self.assertIn("examples/gallery/README.md#checkliste", page)
        for path in gallery_scripts():
            name = script_name(path)
            with self.subTest(script=name):
                self.assertIn(f"]({name}.gif)", page)
                self.assertTrue(os.path.exists(os.path.join(folder, name + ".gif")))
                self.assertTrue(os.path.exists(os.path.join(folder, name + ".png")))


def print_checklist():
    """Which script uses which keyword and opcode: a help for writing the README tables."""
    by_keyword, by_opcode = {}, {}
    for path in gallery_scripts():
        for k in keywords_used(path):
            by_keyword.setdefault(k, []).append(script_name(path))
        for o in opcodes_used(path):
            by_opcode.setdefault(o, []).append(script_name(path))
    for k in keyword_table():
        print(f"| `{k}` | {', '.join(by_keyword.get(k, ['-']))} |")
    print()
    for o in opcode_table():
        print(f"| {o} | | {', '.join(by_opcode.get(o, ['-']))} |")


if __name__ == "__main__":
    if len(sys.argv) >= 2 and sys.argv[1] == "--print-checklist":
        ZIRKULA, SOURCE = os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
        print_checklist()
        sys.exit(0)
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    ZIRKULA, SOURCE, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
