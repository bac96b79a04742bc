"""The manifest reader that both builds and the id header come from."""

import os
import subprocess
import sys
import tempfile
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")
sys.path.insert(0, TOOLS)
from embed_resources import read_manifest  # noqa: E402


def run_ids(text):
    """(exit status, stderr, header) of the id header made from a manifest."""
    with tempfile.TemporaryDirectory() as folder:
        manifest = os.path.join(folder, "resources.manifest")
        header = os.path.join(folder, "resource_ids.h")
        with open(manifest, "w", encoding="utf-8") as f:
            f.write(text)
        done = subprocess.run([sys.executable, os.path.join(TOOLS, "embed_resources.py"), "--ids", manifest, header],
                              capture_output=True, text=True, check=False)
        body = open(header, encoding="utf-8").read() if os.path.exists(header) else ""
        return done.returncode, done.stderr, body


class Manifest(unittest.TestCase):
    def test_the_header_names_every_id(self):
        status, _, header = run_ids("# comment\n105 TEXTFILE Vertex a.vert\n7 BITMAP Logo images/l.bmp  # trailing\n")
        self.assertEqual(status, 0)
        self.assertIn("constexpr int kVertex = 105;", header)
        self.assertIn("constexpr int kLogo = 7;", header)

    def test_a_line_it_cannot_read_stops_the_build_with_its_place(self):
        for bad in ("105 TEXTFILE shaders/a.vert\n",          # the old three fields, no name
                    "105 TEXTFILE Bad-Name a.vert\n",         # no identifier
                    "x TEXTFILE Vertex a.vert\n",             # no number
                    "105 ICON Vertex a.ico\n"):               # a type the lookup does not know
            status, error, header = run_ids(bad)
            self.assertNotEqual(status, 0, bad)
            self.assertIn(":1:", error, bad)
            self.assertEqual(header, "")

    def test_a_name_or_an_id_twice_stops_the_build(self):
        self.assertNotEqual(run_ids("1 BITMAP Same a.bmp\n2 BITMAP Same b.bmp\n")[0], 0)
        self.assertNotEqual(run_ids("1 BITMAP One a.bmp\n1 BITMAP Two b.bmp\n")[0], 0)
        self.assertEqual(run_ids("1 BITMAP One a.bmp\n1 TEXTFILE Two b.txt\n")[0], 0, "ids are per type")

    def test_the_shipped_manifest_reads(self):
        entries = read_manifest(os.path.join(TOOLS, "..", "resources", "resources.manifest"))
        self.assertEqual(len(entries), 22)
        self.assertIn((106, "TEXTFILE", "SceneFragmentShader", "shaders/scene.frag"), entries)


if __name__ == "__main__":
    unittest.main()
