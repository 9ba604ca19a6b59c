#!/usr/bin/env python3
"""Times the same construction job in Zirkula and in Eukleides, whole process against whole
process.

The job: N triangles, each with its three vertices drawn and labelled, its three sides, the
perpendicular bisectors of two sides (invisible in Zirkula: IMIDLINE; Eukleides never draws
what it is not told to), their crossing drawn as a point, and the circumcircle through it.
The triangles are pseudo-random but the same on every run and in both languages: vertices
inside the 640 x 460 drawing area, no angle under 20 degrees, so that the bisectors always
cross and the circles stay of the picture's size.

Zirkula runs headless and writes a PNG, in two forms with the same statements:
  main  the statements in the main program, which runs paced: every visible step is shown
        and followed by a pause on the virtual clock. SPEED 1 keeps those pauses short: with
        the default two seconds a triangle costs about ten virtual seconds, and more than
        about 8,600 triangles would pass the headless run's 24-hour virtual day and be cut
        short (at SPEED 1, 50,000 triangles end after about 5,000 virtual seconds);
  fast  the same statements as the body of a CONSTRUCTION that the main program calls FAST.
Eukleides writes its EPS. With --svg each Zirkula form also runs with --svg instead of --png
(the display list is recorded only then), the PNG and the SVG runs taking turns, and a second
table gives both times, their ratio and the SVG's size.

Names: Zirkula has at most 32768 names of a kind, so every triangle reuses the same names
(A, B, C, a, b, c, m1, m2, M, k), assigned again for each triangle, and the Eukleides script
does the same. Every triangle's vertices are therefore labelled A, B and C in both pictures.

Each process is timed from start to exit, wall clock and CPU (user + system), the best of
--repeat runs each; on a shared machine the CPU time is the steadier figure. A Zirkula run counts only if
its dump says the script reached END, so a run cut short by the statement budget or the
virtual day is an error, not a fast time.

Usage: peer_bench.py --zirkula PATH [--sizes 1000,10000,50000] [--repeat 3] [--svg]
                     [--max-statements N] [--pictures DIR] [--work DIR]
Run by ./bench.sh through build/bench/bench/peer_bench.
"""

import argparse
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 640, 460
MARGIN = 20
MIN_ANGLE_DEG = 20.0


