"""The real program asked for its usage and version, as every command-line
program is, and given options it does not know."""

import os
import re
import subprocess
import unittest

from xharness import PATIENCE, XServer, binary, clean_env, stderr_text, stop, unused_display, wait_for_exit

GLOAMERY = binary("gloamery")
TITLE = "Gloamery 3D Screensaver"
SOURCE_DIR = os.path.join(os.path.dirname(__file__), "..", "..")


def project_version():
    with open(os.path.join(SOURCE_DIR, "CMakeLists.txt")) as f:
        return re.search(r"project\(Gloamery VERSION ([0-9.]+)", f.read()).group(1)


def run(*args, stdout=subprocess.PIPE):
    # No X server answers this display: text requests must never reach for one.
    return subprocess.run([GLOAMERY, *args], env=clean_env(DISPLAY=unused_display()), stdin=subprocess.DEVNULL,
                          stdout=stdout, stderr=subprocess.PIPE, timeout=PATIENCE)


class TextRequests(unittest.TestCase):
    def test_help_prints_every_start_and_ends_with_zero(self):
        for spelling in ("--help", "-help"):
            result = run(spelling)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, b"")
            usage = result.stdout.decode()
            self.assertTrue(usage.startswith("Usage: gloamery"), usage)
            for start in ("/s", "/p WINDOW", "/c", "--root", "--window-id ID", "--help", "--version"):
                self.assertIn(start, usage)

    def test_version_prints_the_projects_release_and_ends_with_zero(self):
        result = run("--version")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stderr, b"")
        self.assertEqual(result.stdout.decode(), "gloamery %s\n" % project_version())

    def test_either_wins_over_a_start_beside_it(self):
        self.assertEqual(run("/s", "--version").stdout.decode(), "gloamery %s\n" % project_version())
        result = run("--root", "--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"Usage:", result.stdout)

    def test_output_that_cannot_be_written_ends_with_one(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full here")
        with open("/dev/full", "wb") as full:
            for request in ("--help", "--version"):
                self.assertEqual(run(request, stdout=full).returncode, 1, request)


class UnknownOptions(unittest.TestCase):
    def test_an_option_it_does_not_know_starts_the_guarded_full_screen_run(self):
        with XServer(128, 72) as server:
            process = server.start(GLOAMERY, "--hepl")
            try:
                windows = server.wait_for_window(TITLE, process)
                self.assertEqual(server.geometry(windows[0]), (0, 0, 128, 72))
                # The guard holds: a second start beside it gives way at once.
                second = server.start(GLOAMERY, "--colour")
                try:
                    self.assertEqual(wait_for_exit(second, PATIENCE), 0, stderr_text(second))
                finally:
                    stop(second)
                server.xdotool("key", "a")
                self.assertEqual(wait_for_exit(process, PATIENCE), 0, stderr_text(process))
            finally:
                stop(process)


if __name__ == "__main__":
    unittest.main()
