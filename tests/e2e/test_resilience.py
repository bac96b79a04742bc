"""A run outlives its GPU: a reset reported by the context (at a chosen frame,
through the preloaded GL seam, since Mesa cannot lose a context on purpose)
makes the window, its context and every GL object again, and drawing goes on
with no message; so does a second reset in a row, and a host's preview."""

import os
import shutil
import tempfile
import time
import unittest

from test_preview import NO_DIALOG, Fixture, lit_share, window_pixels
from test_unseen import TkHost
from xharness import PATIENCE

TITLE = "Gloamery 3D Screensaver"


class ContextReset(Fixture):
    def start(self, *args, reset_at):
        run = self.run_gloamery(*args, preload=["gl_seam.so"], GLOAMERY_RESET_AT=reset_at,
                                GLOAMERY_RESET_RECORD=os.path.join(self.scratch, "resets"),
                                GLOAMERY_GL_OBJECTS_RECORD=os.path.join(self.scratch, "objects"), **NO_DIALOG)
        run.wait_until_presenting()
        return run

    def setUp(self):
        super().setUp()
        self.scratch = tempfile.mkdtemp(prefix="gloamery-reset-")
        self.addCleanup(shutil.rmtree, self.scratch, True)

    def resets(self):
        path = os.path.join(self.scratch, "resets")
        if not os.path.exists(path):
            return []
        with open(path) as f:
            return [float(line.split()[1]) for line in f if line.strip()]

    def objects(self):
        """(alive, ever made) of the GL objects the run has."""
        with open(os.path.join(self.scratch, "objects")) as f:
            return tuple(int(v) for v in f.read().split()[:2])

    def wait_for_resets(self, run, count):
        deadline = time.monotonic() + PATIENCE
        while len(self.resets()) < count:
            run.assertRunning()
            if time.monotonic() > deadline:
                raise AssertionError("the reset status was asked for only %d times" % len(self.resets()))
            time.sleep(0.01)

    def last_frame_time(self, run):
        with open(run.swaps) as f:
            return float(f.read().split()[2])

    def assertDrawsAgain(self, run, resets):
        """Waits for the reset(s), then for frames after the last of them;
        prints the time from it to the first frame after it."""
        self.wait_for_resets(run, resets)
        reported = self.resets()[-1]
        deadline = time.monotonic() + PATIENCE
        while self.last_frame_time(run) <= reported:
            run.assertRunning()
            if time.monotonic() > deadline:
                raise AssertionError("no frame after the reset: %s" % run.stderr())
            time.sleep(0.002)
        print("\n%s: first frame %.0f ms after the reset" % (self.id().rsplit(".", 1)[1],
                                                               1000 * (self.last_frame_time(run) - reported)))
        run.wait_for_more_frames(timeout=PATIENCE)
        self.assertNotIn("Debug", run.stderr(), "no message box for a reset")

    def assertMadeAgain(self, alive, made, resets):
        """As many objects alive as before the reset(s), every one of them made
        anew after each (the old ones deleted), and a few made and deleted on
        the way, as at the start."""
        now_alive, now_made = self.objects()
        self.assertEqual(now_alive, alive, "the old objects deleted")
        self.assertGreaterEqual(now_made - made, resets * alive, "every object made again")

    def test_a_full_screen_run_makes_everything_again_and_draws_on(self):
        run = self.start("/s", reset_at="40")
        run.wait_for_more_frames(10)
        alive, made = self.objects()
        self.assertDrawsAgain(run, 1)
        self.assertMadeAgain(alive, made, resets=1)
        window = self.server.wait_for_window(TITLE, run.process)[0]
        time.sleep(1.5)  # past the scene's fade-in from black, which a reset does not bring back
        self.assertGreater(lit_share(window_pixels(self.server, window)[2]), 0.3, "the scene shows again")

    def test_a_second_reset_in_a_row_is_handled_the_same_way(self):
        run = self.start("/s", reset_at="40,41")
        run.wait_for_more_frames(10)
        alive, made = self.objects()
        self.assertDrawsAgain(run, 2)
        self.assertEqual(len(self.resets()), 2)
        self.assertMadeAgain(alive, made, resets=2)

    def test_a_preview_attaches_again_to_its_host(self):
        host = TkHost(self.server)
        self.addCleanup(host.close)
        run = self.start("/p", str(host.window), reset_at="40")
        run.wait_for_more_frames(10)
        alive, made = self.objects()
        self.assertDrawsAgain(run, 1)
        self.assertMadeAgain(alive, made, resets=1)
        self.assertGreater(lit_share(window_pixels(self.server, host.window)[2]), 0.3)


if __name__ == "__main__":
    unittest.main()
