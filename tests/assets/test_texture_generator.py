"""The committed texture bitmaps are exactly what the generator makes."""

import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
GENERATOR = os.path.join(ROOT, "tools", "make_textures.py")
COMMITTED = os.path.join(ROOT, "resources", "textures")


class TextureGenerator(unittest.TestCase):
    def test_running_it_again_gives_the_committed_bytes(self):
        with tempfile.TemporaryDirectory() as out:
            subprocess.run([sys.executable, GENERATOR, out], check=True)
            made = sorted(os.listdir(out))
            self.assertEqual(made, sorted(n for n in os.listdir(COMMITTED) if n.endswith(".bmp")))
            self.assertEqual(len(made), 17)
            _, mismatch, errors = filecmp.cmpfiles(out, COMMITTED, made, shallow=False)
            self.assertEqual(mismatch + errors, [])


if __name__ == "__main__":
    unittest.main()
