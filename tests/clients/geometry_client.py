#!/usr/bin/env python3
"""An outside program using the geometry and drawing of libzirkula.so through ctypes.

Usage: geometry_client.py PATH/TO/libzirkula.so

The records are declared here from their published layout, not taken from the build, so a
change of field order or type in the library shows up as wrong numbers.
"""
import ctypes
import math
import os
import sys
import unittest

UNDEFINED = 1e308


class Point(ctypes.Structure):
    _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double), ("colour", ctypes.c_uint32),
                ("size", ctypes.c_int16), ("shape", ctypes.c_int16)]


class Line(ctypes.Structure):
    _fields_ = [("x", ctypes.c_double), ("y", ctypes.c_double), ("dx", ctypes.c_double),
                ("dy", ctypes.c_double), ("colour", ctypes.c_uint32), ("style", ctypes.c_uint16),
                ("width", ctypes.c_int16)]


class Circle(ctypes.Structure):
    _fields_ = [("cx", ctypes.c_double), ("cy", ctypes.c_double), ("r", ctypes.c_double),
                ("start", ctypes.c_double), ("end", ctypes.c_double),
                ("colour", ctypes.c_uint32), ("width", ctypes.c_int32)]


class Equation(ctypes.Structure):
    _fields_ = [("m", ctypes.c_double), ("b", ctypes.c_double), ("colour", ctypes.c_uint32),
                ("width", ctypes.c_int16), ("style", ctypes.c_uint16)]


P = ctypes.POINTER
lib = None


def load(path):
    global lib
    lib = ctypes.CDLL(os.path.abspath(path))
    signatures = {
        "ZIR_CIRCLECROSS": (ctypes.c_int32, [P(Circle), P(Circle), P(Point), P(Point)]),
        "ZIR_LINECROSS": (Point, [P(Line), P(Line)]),
        "ZIR_MAKEARC": (Circle, [P(Point), P(Point), P(ctypes.c_double)]),
        "ZIR_VECTORIALTOEQUAT": (Equation, [P(Line)]),
        "ZIRD_POINT": (ctypes.c_int32, [P(ctypes.c_void_p), P(Point)]),
        "ZIRD_FILLTRIANGLE": (ctypes.c_int32, [P(ctypes.c_void_p), P(Point), P(Point), P(Point),
                                               P(ctypes.c_uint32), P(ctypes.c_int32)]),
        "ZIRD_FILLCIRCLE": (ctypes.c_int32, [P(ctypes.c_void_p), P(Circle), P(ctypes.c_uint32),
                                             P(ctypes.c_int32)]),
        "ZIRA_PARTIALARC": (ctypes.c_int32, [P(ctypes.c_void_p), P(Circle), P(ctypes.c_int32),
                                             P(ctypes.c_int32), P(ctypes.c_double),
                                             P(ctypes.c_int32)]),
    }
    for name, (result, arguments) in signatures.items():
        function = getattr(lib, name)
        function.restype = result
        function.argtypes = arguments


class Geometry(unittest.TestCase):
    """What the library adds to the kernel's geometry: the callers' records read and written
    in their published layout, the looks carried over, undefined results marked."""

    def test_crossings_take_the_looks_of_the_first_figure(self):
        s1, s2 = Point(shape=4), Point(shape=4)
        self.assertEqual(lib.ZIR_CIRCLECROSS(Circle(0, 0, 10, 0, 0, 0x0000FF, 3),
                                             Circle(10, 0, 10, 0, 0, 0xFF0000, 1), s1, s2), 2)
        self.assertEqual((s1.x, s1.colour, s1.size, s1.shape), (5, 0x0000FF, 3, 4))
        self.assertAlmostEqual(s1.y, math.sqrt(75))
        self.assertAlmostEqual(s2.y, -math.sqrt(75))
        self.assertEqual(lib.ZIR_CIRCLECROSS(Circle(UNDEFINED, 0, 5), Circle(0, 0, 5), s1, s2), 0)
        self.assertEqual((s1.x, s2.y), (UNDEFINED, UNDEFINED))
        s = lib.ZIR_LINECROSS(Line(0, 0, 1, 0, 0x00FF00, 0xFFFF, 2),
                              Line(5, 10, 0, 1, 0xFF0000, 0xFFFF, 1))
        self.assertEqual((s.x, s.y, s.colour, s.size, s.shape), (5, 0, 0x00FF00, 2, 0))

    def test_arcs_centred_on_the_point_and_equations_of_lines(self):
        width = ctypes.c_double(math.pi / 2)
        arc = lib.ZIR_MAKEARC(Point(10, 10), Point(10, 0, 0x123456, 5), ctypes.byref(width))
        self.assertEqual((arc.cx, arc.cy, arc.r, arc.colour, arc.width), (10, 10, 10, 0x123456, 5))
        self.assertAlmostEqual(arc.start, math.pi / 4)
        self.assertAlmostEqual(arc.end, 3 * math.pi / 4)
        whole = lib.ZIR_MAKEARC(Point(0, 0), Point(5, 0), ctypes.byref(ctypes.c_double(0)))
        self.assertEqual((whole.start, whole.end), (0, 0))
        turn = lib.ZIR_MAKEARC(Point(0, 0), Point(5, 0), ctypes.byref(ctypes.c_double(6.28318530717959)))
        self.assertEqual(turn.start, turn.end)
        self.assertAlmostEqual(turn.start, math.pi)
        e = lib.ZIR_VECTORIALTOEQUAT(Line(2, 3, 2, 4, 0x00FF00, 0xF0F0, 3))
        self.assertEqual((e.m, e.b, e.colour, e.width, e.style), (2, -1, 0x00FF00, 3, 0xF0F0))
        vertical = lib.ZIR_VECTORIALTOEQUAT(Line(7, 1, 0, 5))
        self.assertEqual((vertical.m, vertical.b), (UNDEFINED, 7))
        undefined = lib.ZIR_VECTORIALTOEQUAT(Line(UNDEFINED, 0, 1, 1, 0xFF))
        self.assertEqual((undefined.m, undefined.b, undefined.colour), (UNDEFINED, UNDEFINED, 0))


