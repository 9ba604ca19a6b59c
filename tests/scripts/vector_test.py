#!/usr/bin/env python3
"""The vector pictures show what the screen shows.

- Every gallery script, run headless with its viewer input, writes an SVG that parses and,
  rasterised at the drawing's size, puts ink where the PNG of the screen has ink and nowhere
  else; a one-page PDF of it; and a handout PDF.
- Small scripts for the hard cases (a fill, a dragged point redrawn over a snapshot, the
  instruments of a slow construction) show nothing in the SVG the screen does not show.
- A handout has one picture per paced step, six to a page, each with its script lines.

Usage: vector_test.py ZIRKULA SOURCE_DIR WORK_DIR
"""
import concurrent.futures
import glob
import io
import os
import re
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

import numpy as np
from PIL import Image

ZIRKULA = SOURCE = WORK = ""
REACH = 2  # pixels a matching pixel may lie away
INK_SHARE = 0.3  # the least share of ink in an anti-aliased pixel that counts as a match
TOLERANCE = 40  # per channel, for 16-bit screen colours against anti-aliased ones


def run_script(name, script, viewer_input=None, handout=False):
    """Runs the script headless with every vector output; returns the output's prefix."""
    out = os.path.join(WORK, name)
    args = ["--headless", "--png", out + ".png", "--svg", out + ".svg", "--pdf", out + ".pdf"]
    if handout:
        args += ["--handout", out + "-handout.pdf"]
    if viewer_input:
        args += ["--input", viewer_input]
    result = subprocess.run([ZIRKULA, *args, script], capture_output=True, timeout=600,
                            env=dict(os.environ, LC_ALL="C.UTF-8"), cwd=WORK)
    if result.returncode != 0:
        raise AssertionError(f"{name}: exit {result.returncode}: {result.stderr.decode()}")
    return out


def write(name, text):
    path = os.path.join(WORK, name)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return path


def pdf_pages(path):
    info = subprocess.run(["pdfinfo", path], capture_output=True, text=True, check=True).stdout
    return int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))


def pictures(out):
    """The PNG's drawing area and the SVG rasterised at its size, as int arrays, and the
    background colour."""
    root = ET.parse(out + ".svg").getroot()
    w, h = int(float(root.get("width"))), int(float(root.get("height")))
    assert w > 0 and h > 0, f"SVG of {w} x {h}"
    png = np.asarray(Image.open(out + ".png").convert("RGB"), dtype=np.int32)[:h, :w]
    colours, counts = np.unique(png.reshape(-1, 3), axis=0, return_counts=True)
    background = colours[counts.argmax()]
    raster = subprocess.run(["rsvg-convert", "-w", str(w), "-h", str(h), out + ".svg"],
                            capture_output=True, check=True).stdout
    rgba = np.asarray(Image.open(io.BytesIO(raster)).convert("RGBA"), dtype=np.float64)
    alpha = rgba[..., 3:] / 255
    svg = np.rint(rgba[..., :3] * alpha + background * (1 - alpha)).astype(np.int32)
    return png, svg, background


def shifted(a, dx, dy, fill):
    """a moved by (dx, dy), the uncovered edge filled with fill."""
    out = np.empty_like(a)
    out[...] = fill
    h, w = a.shape[:2]
    out[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] = \
        a[max(-dy, 0):h - max(dy, 0), max(-dx, 0):w - max(dx, 0)]
    return out


def blend_of(pixel, ink, background):
    """Whether pixel is ink blended over the background with at least INK_SHARE of ink."""
    d = (ink - background).astype(np.float64)
    e = (pixel - background).astype(np.float64)
    share = np.clip((e * d).sum(-1) / np.maximum((d * d).sum(-1), 1), INK_SHARE, 1)
    return np.abs(e - share[..., None] * d).max(-1) <= TOLERANCE


def matched(png, svg, background):
    """The ink of each picture and which of it has matching ink near it in the other."""
    png_ink = (png != background).any(-1)
    # Fainter pixels are the fringes of anti-aliased edges, too pale to tell their ink.
    svg_ink = (np.abs(svg - background) > TOLERANCE).any(-1)
    png_found = np.zeros_like(png_ink)
    svg_found = np.zeros_like(svg_ink)
    for dy in range(-REACH, REACH + 1):
        for dx in range(-REACH, REACH + 1):
            near_svg = shifted(svg, dx, dy, background)
            png_found |= png_ink & blend_of(near_svg, png, background)
            near_png = shifted(png, dx, dy, background)
            svg_found |= svg_ink & (near_png != background).any(-1) & \
                blend_of(svg, near_png, background)
    return png_ink, png_found, svg_ink, svg_found


