#!/usr/bin/env python3
"""The real zirkula program from the outside: exit codes, messages, the report file beside
the script, the console prompt, the viewer input file and the dump.

Usage: cli_test.py ZIRKULA WORK_DIR
"""
import json
import os
import shutil
import subprocess
import sys
import unittest

ZIRKULA = ""
WORK = ""


def run(*args, stdin="", env_drop=(), cwd=None, env=None):
    env = {**{k: v for k, v in os.environ.items() if k not in env_drop}, **(env or {})}
    env["LC_ALL"] = "C.UTF-8"
    return subprocess.run([ZIRKULA, *args], input=stdin.encode(), capture_output=True,
                          env=env, cwd=cwd or WORK, timeout=60)


def write(path, text, mode="w"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as f:
        f.write(text)
    return path


class Gif(unittest.TestCase):
    def test_a_paced_run_becomes_a_gif_with_one_frame_per_step_and_its_pauses(self):
        script = write(os.path.join(WORK, "gif", "steps.zir"),
                       "SPEED 1000\nPOINT A 100 300\nPOINT B 400 300\n"
                       "C1 = CIRCLE A, B\nL = LINE A, B\nEND\n")
        out = os.path.join(WORK, "gif", "steps.gif")
        result = run("--headless", "--gif", out, script)
        self.assertEqual(result.returncode, 0, result.stderr)
        shown = subprocess.run(["identify", "-format", "%T %W %H\n", out],
                               capture_output=True, check=True).stdout.decode().split("\n")
        frames = [line.split() for line in shown if line]
        # One picture per step, each shown for its 1 s pause (and the 20 ms sleep steps), the
        # last held for 3 s; the logos are left out.
        self.assertEqual(len(frames), 4, frames)
        self.assertEqual({(w, h) for _, w, h in frames}, {("640", "480")})
        self.assertEqual([int(t) for t, _, _ in frames[:3]], [102, 102, 102])
        self.assertEqual(int(frames[-1][0]), 300)


class ExitCodes(unittest.TestCase):
    def test_a_run_ends_with_0_and_removes_the_old_report_beside_the_script(self):
        script = write(os.path.join(WORK, "kurs", "dreieck.zir"), "POINT A 1 2\nEND\n")
        old = write(os.path.join(WORK, "kurs", "Zir-Fehler.txt"), "1 Fehler im 1.Durchgang.\r\n")
        elsewhere = write(os.path.join(WORK, "Zir-Fehler.txt"), "not this one\r\n")
        result = run("--headless", script)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(old))
        self.assertTrue(os.path.exists(elsewhere))

    def test_a_script_path_without_directory_puts_the_report_in_the_current_directory(self):
        os.makedirs(os.path.join(WORK, "here"), exist_ok=True)
        write(os.path.join(WORK, "here", "kreis.zir"), "END\n")
        old = write(os.path.join(WORK, "here", "Zir-Fehler.txt"), "old\r\n")
        result = run("--headless", "kreis.zir", cwd=os.path.join(WORK, "here"))
        self.assertEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(old))

    def test_compile_errors_are_reported_beside_the_script_and_the_run_ends_with_0(self):
        script = write(os.path.join(WORK, "fehler", "zwei.zir"),
                       "POINT A 1 2\nPOINT B 3 4\nA B\nPOINT C 5 6\nPOINT D 7 8\n"
                       "POINT E 9 9\nPOINT\nEND\n")
        result = run("--headless", script)
        self.assertEqual(result.returncode, 0)
        with open(os.path.join(WORK, "fehler", "Zir-Fehler.txt"), "rb") as f:
            report = f.read().decode("latin-1").split("\r\n")
        self.assertEqual(report[0], "2 Fehler im 1.Durchgang.")
        self.assertEqual(report[1], "Fehler 13 in Linie 3")
        self.assertEqual(report[3], "Fehler 12 in Linie 7")
        self.assertEqual(len(report), 6, "five lines, each ended by CR LF")
        self.assertEqual(report[-1], "")
        printed = result.stdout.decode().split("\n")
        self.assertEqual(printed[:5], report[:5])
        self.assertEqual(printed[5], "Fehlerbericht wurde gespeichert in "
                         + os.path.join(WORK, "fehler", "Zir-Fehler.txt"))
        self.assertEqual(printed[6], "Drücke die [Enter]-Taste, um weiterzufahren.")
        checked = run("--check", script)
        self.assertEqual(checked.returncode, 1)
        self.assertEqual(checked.stdout.decode().count("\n"), 2)

    def test_check_lists_the_errors_and_ends_with_1(self):
        script = write(os.path.join(WORK, "check", "zwei.zir"), "POINT A 1 2\nA B\nPOINT\nEND\n")
        result = run("--check", script)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout.decode(),
                         f"{script}:2: Fehler 13: Syntaxfehler: kein Schlüsselwort in der Linie.\n"
                         f"{script}:3: Fehler 12: Zu wenige Argumente\n")
        self.assertFalse(os.path.exists(os.path.join(WORK, "check", "Zir-Fehler.txt")))
        clean = write(os.path.join(WORK, "check", "gut.zir"), "POINT A 1 2\nEND\n")
        result = run("--check", clean)
        self.assertEqual((result.returncode, result.stdout), (0, b""))
        listed = run("--check", "--listing", clean)
        self.assertEqual(listed.returncode, 0)
        self.assertIn(b"POINT", listed.stdout)
        self.assertIn(b"END", listed.stdout)

    def test_a_script_that_cannot_be_read_is_named_with_its_reason_and_ends_with_2(self):
        folder = os.path.join(WORK, "unreadable")
        missing = os.path.join(folder, "nichtda.zir")
        directory = os.path.join(folder, "ordner")
        os.makedirs(directory, exist_ok=True)
        locked = write(os.path.join(folder, "gesperrt.zir"), "END\n")
        os.chmod(locked, 0)
        cases = [(missing, [], "Datei nicht gefunden"), (directory, [], "ist ein Verzeichnis")]
        # Root reads a file without read permission, so that case runs as nobody when it can.
        if os.geteuid() != 0:
            cases.append((locked, [], "keine Leserechte"))
        elif shutil.which("setpriv"):
            cases.append((locked, ["setpriv", "--reuid=nobody", "--regid=nogroup",
                                   "--clear-groups"], "keine Leserechte"))
        for path, prefix, reason in cases:
            for args, stdin in [(["--headless", path], ""), (["--check", path], ""),
                                ([path], ""), (["--headless"], path + "\n")]:
                with self.subTest(path=path, args=args):
                    result = subprocess.run(
                        [*prefix, ZIRKULA, *args], input=stdin.encode(), capture_output=True,
                        env={**os.environ, "LC_ALL": "C.UTF-8", "DISPLAY": ""}, cwd=folder,
                        timeout=60)
                    self.assertEqual(result.returncode, 2, result)
                    self.assertEqual(result.stderr.decode(),
                                     f"zirkula: {path} kann nicht gelesen werden: {reason}\n")
                    # Nothing else is printed but the prompt that asked for the path.
                    self.assertNotIn("Fehler", result.stdout.decode())
                    for report in (folder, directory):
                        self.assertFalse(os.path.exists(os.path.join(report, "Zir-Fehler.txt")))

    def test_warnings_follow_the_errors_and_stay_out_of_the_report(self):
        # The ".5" that begins a comment is why the statement has too few values.
        script = write(os.path.join(WORK, "warnung", "halb.zir"), "POINT A, .5, 100\nEND\n")
        warning = (f"{script}:1: Warnung: „.5“ beginnt einen Kommentar, keine Zahl: der Rest "
                   "der Zeile wird übergangen. Schreiben Sie 0.5.")
        checked = run("--check", script)
        self.assertEqual(checked.returncode, 1)
        self.assertEqual(checked.stdout.decode().splitlines(),
                         [f"{script}:1: Fehler 12: Zu wenige Argumente", warning])
        result = run("--headless", script)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr.decode().splitlines(), [warning])
        with open(os.path.join(WORK, "warnung", "Zir-Fehler.txt"), "rb") as f:
            self.assertEqual(f.read().count(b"\r\n"), 3, "the headline and one error")

    def test_a_cancelled_console_prompt_ends_with_255(self):
        for typed in ["", "\n", "   \n"]:
            result = run("--headless", stdin=typed)
            self.assertEqual(result.returncode, 255, repr(typed))
            self.assertEqual(result.stdout.decode(), "Wähle ein Zirkula-Programm zum Ausführen:\n")

    def test_a_path_typed_at_the_prompt_is_run(self):
        script = write(os.path.join(WORK, "prompt dir", "a.zir"), "END\n")
        old = write(os.path.join(WORK, "prompt dir", "Zir-Fehler.txt"), "old\r\n")
        result = run("--headless", stdin=f"  '{script}'  \n")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertFalse(os.path.exists(old))

    def test_a_wrong_command_line_ends_with_2_and_says_why(self):
        for args, said in [
            (["--fast"], "unknown option '--fast'"),
            (["--headless", "--png"], "--png needs a file or directory name"),
            (["--input", "in.txt", "a.zir"], "--input works only with --headless"),
            (["--gif", "a.gif", "a.zir"], "--gif works only with --headless"),
            (["--max-statements", "9", "a.zir"], "--max-statements works only with --headless"),
            (["--headless", "--max-statements", "0"], "a whole number of at least 1"),
            (["--headless", "--max-statements=1e3"], "a whole number of at least 1"),
            (["--listing", "a.zir"], "--listing works only with --check"),
            (["--check"], "--check needs a script"),
        ]:
            result = run(*args)
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(said, result.stderr.decode())
            self.assertIn("zirkula --help", result.stderr.decode())

    def test_without_a_display_the_window_cannot_open_exit_3(self):
        script = write(os.path.join(WORK, "nodisplay.zir"), "END\n")
        result = run(script, env_drop=("DISPLAY", "WAYLAND_DISPLAY"))
        self.assertEqual(result.returncode, 3)
        message = result.stderr.decode()
        self.assertEqual(message.count("\n"), 1, message)
        self.assertIn("--headless", message)

    def test_without_the_window_library_exit_3(self):
        # The window library is loaded only for a window: one that cannot be loaded, or is
        # not SDL at all, ends the windowed run with one line; a headless run never needs it.
        script = write(os.path.join(WORK, "nolib", "end.zir"), "END\n")
        fakes = {"unloadable": None}
        beside = os.path.join(os.path.dirname(os.path.abspath(ZIRKULA)), "libzirkula.so")
        if os.path.exists(beside):
            fakes["not SDL"] = beside
        for case, target in fakes.items():
            with self.subTest(case):
                libdir = os.path.join(WORK, "nolib", case.replace(" ", "_"))
                os.makedirs(libdir, exist_ok=True)
                fake = os.path.join(libdir, "libSDL2-2.0.so.0")
                if os.path.lexists(fake):
                    os.remove(fake)
                if target:
                    os.symlink(target, fake)
                else:
                    write(fake, "")
                env = {"LD_LIBRARY_PATH": libdir, "DISPLAY": ":0"}
                result = run(script, env=env)
                self.assertEqual(result.returncode, 3, result.stderr)
                message = result.stderr.decode()
                self.assertEqual(message.count("\n"), 1, message)
                self.assertIn("window library", message)
                self.assertIn("--headless", message)
                self.assertEqual(run("--headless", script, env=env).returncode, 0)

    def test_help_and_version(self):
        self.assertEqual(run("--help").returncode, 0)
        self.assertIn("--headless", run("--help").stdout.decode())
        self.assertRegex(run("--version").stdout.decode(), r"^zirkula \d+\.\d+\.\d+\n$")


