"""gloamery-shader-compare: tells a reworded scene shader from a changed one."""

import os
import subprocess
import tempfile
import unittest

from screen_pixels import Picture
from xharness import PATIENCE, binary, clean_env

COMPARE = binary("gloamery-shader-compare")
SHADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "shaders", "scene.frag")


def run(*args):
    return subprocess.run([COMPARE, *args], env=clean_env(), stdin=subprocess.DEVNULL, capture_output=True, text=True,
                          timeout=PATIENCE)


class ShaderCompare(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        with open(SHADER) as f:
            self.source = f.read()

    def variant(self, name, old, new):
        self.assertIn(old, self.source)
        path = os.path.join(self.folder.name, name)
        with open(path, "w") as f:
            f.write(self.source.replace(old, new, 1))
        return path

    def test_the_same_picture_passes_with_no_pixel_different(self):
        # Reworded: a comment and a name, nothing the compiler sees differently.
        reworded = self.variant("reworded.frag", "float hash(float p) {", "// reworded\nfloat hash(float p) {")
        result = run(SHADER, reworded, "64x36", "1", "6")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertIn("t=  1.00 s: 0 pixels differ, by at most 0", result.stdout)
        self.assertIn("t=  6.00 s: 0 pixels differ, by at most 0", result.stdout)

    def test_a_changed_picture_fails_and_says_where(self):
        denser_fog = self.variant("fog.frag", "kFogDensity = 0.025", "kFogDensity = 0.05")
        result = run(SHADER, denser_fog, "64x36", "6")
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertIn("DIFFERENT", result.stdout)
        line = next(l for l in result.stdout.splitlines() if l.startswith("t=  6.00 s:"))
        pixels = int(line.split(":")[1].split()[0])
        self.assertGreater(pixels, 8, line)

    def test_saved_pictures_mark_exactly_the_pixels_that_differ(self):
        # Denser fog changes only what lies far enough away to be fogged: the
        # marked pixels must be that many, and the pictures the asked size.
        denser_fog = self.variant("fog.frag", "kFogDensity = 0.025", "kFogDensity = 0.05")
        prefix = os.path.join(self.folder.name, "fog")
        result = run(SHADER, denser_fog, "64x36", "--save", prefix, "6")
        line = next(l for l in result.stdout.splitlines() if l.startswith("t=  6.00 s:"))
        pixels = int(line.split(":")[1].split()[0])
        old, new, marks = (Picture(prefix + "-%s-t6.png" % name) for name in ("old", "new", "diff"))
        self.assertEqual({(p.width, p.height) for p in (old, new, marks)}, {(64, 36)})
        differing = sum(1 for y in range(36) for x in range(64) if old.at(x, y) != new.at(x, y))
        marked = sum(1 for r, g, b in marks.samples((0, 0, 64, 36), 1) if r >= 128 + 16 and g == 0 and b == 0)
        self.assertEqual(differing, pixels)
        self.assertEqual(marked, pixels)

    def test_timing_in_turns_reports_both_shaders(self):
        result = run(SHADER, SHADER, "16x9", "--frames", "1", "2")
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertRegex(result.stdout, r"median frame [0-9.]+ ms -> [0-9.]+ ms")

    def test_bad_input_is_refused_with_a_message(self):
        missing = run(SHADER, os.path.join(self.folder.name, "absent.frag"))
        self.assertEqual(missing.returncode, 2)
        self.assertIn("cannot read", missing.stderr)
        self.assertEqual(run(SHADER).returncode, 2)
        self.assertEqual(run(SHADER, SHADER, "64xfoo", "--frames", "0").returncode, 2)
        unwritable = run(SHADER, SHADER, "16x9", "--save", os.path.join(self.folder.name, "no", "such"), "1")
        self.assertEqual(unwritable.returncode, 1)
        self.assertIn("cannot write the pictures", unwritable.stderr)
        broken = self.variant("broken.frag", "void main() {", "void main() { undeclared();")
        result = run(SHADER, broken, "16x9", "1")
        self.assertEqual(result.returncode, 1)
        self.assertIn("fragment shader", result.stderr)


if __name__ == "__main__":
    unittest.main()
