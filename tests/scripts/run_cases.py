#!/usr/bin/env python3
"""Runs every script of a directory with the real `zirkula --headless` and checks what its
comment lines expect. A case is a .zir script; its lines that begin with "#" are comments to
the program and directives to this runner:

  # input: <event>                  a line of the viewer input file (--input)
  # input: <ms> <event> (<n> times, <d> ms apart)   the event n times, d ms apart
  # stdin: <text>                   a line of standard input
  # expect result <n>               the run result in the dump (without it: 0 or 255, a
                                    run that compiled and ended normally)
  # expect exit <n>                 the process exit code (0 unless said)
  # expect time_ms <ms> [+-<tol>]    the clock when the engine returned
  # expect screen <w> <h> | none
  # expect point|line|circle <name> <field>=<value> ...   an object of the dump
  # expect pixel <x> <y> <rrggbb>   the screen when the run ended (--png)
  # expect at <ms> pixel <x> <y> <rrggbb>   the picture shown at that virtual time (--frames)
  # expect frame-times +-<tol> <ms> ...      the times of all frames shown
  # expect stdout <text>            printed text contains this
  # expect no stdout <text>         printed text does not contain this
  # expect warning <line> <text>    `zirkula --check` warns at that line with a text that
                                    contains this. A case's warnings are exactly those it
                                    expects (none without this directive); they leave the
                                    exit code of --check alone, and the run prints the same
                                    lines on standard error.

Every case runs twice, once recording its frames and once not: nobody sees the pictures of a
headless run that records none, so it may show them late, but its last picture and its dump
must be exactly those of the run that records them all.

Usage: run_cases.py ZIRKULA CASES_DIR WORK_DIR [NAME_FILTER]
"""
import functools
import json
import math
import os
import re
import shutil
import subprocess
import sys


def parse_value(text):
    if text in ("true", "false"):
        return text == "true"
    if text == "null":
        return None
    try:
        return int(text, 0)
    except ValueError:
        return float(text)


def same(expected, got):
    if isinstance(expected, bool) or expected is None or isinstance(got, bool):
        return expected == got
    if isinstance(expected, (int, float)) and isinstance(got, (int, float)):
        return math.isclose(expected, got, rel_tol=1e-12, abs_tol=1e-9)
    return expected == got


