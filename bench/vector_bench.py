#!/usr/bin/env python3
"""Times vector output against the PNG, and runs without vector output against a baseline build.

Two measurements, each of whole processes (wall clock and CPU, user + system, the best of
--repeat runs; the runs of one script take turns, so that a change of load hits all alike):

  gallery  every script of examples/gallery/ (with its .input as --input when it has one),
           run --headless with --png and with --svg by this build; the goal is an SVG run of
           at most 1.5 times the PNG run, per script and in total. With --baseline also
           --png by the baseline build: a run without a vector option should be no slower
           than before the display list existed (it is recorded only for vector output).
  start-up with --baseline: zirkula --version of both builds, what loading and ending the
           program costs in every run.
  peer     with --baseline: the job of peer_bench.py (N triangles with labels, sides,
           bisectors and circumcircle), as a main program and as a CONSTRUCTION called FAST,
           --png by this build and by the baseline.

Without --baseline only the first comparison is made. The baseline is any older zirkula
executable that knows --headless, --png and --dump (the peer job checks that its run reached
END, as peer_bench.py does).

Usage: vector_bench.py --zirkula PATH [--baseline PATH] [--repeat 10] [--peer-sizes 10000]
                       [--peer-repeat 5] [--gallery DIR] [--work DIR]
Run by ./bench.sh through build/bench/bench/vector_bench (the baseline from the CMake
variable ZIR_BENCH_BASELINE, when set).
"""

import argparse
import glob
import json
import os
import shutil
import sys
import tempfile

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import peer_bench  # noqa: E402  (the job's generator and the process timing)

SVG_GOAL = 1.5      # an SVG run takes at most this times the PNG run
BASELINE_GOAL = 1.0  # a run without vector output takes at most this times the baseline's


def gallery_command(zirkula, script, option, picture):
    cmd = [zirkula, "--headless", option, picture]
    extra = script[:-4] + ".input"
    if os.path.exists(extra):
        cmd += ["--input", extra]
    return cmd + [script]


def best_of(runs, repeat, work):
    """runs: name -> (command, picture). Each command once per round, for repeat rounds; the
    best timing of each."""
    best = {name: peer_bench.Timing() for name in runs}
    for _ in range(repeat):
        for name, (cmd, picture) in runs.items():
            best[name].keep_best(peer_bench.timed(cmd, work))
            if not os.path.getsize(picture):
                sys.exit("vector_bench: %s wrote no picture" % " ".join(cmd))
    return best


def verdict(ok):
    return "met" if ok else "MISSED"


def gallery(args, work):
    scripts = sorted(glob.glob(os.path.join(args.gallery, "*.zir")))
    if not scripts:
        sys.exit("vector_bench: no scripts in %s" % args.gallery)
    print("vector_bench: gallery, ms per whole process, best of %d (wall; cpu in brackets)"
          % args.repeat)
    head = "%-20s %14s %14s %7s" % ("script", "png", "svg", "svg/png")
    if args.baseline:
        head += " %14s %7s" % ("baseline png", "png/base")
    print(head + " %10s" % "svg bytes")
    totals = {"png": peer_bench.Timing(0, 0), "svg": peer_bench.Timing(0, 0),
              "base": peer_bench.Timing(0, 0)}
    worst = (0.0, "")
    for script in scripts:
        name = os.path.basename(script)[:-4]
        png, svg = os.path.join(work, name + ".png"), os.path.join(work, name + ".svg")
        runs = {"png": (gallery_command(args.zirkula, script, "--png", png), png),
                "svg": (gallery_command(args.zirkula, script, "--svg", svg), svg)}
        if args.baseline:
            base = os.path.join(work, name + "-base.png")
            runs["base"] = (gallery_command(args.baseline, script, "--png", base), base)
        best = best_of(runs, args.repeat, work)
        for key, t in best.items():
            totals[key].wall += t.wall
            totals[key].cpu += t.cpu
        ratio = best["svg"].wall / best["png"].wall
        worst = max(worst, (ratio, name))
        line = "%-20s %6.1f (%5.1f) %6.1f (%5.1f) %6.2fx" % (
            name, 1e3 * best["png"].wall, 1e3 * best["png"].cpu, 1e3 * best["svg"].wall,
            1e3 * best["svg"].cpu, ratio)
        if args.baseline:
            line += " %6.1f (%5.1f) %6.2fx" % (1e3 * best["base"].wall, 1e3 * best["base"].cpu,
                                               best["png"].wall / best["base"].wall)
        print(line + " %10d" % os.path.getsize(svg), flush=True)
    p, s, b = totals["png"], totals["svg"], totals["base"]
    line = "%-20s %6.0f (%5.0f) %6.0f (%5.0f) %6.2fx" % (
        "all %d" % len(scripts), 1e3 * p.wall, 1e3 * p.cpu, 1e3 * s.wall, 1e3 * s.cpu,
        s.wall / p.wall)
    if args.baseline:
        line += " %6.0f (%5.0f) %6.2fx" % (1e3 * b.wall, 1e3 * b.cpu, p.wall / b.wall)
    print(line)
    print("goal svg <= %.1f x png: %s in total (%.2fx), %s per script (largest %.2fx, %s)"
          % (SVG_GOAL, verdict(s.wall / p.wall <= SVG_GOAL), s.wall / p.wall,
             verdict(worst[0] <= SVG_GOAL), worst[0], worst[1]))
    if args.baseline:
        print("goal png no slower than the baseline: %.2fx of its wall time, %.2fx of its cpu "
              "in total (%s within the noise of --tolerance %.0f%%)"
              % (p.wall / b.wall, p.cpu / b.cpu,
                 verdict(p.wall / b.wall <= BASELINE_GOAL + args.tolerance),
                 100 * args.tolerance))


