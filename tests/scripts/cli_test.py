#!/usr/bin/env python3
"""The real zirkula program from the outside: exit codes, messages, the report file beside
the script, the console prompt, the viewer input file, the dump and the GIF.

Usage: cli_test.py ZIRKULA WORK_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import unittest

ZIRKULA = WORK = ""
PROMPT = "Wähle ein Zirkula-Programm zum Ausführen:\n"


def run(*args, stdin="", cwd=None, env=None):
    env = {**os.environ, **(env or {}), "LC_ALL": "C.UTF-8"}
    return subprocess.run([ZIRKULA, *args], input=stdin.encode(), capture_output=True,
                          env={k: v for k, v in env.items() if v is not None}, cwd=cwd or WORK,
                          timeout=60)


def write(name, text):
    path = os.path.join(WORK, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)
    return path


class Reports(unittest.TestCase):
    def test_a_good_run_removes_the_old_report_beside_the_script_only(self):
        old = write("kurs/Zir-Fehler.txt", "1 Fehler im 1.Durchgang.\r\n")
        elsewhere = write("Zir-Fehler.txt", "not this one\r\n")
        self.assertEqual(run("--headless", write("kurs/dreieck.zir", "END\n")).returncode, 0)
        self.assertEqual((os.path.exists(old), os.path.exists(elsewhere)), (False, True))
        # A bare file name, or a path typed at the prompt, means the current directory.
        for args, stdin, folder in [(["kreis.zir"], "", "here"), ([], "  '{}'  \n", "prompt dir")]:
            script = write(folder + "/kreis.zir", "END\n")
            old = write(folder + "/Zir-Fehler.txt", "old\r\n")
            result = run("--headless", *args, stdin=stdin.format(script),
                         cwd=os.path.dirname(script))
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertFalse(os.path.exists(old), folder)

    def test_compile_errors_go_to_the_report_the_console_and_check(self):
        script = write("fehler/zwei.zir", "POINT A 1 2\nPOINT B 3 4\nA B\nPOINT C 5 6\n"
                       "POINT D 7 8\nPOINT E 9 9\nPOINT\nEND\n")
        result = run("--headless", script)
        self.assertEqual(result.returncode, 0)
        with open(os.path.join(WORK, "fehler", "Zir-Fehler.txt"), "rb") as f:
            report = f.read().decode("latin-1")
        self.assertEqual(report, "2 Fehler im 1.Durchgang.\r\nFehler 13 in Linie 3\r\n"
                         "        Syntaxfehler: kein Schlüsselwort in der Linie.\r\n"
                         "Fehler 12 in Linie 7\r\n        Zu wenige Argumente\r\n")
        self.assertEqual(result.stdout.decode(), report.replace("\r\n", "\n") +
                         "Fehlerbericht wurde gespeichert in " + os.path.dirname(script) +
                         "/Zir-Fehler.txt\nDrücke die [Enter]-Taste, um weiterzufahren.\n")
        os.remove(os.path.join(WORK, "fehler", "Zir-Fehler.txt"))
        checked = run("--check", script)
        self.assertEqual(checked.returncode, 1)
        self.assertEqual(checked.stdout.decode(),
                         f"{script}:3: Fehler 13: Syntaxfehler: kein Schlüsselwort in der Linie.\n"
                         f"{script}:7: Fehler 12: Zu wenige Argumente\n")
        self.assertFalse(os.path.exists(os.path.join(WORK, "fehler", "Zir-Fehler.txt")))
        # An error only the second pass finds says so in the headline.
        later = run("--headless", write("fehler/spaeter.zir", "CALL Nix\nEND\n"))
        self.assertTrue(later.stdout.decode().startswith("1 Fehler im 2.Durchgang.\n"), later.stdout)
        clean = write("check/gut.zir", "POINT A 1 2\nEND\n")
        self.assertEqual(run("--check", clean).stdout, b"")
        listed = run("--check", "--listing", clean)
        self.assertEqual(listed.returncode, 0)
        self.assertIn(b"POINT", listed.stdout)
        words = run("--keywords")
        self.assertEqual(words.returncode, 0)
        self.assertTrue({"POINT", "IPOINT", "BISECTOR", "END"} <= set(words.stdout.decode().split()))

    def test_warnings_follow_the_errors_and_stay_out_of_the_report(self):
        # The ".5" that begins a comment is why the statement has too few values.
        script = write("warnung/halb.zir", "POINT A, .5, 100\nEND\n")
        warning = (f"{script}:1: Warnung: „.5“ beginnt einen Kommentar, keine Zahl: der Rest "
                   "der Zeile wird übergangen. Schreiben Sie 0.5.")
        checked = run("--check", script)
        self.assertEqual((checked.returncode, checked.stdout.decode().splitlines()),
                         (1, [f"{script}:1: Fehler 12: Zu wenige Argumente", warning]))
        result = run("--headless", script)
        self.assertEqual(result.stderr.decode().splitlines(), [warning])
        with open(os.path.join(WORK, "warnung", "Zir-Fehler.txt"), "rb") as f:
            self.assertEqual(f.read().count(b"\r\n"), 3, "the headline and one error")

    def test_the_dump_after_a_failed_compile_holds_the_errors(self):
        script = write("dumpfail/f.zir", "POINT A 1 2\nA B\nEND\n")
        dump = os.path.join(WORK, "dumpfail", "f.json")
        self.assertEqual(run("--headless", "--dump", dump, script).returncode, 0)
        with open(dump, encoding="utf-8") as f:
            data = json.load(f)
        self.assertEqual(data, {"result": -1, "errors": [{
            "code": 13, "number": 13, "line": 2,
            "message": "Syntaxfehler: kein Schlüsselwort in der Linie."}], "screen": None,
            "time_ms": 0, "points": [], "lines": [], "circles": []})


class ExitCodes(unittest.TestCase):
    def test_a_script_that_cannot_be_read_is_named_with_its_reason_and_ends_with_2(self):
        folder = os.path.join(WORK, "unreadable")
        os.makedirs(os.path.join(folder, "ordner"), exist_ok=True)
        # Each reason's wording is a unit test; here, every way of naming the script.
        cases = [("nichtda.zir", "Datei nicht gefunden"), ("ordner", "ist ein Verzeichnis")]
        for name, reason in cases:
            path = os.path.join(folder, name)
            for args, stdin in [(["--headless", path], ""), (["--check", path], ""),
                                ([path], ""), (["--headless"], path + "\n")]:
                with self.subTest(path=path, args=args):
                    result = run(*args, stdin=stdin, cwd=folder, env={"DISPLAY": ""})
                    self.assertEqual(result.returncode, 2, result)
                    self.assertEqual(result.stderr.decode(),
                                     f"zirkula: {path} kann nicht gelesen werden: {reason}\n")
                    self.assertIn(result.stdout.decode(), ("", PROMPT))
                    self.assertFalse(os.path.exists(os.path.join(folder, "Zir-Fehler.txt")))

    def test_a_cancelled_console_prompt_ends_with_255(self):
        for typed in ["", "\n", "   \n"]:
            result = run("--headless", stdin=typed)
            self.assertEqual((result.returncode, result.stdout.decode()), (255, PROMPT))

    def test_a_wrong_command_line_or_input_file_ends_with_2_and_says_why(self):
        end = write("input/end.zir", "END\n")
        bad = write("input/bad.txt", "# viewer\n100 key r\n150 klick 3 4\n")
        for args, said in [
            (["--fast"], "unknown option '--fast'"),
            (["--headless", "--png"], "--png needs a file or directory name"),
            (["--gif", "a.gif", "a.zir"], "--gif works only with --headless"),
            (["--max-statements", "9", "a.zir"], "--max-statements works only with --headless"),
            (["--headless", "--max-statements", "0"], "a whole number of at least 1"),
            (["--headless", "--max-statements=1e3"], "a whole number of at least 1"),
            (["--listing", "a.zir"], "--listing works only with --check"),
            (["--check"], "--check needs a script"),
            (["--headless", "--input", bad, end], f"{bad}:3: unknown event 'klick'"),
            (["--headless", "--input", "none.txt", end], "none.txt: cannot read the input file"),
            (["--headless", "--frames", "/proc/zirkula-frames", end], "/proc/zirkula-frames"),
        ]:
            result = run(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(said, result.stderr.decode())
        self.assertIn("--headless", run("--help").stdout.decode())
        self.assertRegex(run("--version").stdout.decode(), r"^zirkula \d+\.\d+\.\d+\n$")

    def test_without_a_display_or_the_window_library_exit_3_with_one_line(self):
        # The window library is loaded only for a window: one that cannot be loaded, or is
        # not SDL at all, ends the windowed run with one line; a headless run never needs it.
        # A display no server answers ends it too (SDL would draw nowhere and wait forever).
        script = write("nolib/end.zir", "END\n")
        envs = [{"DISPLAY": None, "WAYLAND_DISPLAY": None},
                {"DISPLAY": ":97", "WAYLAND_DISPLAY": None}]
        for case, target in [("unloadable", None), ("not_sdl", "libzirkula.so")]:
            libdir = os.path.join(WORK, "nolib", case)
            fake = os.path.join(libdir, "libSDL2-2.0.so.0")
            shutil.rmtree(libdir, ignore_errors=True)
            os.makedirs(libdir)
            if target:
                os.symlink(os.path.join(os.path.dirname(os.path.abspath(ZIRKULA)), target), fake)
            else:
                write(fake, "")
            envs.append({"LD_LIBRARY_PATH": libdir, "DISPLAY": ":0"})
        for env in envs:
            with self.subTest(env=env):
                result = run(script, env=env)
                self.assertEqual(result.returncode, 3, result.stderr)
                # SDL's probe of a Wayland display may print a line of its own.
                ours = [l for l in result.stderr.decode().splitlines() if l.startswith("zirkula")]
                self.assertEqual(len(ours), 1, result.stderr)
                self.assertIn("--headless", result.stderr.decode())
                self.assertEqual(run("--headless", script, env=env).returncode, 0)


class Outputs(unittest.TestCase):
    def test_a_paced_run_becomes_a_gif_with_one_frame_per_step_and_its_pauses(self):
        script = write("gif/steps.zir", "SPEED 1000\nPOINT A 100 300\nPOINT B 400 300\n"
                       "C1 = CIRCLE A, B\nL = LINE A, B\nEND\n")
        out = os.path.join(WORK, "gif", "steps.gif")
        self.assertEqual(run("--headless", "--gif", out, script).returncode, 0)
        shown = subprocess.run(["identify", "-format", "%T %W %H\n", out],
                               capture_output=True, check=True).stdout.decode()
        # One picture per step, each shown for its 1 s pause (and the 20 ms sleep steps), the
        # last held for 3 s; the logos are left out.
        self.assertEqual(shown.split("\n"), ["102 640 480"] * 3 + ["300 640 480", ""])

    def test_png_without_a_screen_says_so_and_writes_nothing(self):
        png = os.path.join(WORK, "none.png")
        result = run("--headless", "--png", png, write("nopng.zir", "END\n"))
        self.assertEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(png))
        self.assertIn("no picture written", result.stderr.decode())

    def test_a_picture_runs_as_the_script_it_carries(self):
        gallery = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "gallery")
        script = os.path.join(gallery, "besondere-punkte.zir")
        picture = {k: os.path.join(WORK, "bild." + k) for k in ("png", "svg")}
        args = ["--input", script.replace(".zir", ".input")]
        first = run("--headless", "--png", picture["png"], "--svg", picture["svg"], "--dump",
                    os.path.join(WORK, "d1.json"), *args, script)
        self.assertEqual(first.returncode, 0, first.stderr)
        with open(os.path.join(WORK, "d1.json")) as f:
            want = f.read()
        for kind, path in picture.items():
            again = run("--headless", "--dump", os.path.join(WORK, "d2.json"), *args, path)
            self.assertEqual(again.returncode, 0, again.stderr)
            with open(os.path.join(WORK, "d2.json")) as f:
                self.assertEqual(f.read(), want, kind)
        # A picture without a script, as any other program writes one.
        plain = os.path.join(os.path.dirname(__file__), "..", "approved", "fills_sheet.png")
        for args in (["--headless"], ["--check"]):
            result = run(*args, plain)
            self.assertEqual((result.returncode, result.stderr.decode()),
                             (2, "zirkula: " + plain + " kann nicht gelesen werden: "
                              "das Bild enthält kein Zirkula-Skript\n"))


if __name__ == "__main__":
    ZIRKULA, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