def compare(out):
    """The shares of the PNG's ink matched in the SVG and of the SVG's matched in the PNG,
    and the path of an image of the unmatched ink (red: the PNG's, blue: the SVG's)."""
    png, svg, background = pictures(out)
    png_ink, png_found, svg_ink, svg_found = matched(png, svg, background)
    diff = np.full(png.shape, 255, np.uint8)
    diff[png_ink | svg_ink] = (220, 220, 220)
    diff[png_ink & ~png_found] = (255, 0, 0)
    diff[svg_ink & ~svg_found] = (0, 0, 255)
    Image.fromarray(diff).save(out + "-diff.png")
    share = lambda found, ink: found.sum() / max(ink.sum(), 1)
    return share(png_found, png_ink), share(svg_found, svg_ink), out + "-diff.png"


def gallery_run(path):
    name = os.path.splitext(os.path.basename(path))[0]
    viewer = os.path.splitext(path)[0] + ".input"
    out = run_script(name, path, viewer if os.path.exists(viewer) else None, handout=True)
    return name, out, compare(out)


class Gallery(unittest.TestCase):
    def test_every_gallery_script_has_the_same_picture_as_svg_and_pdf(self):
        paths = sorted(glob.glob(os.path.join(SOURCE, "examples", "gallery", "*.zir")))
        self.assertGreaterEqual(len(paths), 12)
        with concurrent.futures.ThreadPoolExecutor(2) as pool:
            runs = list(pool.map(gallery_run, paths))
        for name, out, (png_share, svg_share, diff) in runs:
            print(f"{name}: PNG ink in SVG {png_share:.1%}, SVG ink in PNG {svg_share:.1%}")
            with self.subTest(script=name):
                self.assertGreaterEqual(min(png_share, svg_share), 0.95, f"see {diff}")
                self.assertEqual(pdf_pages(out + ".pdf"), 1)
                self.assertGreaterEqual(pdf_pages(out + "-handout.pdf"), 1)


# Each case: a script, its viewer input, and spots (x, y, inked) where the screen has ink or
# not as said and the SVG has the screen's colour.
CASES = {
    # A circle and a triangle flood-filled inside their outlines, one of them translucent.
    "fill": ("""CIRCLE k, 200, 200, 100, &H000000, 2
FILL k, &HF80000
POINT A, 350, 350
POINT B, 600, 350
POINT C, 480, 100
s = LINE A, B
FILL A, B, C, &H0000F8, 120
END
""", None, [(200, 200, 1), (130, 200, 1), (200, 290, 1), (480, 300, 1), (420, 340, 1)]),
    # A dragged: the interaction's drawing is put back from its snapshot and drawn afresh
    # around A's new place; the run ends in the interaction, once the input is used up. The
    # midpoint M moved from (200, 200) to (230, 190).
    "drag": ("""LINE g, 20, 400, 620, 400, &HFFFF, &H008000, 2
IPOINT A, 100, 100
IPOINT B, 300, 300
INTERACT Ziehen
END
INTERACTION Ziehen
  CLICKABLE A, B
  M = MIDDLE A, B, 4, &HF80000, 6
  k = CIRCLE M, A, &H0000F8, 2
REPEAT
""", """6000 press 100 100
6100 move 130 90
6200 move 160 80
6300 release 160 80
""", [(230, 190, 1), (200, 200, 0), (320, 400, 1)]),
    # A text window is a picture of its own, put at its corner.
    "textwindow": ("TEXTWINDOW 300, 200, 200, 100\nTEXT \"Hallo Welt\"\nEND\n", None, []),
    # The ruler, set square, compass and pencil in colours of their own, gone at the end.
    "slow": ("""TOOLDEFAULTS 160, 160, 50, &HF800F8, &H00F8F8, &HF88000, &H80F800, &H8000F8
POINT A, 200, 300
POINT B, 440, 300
CONSTRUCT Mitte SLOW
END
CONSTRUCTION Mitte
  m = MIDLINE A, B
  k = CIRCLE A, B
  g = LINE A, B
REPEAT
""", None, []),
}
INSTRUMENTS = np.array([[0xF8, 0, 0xF8], [0, 0xF8, 0xF8], [0xF8, 0x80, 0], [0x80, 0xF8, 0],
                        [0x80, 0, 0xF8]])


