"""gloamery-snapshot from the command line, with no display server at all."""

import os
import struct
import subprocess
import tempfile
import unittest

from xharness import PATIENCE, binary, clean_env

SNAPSHOT = binary("gloamery-snapshot")


def run(*args, **env):
    return subprocess.run([SNAPSHOT, *args], env=clean_env(**env), stdin=subprocess.DEVNULL, capture_output=True,
                          text=True, timeout=PATIENCE)


def png_header(path):
    """(width, height, bit depth, colour type) from the IHDR chunk."""
    with open(path, "rb") as f:
        data = f.read(33)
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise AssertionError("not a PNG: %r" % data[:16])
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    return width, height, depth, colour


class SnapshotCommandLine(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.out = os.path.join(self.folder.name, "frame.png")

    def test_writes_an_rgba_png_of_the_asked_size_without_a_display(self):
        result = run("--time", "6", "--size", "64x36", "--out", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(png_header(self.out), (64, 36, 8, 6))

    def test_bad_arguments_print_the_problem_and_the_usage_and_fail_with_two(self):
        # Which arguments are bad is the option parser's unit test; this is
        # what the process makes of a refusal.
        result = run("--time", "6", "--size", "64by36", "--out", self.out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("gloamery-snapshot: --size needs WIDTHxHEIGHT", result.stderr)
        self.assertIn("usage: gloamery-snapshot --time SECONDS --size WIDTHxHEIGHT --out FILE.png", result.stderr)
        self.assertEqual(result.stdout, "")
        self.assertFalse(os.path.exists(self.out))

    def test_help_prints_the_usage_and_succeeds(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        self.assertIn("usage: gloamery-snapshot", result.stdout)

    def test_a_file_that_cannot_be_written_is_a_failure(self):
        missing = os.path.join(self.folder.name, "no-such-folder", "frame.png")
        result = run("--time", "6", "--size", "16x16", "--out", missing)
        self.assertEqual(result.returncode, 1)
        self.assertIn(missing, result.stderr)
        self.assertFalse(os.path.exists(missing))

    def test_no_gl_to_render_with_is_a_failure(self):
        # GLVND finds no EGL vendor where its only vendor file is missing.
        nowhere = os.path.join(self.folder.name, "no-vendor.json")
        result = run("--time", "6", "--size", "16x16", "--out", self.out, __EGL_VENDOR_LIBRARY_FILENAMES=nowhere)
        self.assertEqual(result.returncode, 1)
        self.assertIn("gloamery-snapshot: no windowless EGL platform", result.stderr)
        self.assertFalse(os.path.exists(self.out))


if __name__ == "__main__":
    unittest.main()
