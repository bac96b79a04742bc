"""The start-up benchmark's preloaded probe, in the bare hosts it measures:
each step is caught, counted and placed in the order the program took it."""

import os
import sys
import tempfile
import unittest

from xharness import BIN_DIR, PATIENCE, XServer, binary, stderr_text, stop, wait_for_file

PROBE = os.path.join(BIN_DIR, "bench", "startup_probe.so")
# The benchmark's own reader of the probe's record, so that what it reports
# is read the way this test reads it.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
from startup import read_steps  # noqa: E402

SHADERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "shaders")


class StartupProbe(unittest.TestCase):
    def record_of(self, *argv):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        record = os.path.join(folder.name, "steps")
        with XServer(160, 90) as server:
            process = server.start(*argv, LD_PRELOAD=PROBE, GLOAMERY_STARTUP_RECORD=record)
            try:
                self.assertTrue(wait_for_file(record, PATIENCE, process), stderr_text(process))
                return read_steps(record)
            finally:
                stop(process)

    def assert_in_order(self, steps, *names):
        for earlier, later in zip(names, names[1:]):
            self.assertLessEqual(steps[earlier][2], steps[later][1], "%s ends before %s starts" % (earlier, later))

    def test_a_window_that_only_clears_has_no_shader_texture_or_draw(self):
        steps = self.record_of(binary("bare_glfw"))
        for name in ("glfwInit", "glfwCreateWindow", "glfwSwapBuffers"):
            self.assertEqual(steps[name][0], 1, name)
        for name in ("glCompileShader", "glLinkProgram", "glTexImage2D", "glDrawElements", "glDrawArrays"):
            self.assertEqual(steps[name][0], 0, name)
        self.assertLessEqual(steps["loaded"][1], steps["glfwInit"][1])
        self.assert_in_order(steps, "glfwInit", "glfwCreateWindow", "glfwSwapBuffers")

    def test_gl_calls_made_through_the_loader_are_caught_and_timed(self):
        steps = self.record_of(binary("bare_scene"), os.path.join(SHADERS, "scene.vert"),
                               os.path.join(SHADERS, "scene.frag"))
        self.assertEqual(steps["glCompileShader"][0], 2)
        self.assertEqual(steps["glLinkProgram"][0], 1)
        self.assertGreaterEqual(steps["glTexImage2D"][0], 1)
        self.assertEqual(steps["glDrawArrays"][0], 1)
        self.assertEqual(steps["glfwSwapBuffers"][0], 1)
        self.assertGreater(steps["glCompileShader"][3], 0)
        self.assertLessEqual(steps["glCompileShader"][3], steps["glCompileShader"][2] - steps["glCompileShader"][1])
        self.assert_in_order(steps, "glfwInit", "glfwCreateWindow", "glCompileShader", "glLinkProgram", "glDrawArrays",
                             "glfwSwapBuffers")


if __name__ == "__main__":
    unittest.main()