class ViewerInput(unittest.TestCase):
    def test_a_malformed_input_line_is_named_and_ends_with_2(self):
        script = write(os.path.join(WORK, "input.zir"), "END\n")
        bad = write(os.path.join(WORK, "bad-input.txt"), "# viewer\n100 key r\n150 klick 3 4\n")
        result = run("--headless", "--input", bad, script)
        self.assertEqual(result.returncode, 2)
        self.assertIn(f"{bad}:3: unknown event 'klick'", result.stderr.decode())

    def test_a_missing_input_file_ends_with_2(self):
        script = write(os.path.join(WORK, "input.zir"), "END\n")
        result = run("--headless", "--input", os.path.join(WORK, "none.txt"), script)
        self.assertEqual(result.returncode, 2)
        self.assertIn("none.txt: cannot read the input file", result.stderr.decode())

    def test_a_well_formed_input_file_is_accepted(self):
        script = write(os.path.join(WORK, "input.zir"), "END\n")
        good = write(os.path.join(WORK, "good-input.txt"), "100 key Enter\n200 click 5 5\n")
        self.assertEqual(run("--headless", "--input", good, script).returncode, 0)


class Outputs(unittest.TestCase):
    def test_the_dump_is_json_in_the_documented_shape(self):
        script = write(os.path.join(WORK, "dump.zir"), "END\n")
        dump = os.path.join(WORK, "dump.json")
        result = run("--headless", "--dump", dump, script)
        self.assertEqual(result.returncode, 0)
        with open(dump, encoding="utf-8") as f:
            data = json.load(f)
        self.assertEqual(sorted(data), ["circles", "errors", "lines", "points", "result",
                                        "screen", "time_ms"])
        self.assertIn(data["result"], (0, 255, -1))
        self.assertIsInstance(data["points"], list)

    def test_the_dump_after_a_failed_compile_holds_the_errors_with_their_messages(self):
        script = write(os.path.join(WORK, "dumpfail", "f.zir"), "POINT A 1 2\nA B\nEND\n")
        dump = os.path.join(WORK, "dumpfail", "f.json")
        self.assertEqual(run("--headless", "--dump", dump, script).returncode, 0)
        with open(dump, encoding="utf-8") as f:
            data = json.load(f)
        self.assertEqual(data["result"], -1)
        self.assertEqual(data["errors"], [{"code": 13, "number": 13, "line": 2, "message":
                                           "Syntaxfehler: kein Schlüsselwort in der Linie."}])
        self.assertEqual((data["points"], data["screen"], data["time_ms"]), ([], None, 0))

    def test_png_without_a_screen_says_so_and_writes_nothing(self):
        script = write(os.path.join(WORK, "nopng.zir"), "END\n")
        png = os.path.join(WORK, "none.png")
        result = run("--headless", "--png", png, script)
        self.assertEqual(result.returncode, 0)
        self.assertFalse(os.path.exists(png))
        self.assertIn("no picture written", result.stderr.decode())

    def test_an_unwritable_frames_directory_ends_with_2(self):
        script = write(os.path.join(WORK, "frames.zir"), "END\n")
        result = run("--headless", "--frames", "/proc/zirkula-frames", script)
        self.assertEqual(result.returncode, 2)
        self.assertIn("/proc/zirkula-frames", result.stderr.decode())


if __name__ == "__main__":
    ZIRKULA, WORK = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(WORK, exist_ok=True)
    unittest.main(argv=sys.argv[:1], verbosity=2)