class Cases(unittest.TestCase):
    def test_the_svg_shows_nothing_the_screen_does_not(self):
        for name, (script, viewer, spots) in CASES.items():
            with self.subTest(case=name):
                out = run_script(name, write(name + ".zir", script),
                                 viewer and write(name + ".input", viewer))
                png_share, svg_share, diff = compare(out)
                self.assertGreaterEqual(png_share, 0.95, f"see {diff}")
                self.assertGreaterEqual(svg_share, 0.99, f"see {diff}")
                png, svg, background = pictures(out)
                for x, y, inked in spots:
                    self.assertEqual((png[y, x] != background).any(), inked, (x, y))
                    self.assertLessEqual(np.abs(svg[y, x] - png[y, x]).max(), TOLERANCE,
                                         f"{(x, y)}: {svg[y, x]} on the screen {png[y, x]}")
                near = np.abs(svg[:, :, None, :] - INSTRUMENTS).max(-1) <= 24
                self.assertEqual(int(near.sum()), 0, "an instrument's colour in the SVG")


def pace_script(points):
    """A script of points + 3 paced steps: the points, a circle, a line, a fast call."""
    lines = [f"POINT P{i}, {40 + 50 * i}, {100 + 20 * (i % 3)}" for i in range(1, points + 1)]
    lines += ["k = CIRCLE P1, P2", "g = LINE P2, P3", "CONSTRUCT Seite FAST", "END",
              "CONSTRUCTION Seite", "  M = MIDDLE P1, P3", "  h = LINE P1, M", "REPEAT"]
    return "\n".join(lines) + "\n", [f"P{i}," for i in range(1, points + 1)] + \
        ["CIRCLE", "LINE", "CONSTRUCT"]


def words(pdf):
    """The words of the PDF's pages with their boxes: [(page, word, x, y)]."""
    html = subprocess.run(["pdftotext", "-bbox", pdf, "-"], capture_output=True, text=True,
                          check=True).stdout
    found = []
    for page, body in enumerate(html.split("<page ")[1:]):
        for x, y, word in re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>',
                                     body):
            found.append((page, word, float(x), float(y)))
    return found


class Handout(unittest.TestCase):
    def test_a_handout_has_a_picture_and_the_lines_of_every_step_six_to_a_page(self):
        for points, steps, pages in [(5, 8, 2), (10, 13, 3)]:
            with self.subTest(steps=steps):
                script, keys = pace_script(points)
                self.assertEqual(len(keys), steps)
                name = f"pace{steps}"
                out = run_script(name, write(name + ".zir", script), handout=True)
                pdf = out + "-handout.pdf"
                self.assertEqual(pdf_pages(pdf), pages)
                found = words(pdf)
                # Each picture's caption: "Schritt N:" and what the step made.
                headings = {int(n[1][:-1]): (page, x, y, d[1]) for (page, s, x, y), n, d in
                            zip(found, found[1:], found[2:])
                            if s == "Schritt" and n[1][:-1].isdigit()}
                self.assertEqual(sorted(headings), list(range(1, steps + 1)))
                self.assertEqual([headings[k][3] for k in sorted(headings)],
                                 ["Punkt"] * points + ["Kreis", "Gerade", "Konstruktion"])
                # Two columns of an A4 page: at the margin, and half a gap right of the middle.
                self.assertEqual({round(x, 1) for _, x, _, _ in headings.values()}, {40.0, 307.6})
                for step, key in enumerate(keys, 1):
                    page, x, y, _ = headings[step]
                    # The step's line stands below its heading, in the same picture's column.
                    self.assertTrue(any(p == page and w == key and 0 < wy - y < 60 and
                                        abs(wx - x) < 100 for p, w, wx, wy in found),
                                    f"step {step}: {key} not under its heading")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    ZIRKULA, SOURCE, WORK = (os.path.abspath(a) for a in sys.argv[1:4])
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])
