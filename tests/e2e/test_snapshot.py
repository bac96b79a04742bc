"""gloamery-snapshot from the command line, with no display server at all."""

import os
import struct
import subprocess
import tempfile
import unittest

from xharness import binary

SNAPSHOT = binary("gloamery-snapshot")
OUT = object()  # stands for the test's own output path


def run(*args):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
    return subprocess.run([SNAPSHOT, *args], env=env, capture_output=True, text=True, timeout=120)


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

    def test_bad_arguments_print_the_usage_and_fail(self):
        cases = [
            ((), "all needed"),
            (("--time", "6", "--size", "64x36"), "all needed"),
            (("--time", "later", "--size", "64x36", "--out", OUT), "--time"),
            (("--time", "6", "--size", "64by36", "--out", OUT), "--size"),
            (("--time", "6", "--size", "0x36", "--out", OUT), "--size"),
            (("--time", "6", "--size", "64x36", "--out"), "needs a value"),
            (("--time", "6", "--size", "64x36", "--out", OUT, "--fast"), "unknown argument"),
        ]
        for args, mentioned in cases:
            args = tuple(self.out if a is OUT else a for a in args)
            with self.subTest(args=args):
                result = run(*args)
                self.assertEqual(result.returncode, 2)
                self.assertIn(mentioned, result.stderr)
                self.assertIn("usage: gloamery-snapshot --time SECONDS --size WIDTHxHEIGHT --out FILE.png",
                              result.stderr)
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


if __name__ == "__main__":
    unittest.main()