class Picture:
    """A PNG file's pixels, read through ImageMagick's PPM output."""

    def __init__(self, path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                             check=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", ppm)
        self.width, self.data = int(header.group(1)), ppm[header.end():]

    def pixel(self, x, y):
        """The colour at (x, y) as "rrggbb"."""
        at = 3 * (y * self.width + x)
        return self.data[at:at + 3].hex()


@functools.lru_cache(maxsize=None)
def read_picture(path):
    """Each picture is read once, however many of its pixels a case expects."""
    return Picture(path)


class Case:
    def __init__(self, path):
        self.path = path
        self.name = os.path.splitext(os.path.basename(path))[0]
        self.inputs, self.stdin, self.expects, self.warnings = [], [], [], []
        with open(path, "rb") as f:
            data = f.read()
        try:
            text = data.decode("utf-8")
        except UnicodeDecodeError:
            text = data.decode("latin-1")
        for line in text.splitlines():
            line = line.strip()
            if line.startswith("# input:"):
                event = line[len("# input:"):].strip()
                repeat = re.fullmatch(r"(\d+) (.*) \((\d+) times, (\d+) ms apart\)", event)
                if repeat:
                    ms, what, n, apart = repeat.groups()
                    self.inputs += [f"{int(ms) + k * int(apart)} {what}" for k in range(int(n))]
                else:
                    self.inputs.append(event)
            elif line.startswith("# stdin:"):
                self.stdin.append(line[len("# stdin:"):].strip())
            elif line.startswith("# expect warning "):
                number, text = line[len("# expect warning "):].split(None, 1)
                self.warnings.append((int(number), text))
            elif line.startswith("# expect "):
                self.expects.append(line[len("# expect "):].split())

    def wants_frames(self):
        return any(e[0] in ("at", "frame-times") for e in self.expects)


def frame_at(frames_dir, ms):
    with open(os.path.join(frames_dir, "frames.tsv")) as f:
        rows = [line.split() for line in f.read().splitlines()[1:]]
    shown = [int(n) for n, t in rows if float(t) <= ms]
    if not shown:
        raise AssertionError(f"no frame shown by {ms} ms")
    return read_picture(os.path.join(frames_dir, "frame-%05d.png" % shown[-1]))


def check_warnings(case, zirkula, script, run, env):
    """The warnings of --check against the case's expectations, and those the run printed."""
    checked = subprocess.run([zirkula, "--check", script], capture_output=True, env=env,
                             timeout=120)
    marker = ": Warnung: "
    printed = [l for l in checked.stdout.decode("utf-8", "replace").splitlines() if marker in l]
    failures = []
    left = [(int(l.split(marker, 1)[0].rsplit(":", 1)[1]), l.split(marker, 1)[1])
            for l in printed]
    for number, text in case.warnings:
        match = next((w for w in left if w[0] == number and text in w[1]), None)
        if match:
            left.remove(match)
        else:
            failures.append(f"no warning at line {number} with {text!r}")
    failures += [f"unexpected warning at line {n}: {t}" for n, t in left]
    errors = any(": Fehler " in l for l in checked.stdout.decode("utf-8", "replace").splitlines())
    if checked.returncode != (1 if errors else 0):
        failures.append(f"--check ended with {checked.returncode}")
    shown = [l for l in run.stderr.decode("utf-8", "replace").splitlines() if marker in l]
    if shown != printed:
        failures.append(f"the run printed other warnings: {shown}")
    return failures


def check(case, zirkula, work):
    out = os.path.join(work, case.name)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    # A copy, so that a case that does not compile leaves its report beside the copy.
    script = shutil.copy(case.path, out)
    args = [zirkula, "--headless", "--dump", os.path.join(out, "dump.json"),
            "--png", os.path.join(out, "end.png")]
    if case.inputs:
        with open(os.path.join(out, "input.txt"), "w") as f:
            f.write("\n".join(case.inputs) + "\n")
        args += ["--input", os.path.join(out, "input.txt")]
    frames = os.path.join(out, "frames")
    if case.wants_frames():
        args += ["--frames", frames]
    env = dict(os.environ, LC_ALL="C.UTF-8")
    stdin = "".join(line + "\n" for line in case.stdin).encode()
    run = subprocess.run(args + [script], input=stdin, capture_output=True, env=env,
                         timeout=120)
    twin = os.path.join(out, "twin")
    os.makedirs(twin)
    twin_args = [a.replace(os.path.join(out, "end.png"), os.path.join(twin, "end.png"))
                 .replace(os.path.join(out, "dump.json"), os.path.join(twin, "dump.json"))
                 for a in args]
    if case.wants_frames():
        at = twin_args.index("--frames")
        del twin_args[at:at + 2]
    else:
        twin_args += ["--frames", os.path.join(twin, "frames")]
    subprocess.run(twin_args + [script], input=stdin, capture_output=True, env=env,
                   timeout=120)
    stdout = run.stdout.decode("utf-8", "replace")
    failures = check_warnings(case, zirkula, script, run, env)
    expected_exit = 0
    with open(os.path.join(out, "dump.json"), encoding="utf-8") as f:
        dump = json.load(f)
    for e in case.expects:
        what = " ".join(e)
        try:
            if e[0] == "result":
                assert dump["result"] == int(e[1]), f"result {dump['result']}"
            elif e[0] == "exit":
                expected_exit = int(e[1])
            elif e[0] == "time_ms":
                tol = float(e[2].removeprefix("+-")) if len(e) > 2 else 0.0
                assert abs(dump["time_ms"] - float(e[1])) <= tol, f"time_ms {dump['time_ms']}"
            elif e[0] == "screen":
                got = dump["screen"]
                want = None if e[1] == "none" else {"width": int(e[1]), "height": int(e[2])}
                assert got == want, f"screen {got}"
            elif e[0] in ("point", "line", "circle"):
                objects = [o for o in dump[e[0] + "s"] if o["name"] == e[1]]
                assert objects, f"no {e[0]} named {e[1]}"
                for pair in e[2:]:
                    field, value = pair.split("=", 1)
                    got = objects[0][field]
                    assert same(parse_value(value), got), f"{e[1]}.{field} is {got}"
            elif e[0] == "pixel":
                got = read_picture(os.path.join(out, "end.png")).pixel(int(e[1]), int(e[2]))
                assert got == e[3].lower(), f"pixel is {got}"
            elif e[0] == "at":
                picture = frame_at(frames, float(e[1]))
                got = picture.pixel(int(e[3]), int(e[4]))
                assert got == e[5].lower(), f"pixel is {got}"
            elif e[0] == "frame-times":
                tol = float(e[1].removeprefix("+-"))
                with open(os.path.join(frames, "frames.tsv")) as f:
                    times = [float(l.split()[1]) for l in f.read().splitlines()[1:]]
                want = [float(t) for t in e[2:]]
                assert len(times) == len(want) and all(
                    abs(a - b) <= tol for a, b in zip(times, want)), f"frames at {times}"
            elif e[0] == "stdout":
                assert " ".join(e[1:]) in stdout, f"stdout is {stdout!r}"
            elif e[:2] == ["no", "stdout"]:
                assert " ".join(e[2:]) not in stdout, f"stdout is {stdout!r}"
            else:
                raise AssertionError("unknown directive")
        except (AssertionError, KeyError, IndexError, ValueError, OSError) as problem:
            failures.append(f"expect {what}: {problem}")
    for name in ("end.png", "dump.json"):
        here, there = os.path.join(out, name), os.path.join(twin, name)
        if os.path.exists(here) != os.path.exists(there) or (
                os.path.exists(here) and open(here, "rb").read() != open(there, "rb").read()):
            failures.append(f"{name} differs when frames are {'not ' if case.wants_frames() else ''}"
                            "recorded")
    if not any(e[0] == "result" for e in case.expects) and dump["result"] not in (0, 255):
        failures.append(f"result {dump['result']}, errors {dump['errors']}")
    if run.returncode != expected_exit:
        failures.append(f"exit code {run.returncode}: {run.stderr.decode(errors='replace')}")
    return failures


def main():
    zirkula, cases_dir, work = (os.path.abspath(a) for a in sys.argv[1:4])
    only = sys.argv[4] if len(sys.argv) > 4 else ""
    os.makedirs(work, exist_ok=True)
    passed = failed = 0
    for name in sorted(os.listdir(cases_dir)):
        if not name.endswith(".zir") or only not in name:
            continue
        case = Case(os.path.join(cases_dir, name))
        failures = check(case, zirkula, work)
        if failures:
            failed += 1
            print(f"FAIL {name}")
            for f in failures:
                print(f"     {f}")
        else:
            passed += 1
            print(f"ok   {name}")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())