def startup(args, work):
    """zirkula --version of both builds: start-up and exit alone, the loader's share of a run."""
    out = os.path.join(work, "version.txt")
    runs = {}
    for key, exe in (("base", args.baseline), ("png", args.zirkula)):
        with open(out, "w", encoding="ascii") as f:
            f.write("-")  # best_of wants a non-empty output; --version writes to stdout
        runs[key] = ([exe, "--version"], out)
    best = best_of(runs, 2 * args.repeat, work)
    b, p = best["base"], best["png"]
    print("vector_bench: start-up (--version), ms, best of %d: baseline %.1f (%.1f), this "
          "build %.1f (%.1f), %.2fx" % (2 * args.repeat, 1e3 * b.wall, 1e3 * b.cpu,
                                        1e3 * p.wall, 1e3 * p.cpu, p.wall / b.wall))


def peer(args, work):
    print("vector_bench: peer job, seconds per whole process, best of %d" % args.peer_repeat)
    print("%8s %5s %14s %14s %9s %9s" % ("N", "form", "baseline png", "png", "wall", "cpu"))
    for n in [int(s) for s in args.peer_sizes.split(",") if s]:
        tris = peer_bench.triangles(n)
        for form in ("main", "fast"):
            script = os.path.join(work, "peer-%d-%s.zir" % (n, form))
            peer_bench.write_zirkula(script, tris, form)
            runs = {}
            for key, exe in (("base", args.baseline), ("png", args.zirkula)):
                png = script[:-4] + "-" + key + ".png"
                dump = script[:-4] + "-" + key + ".json"
                runs[key] = ([exe, "--headless", "--png", png, "--dump", dump, script], png)
            best = best_of(runs, args.peer_repeat, work)
            for key, (cmd, _) in runs.items():
                with open(cmd[5], encoding="utf-8") as f:
                    if json.load(f)["result"] != 255:
                        sys.exit("vector_bench: %s did not reach END" % " ".join(cmd))
            b, p = best["base"], best["png"]
            print("%8d %5s %6.3f (%5.3f) %6.3f (%5.3f) %8.2fx %8.2fx"
                  % (n, form, b.wall, b.cpu, p.wall, p.cpu, p.wall / b.wall, p.cpu / b.cpu),
                  flush=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--zirkula", default=os.path.join(here, "..", "build", "bench",
                                                          "zirkula"))
    parser.add_argument("--baseline", default="",
                        help="a zirkula executable to compare runs without vector output with")
    parser.add_argument("--gallery", default=os.path.join(here, "..", "examples", "gallery"))
    parser.add_argument("--repeat", type=int, default=10, help="runs of each gallery script")
    parser.add_argument("--peer-sizes", default="10000")
    parser.add_argument("--peer-repeat", type=int, default=5)
    parser.add_argument("--tolerance", type=float, default=0.05,
                        help="how much slower than the baseline still counts as no slower")
    parser.add_argument("--work", metavar="DIR", help="keep the pictures and scripts here")
    # bench.sh hands its arguments to every benchmark; those meant for the others are ignored.
    args, _ = parser.parse_known_args()
    args.zirkula = os.path.abspath(args.zirkula)
    args.gallery = os.path.abspath(args.gallery)  # the runs start in the work directory
    if args.baseline:
        args.baseline = os.path.abspath(args.baseline)

    work = args.work or tempfile.mkdtemp(prefix="vector_bench.")
    os.makedirs(work, exist_ok=True)
    gallery(args, work)
    if args.baseline:
        startup(args, work)
        peer(args, work)
    else:
        print("vector_bench: no --baseline, so no comparison of runs without vector output")
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