class Image:
    """An RGB565 image made by the caller in the published layout: u16 width * 8 + 2, u16 height,
    then the pixels row by row, little-endian."""

    def __init__(self, width, height, pixel=0xFFFF):
        self.width, self.height = width, height
        header = (width * 8 + 2).to_bytes(2, "little") + height.to_bytes(2, "little")
        self.buffer = ctypes.create_string_buffer(header + pixel.to_bytes(2, "little") * width * height)
        self.handle = ctypes.c_void_p(ctypes.addressof(self.buffer))

    def target(self):
        return ctypes.byref(self.handle)

    def pixel(self, x, y):
        at = 4 + 2 * (y * self.width + x)
        return int.from_bytes(self.buffer.raw[at:at + 2], "little")


class Drawing(unittest.TestCase):
    def test_fill_on_the_callers_image_with_alpha_written_back(self):
        image = Image(40, 30)
        colour, alpha = ctypes.c_uint32(0xFF0000), ctypes.c_int32(-1)
        result = lib.ZIRD_FILLTRIANGLE(image.target(), Point(2, 2), Point(30, 2), Point(2, 25),
                                       ctypes.byref(colour), ctypes.byref(alpha))
        self.assertEqual((result, alpha.value), (0, 255))
        self.assertEqual(image.pixel(8, 8), 0xF800)
        self.assertEqual(image.pixel(35, 25), 0xFFFF)

    def test_sector_angles_normalised_in_the_callers_record(self):
        image = Image(40, 40)
        sector = Circle(20, 20, 10, -math.pi / 2, 0, 0, 1)
        colour, alpha = ctypes.c_uint32(0x0000FF), ctypes.c_int32(255)
        self.assertEqual(lib.ZIRD_FILLCIRCLE(image.target(), sector, ctypes.byref(colour),
                                             ctypes.byref(alpha)), 0)
        self.assertAlmostEqual(sector.start, 3 * math.pi / 2)
        self.assertEqual((image.pixel(24, 24), image.pixel(16, 16)), (0x001F, 0xFFFF))

    def test_points_off_the_image_are_refused(self):
        image = Image(10, 10)
        self.assertEqual(lib.ZIRD_POINT(image.target(), Point(-0.1, 5, 0, 4, 0)), -1)
        self.assertEqual(lib.ZIRD_POINT(image.target(), Point(UNDEFINED, 5)), -65536)
        self.assertEqual(lib.ZIRD_POINT(image.target(), Point(5, 5, 0, 4, 1)), 0)
        self.assertEqual(image.pixel(5, 5), 0)


class Arcs(unittest.TestCase):
    def test_a_short_arc_writes_its_hurried_step_back(self):
        image = Image(100, 100)
        arc = Circle(50, 50, 30, 1.0, 1.2, 0xFF0000, 1)
        step, steps, size, word = (ctypes.c_int32(1), ctypes.c_int32(40), ctypes.c_double(0),
                                   ctypes.c_int32(0))
        drawn = []
        while lib.ZIRA_PARTIALARC(image.target(), arc, ctypes.byref(step), ctypes.byref(steps),
                                  ctypes.byref(size), ctypes.byref(word)) == 0:
            drawn.append(step.value - 1)
        self.assertEqual(drawn, [2, 5, 10, 18, 32])


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    load(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