class Lcg:
    """A fixed 64-bit linear congruential generator, so that the triangles do not depend on
    the Python version."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFFFFFFFFFF

    def below(self, n):
        self.state = (self.state * 6364136223846793005 + 1442695040888963407) & 0xFFFFFFFFFFFFFFFF
        return (self.state >> 33) % n


def min_angle_deg(p, q, r):
    def angle(at, u, v):
        ux, uy = u[0] - at[0], u[1] - at[1]
        vx, vy = v[0] - at[0], v[1] - at[1]
        nu, nv = math.hypot(ux, uy), math.hypot(vx, vy)
        if nu == 0 or nv == 0:
            return 0.0
        c = max(-1.0, min(1.0, (ux * vx + uy * vy) / (nu * nv)))
        return math.degrees(math.acos(c))

    return min(angle(p, q, r), angle(q, r, p), angle(r, p, q))


def triangles(n, seed=14):
    """n triangles with integer vertices inside the drawing area (y down, as in Zirkula)."""
    rng = Lcg(seed)
    out = []
    while len(out) < n:
        pts = [(MARGIN + rng.below(WIDTH - 2 * MARGIN + 1),
                MARGIN + rng.below(HEIGHT - 2 * MARGIN + 1)) for _ in range(3)]
        if min_angle_deg(*pts) >= MIN_ANGLE_DEG:
            out.append(pts)
    return out


# One triangle's statements, the same in both Zirkula forms.
ZIR_TRIANGLE = """IPOINT A, {0}, {1}
IPOINT B, {2}, {3}
IPOINT C, {4}, {5}
MARKPOINT A
MARKPOINT B
MARKPOINT C
c = LINE A, B
a = LINE B, C
b = LINE C, A
m1 = IMIDLINE A, B
m2 = IMIDLINE B, C
M = CROSS m1, m2
k = CIRCLE M, A
"""

# The same in Eukleides: y grows upwards there, so y is mirrored; the box maps one unit to one
# PostScript point, the picture is 640 x 460 points like Zirkula's drawing area in pixels.
EUK_TRIANGLE = """A = point({0}, {1})
B = point({2}, {3})
C = point({4}, {5})
draw A plus, 1.41
draw B plus, 1.41
draw C plus, 1.41
label A 90 deg
label B 90 deg
label C 90 deg
draw A.B
draw B.C
draw C.A
m1 = bisector(A.B)
m2 = bisector(B.C)
M = intersection(m1, m2)
draw M plus, 1.41
draw circle(M, distance(M, A))
"""


def write_zirkula(path, tris, form):
    with open(path, "w", encoding="ascii") as f:
        f.write("' peer_bench: %d triangles, form %s\n" % (len(tris), form))
        f.write("SPEED 1\n")
        if form == "fast":
            f.write("CONSTRUCT Dreiecke FAST\nEND\nCONSTRUCTION Dreiecke\n")
        for (p, q, r) in tris:
            f.write(ZIR_TRIANGLE.format(p[0], p[1], q[0], q[1], r[0], r[1]))
        f.write("REPEAT\n" if form == "fast" else "END\n")


def write_eukleides(path, tris):
    with open(path, "w", encoding="ascii") as f:
        f.write("% peer_bench: {} triangles\n".format(len(tris)))
        f.write("box 0, 0, {}, {}, 0.0352778\n".format(WIDTH, HEIGHT))
        for (p, q, r) in tris:
            f.write(EUK_TRIANGLE.format(p[0], HEIGHT - p[1], q[0], HEIGHT - q[1],
                                        r[0], HEIGHT - r[1]))


def timed(cmd, cwd):
    """Wall-clock and CPU seconds (user + system) of one process from start to exit."""
    with tempfile.TemporaryFile() as out:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.STDOUT)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            out.seek(0)
            sys.exit("peer_bench: %s failed (%d):\n%s" % (" ".join(cmd), proc.returncode,
                                                          out.read().decode(errors="replace")))
    return Timing(wall, usage.ru_utime + usage.ru_stime)


class Timing:
    """The best wall and the best CPU time seen over the repetitions."""

    def __init__(self, wall=math.inf, cpu=math.inf):
        self.wall, self.cpu = wall, cpu

    def keep_best(self, other):
        self.wall, self.cpu = min(self.wall, other.wall), min(self.cpu, other.cpu)


def zirkula_cmd(args, script, picture, dump, option="--png"):
    cmd = [args.zirkula, "--headless", option, picture, "--dump", dump]
    if args.max_statements:
        cmd += ["--max-statements", str(args.max_statements)]
    return cmd + [script]


def run_zirkula(args, work, script, png, svg=None):
    """The best timing of the run writing png, and with svg also of the run writing svg
    instead; the two take turns, so that a change of load hits both alike."""
    dump = os.path.join(work, "run.json")
    pictures = [("--png", png)] + ([("--svg", svg)] if svg else [])
    best = [Timing() for _ in pictures]
    for _ in range(args.repeat):
        for (option, picture), b in zip(pictures, best):
            b.keep_best(timed(zirkula_cmd(args, script, picture, dump, option), work))
            with open(dump, encoding="utf-8") as f:
                result = json.load(f)["result"]
            if result != 255:
                sys.exit("peer_bench: %s did not reach END (result %d); raise --max-statements?"
                         % (script, result))
            if not os.path.getsize(picture):
                sys.exit("peer_bench: %s wrote no picture" % script)
    return best if svg else best[0]


def run_eukleides(args, work, script, eps):
    best = Timing()
    for _ in range(args.repeat):
        best.keep_best(timed([args.eukleides, "-b", "--output=" + eps, script], work))
        if not os.path.getsize(eps):
            sys.exit("peer_bench: %s wrote no EPS" % script)
    return best


def pictures(args, outdir, n):
    """Both pictures of a small job side by side, to see that they show the same figure."""
    os.makedirs(outdir, exist_ok=True)
    tris = triangles(n)
    for form in ("main", "fast"):
        script = os.path.join(outdir, "peer-%d-%s.zir" % (n, form))
        write_zirkula(script, tris, form)
        subprocess.run(zirkula_cmd(args, script, script[:-4] + ".png", script[:-4] + ".json"),
                       check=True, stdout=subprocess.DEVNULL)
    euk = os.path.join(outdir, "peer-%d.euk" % n)
    write_eukleides(euk, tris)
    subprocess.run([args.eukleides, "-b", "--output=" + euk[:-4] + ".eps", euk], check=True)
    subprocess.run(["gs", "-q", "-dSAFER", "-dBATCH", "-dNOPAUSE", "-dEPSCrop", "-r72",
                    "-sDEVICE=png16m", "-sOutputFile=" + euk[:-4] + ".png", euk[:-4] + ".eps"],
                   check=True)
    print("pictures of %d triangles in %s (peer-%d-main.png, peer-%d-fast.png, peer-%d.png)"
          % (n, outdir, n, n, n))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zirkula", default=os.path.join(here, "..", "build", "bench",
                                                          "zirkula"))
    parser.add_argument("--eukleides", default="eukleides")
    parser.add_argument("--sizes", default="1000,10000,50000")
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--max-statements", type=int, default=0,
                        help="passed to zirkula; the default budget covers 50,000 triangles")
    parser.add_argument("--pictures", metavar="DIR",
                        help="also write the pictures of a small job to DIR")
    parser.add_argument("--pictures-n", type=int, default=6)
    parser.add_argument("--work", metavar="DIR", help="keep the scripts and outputs here")
    parser.add_argument("--svg", action="store_true",
                        help="also time Zirkula writing --svg instead of --png")
    # bench.sh hands its arguments to every benchmark; those meant for the others are ignored.
    args, _ = parser.parse_known_args()

    if shutil.which(args.eukleides) is None:
        sys.exit("peer_bench: eukleides is not installed (tools/deps.sh bench)")
    args.zirkula = os.path.abspath(args.zirkula)
    sizes = [int(s) for s in args.sizes.split(",") if s]

    work = args.work or tempfile.mkdtemp(prefix="peer_bench.")
    os.makedirs(work, exist_ok=True)
    if args.pictures:
        pictures(args, args.pictures, args.pictures_n)

    print("peer_bench: N triangles, seconds per whole process, best of %d" % args.repeat)
    print("%8s %5s %12s %12s %12s %10s %10s" % ("N", "", "eukleides", "zirkula main",
                                                "zirkula fast", "euk/main", "euk/fast"))
    rows = []
    svg_rows = []
    for n in sizes:
        tris = triangles(n)
        euk = os.path.join(work, "peer-%d.euk" % n)
        write_eukleides(euk, tris)
        e = run_eukleides(args, work, euk, os.path.join(work, "peer-%d.eps" % n))
        z = {}
        for form in ("main", "fast"):
            script = os.path.join(work, "peer-%d-%s.zir" % (n, form))
            write_zirkula(script, tris, form)
            if args.svg:
                svg = script[:-4] + ".svg"
                z[form], s = run_zirkula(args, work, script, script[:-4] + ".png", svg)
                svg_rows.append((n, form, z[form], s, os.path.getsize(svg)))
            else:
                z[form] = run_zirkula(args, work, script, script[:-4] + ".png")
        rows.append((n, e, z["main"], z["fast"]))
        for kind in ("wall", "cpu"):
            te, tm, tf = (getattr(t, kind) for t in (e, z["main"], z["fast"]))
            print("%8s %5s %12.3f %12.3f %12.3f %9.2fx %9.2fx"
                  % (n if kind == "wall" else "", kind, te, tm, tf, te / tm, te / tf), flush=True)

    # Linear growth keeps the time per triangle constant; the factor compares it with the
    # smallest size.
    if len(rows) > 1:
        print("wall ms per 1000 triangles (x: against N=%d)" % rows[0][0])
        base = rows[0]
        for row in rows:
            per = [1e6 * t.wall / row[0] for t in row[1:]]
            grow = [p / (1e6 * b.wall / base[0]) for p, b in zip(per, base[1:])]
            print("%8d %5s %12.1f %12.1f %12.1f   (x%.2f, x%.2f, x%.2f)"
                  % (row[0], "", per[0], per[1], per[2], grow[0], grow[1], grow[2]))
    if svg_rows:
        print("zirkula --svg instead of --png, seconds per whole process, best of %d"
              % args.repeat)
        print("%8s %5s %10s %10s %8s %10s %10s %8s %12s" % ("N", "form", "png wall", "svg wall",
                                                            "svg/png", "png cpu", "svg cpu",
                                                            "svg/png", "svg bytes"))
        for n, form, p, s, size in svg_rows:
            print("%8d %5s %10.3f %10.3f %7.2fx %10.3f %10.3f %7.2fx %12d"
                  % (n, form, p.wall, s.wall, s.wall / p.wall, p.cpu, s.cpu, s.cpu / p.cpu, size))
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
