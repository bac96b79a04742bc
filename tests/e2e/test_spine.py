"""The real program under its own Xvfb: full-screen window, input, guard, pacing."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from xharness import PATIENCE, XServer, binary, clean_env, stderr_text, stop, support_library, wait_for_exit, \
    wait_for_file

TITLE = "Gloamery 3D Screensaver"
GLOAMERY = binary("gloamery")
# The refresh period the program paces at under Xvfb (60 Hz).
REFRESH_PERIOD = 1.0 / 60
# Frames to wait for after input, so that at least one whole loop (events
# polled, frame presented) has run after the input arrived.
SETTLING_FRAMES = 3


def read_swaps(path):
    with open(path) as f:
        frames, first, last = f.read().split()
    return int(frames), float(first), float(last)


class Screensaver:
    """One gloamery process with its presented frames counted."""

    def __init__(self, server, *args, preload=(), **env):
        self.server = server
        self.folder = tempfile.mkdtemp(prefix="gloamery-spine-")
        self.record = os.path.join(self.folder, "swaps")
        # The other monitors' windows, which do not wait for the refresh.
        self.others_record = os.path.join(self.folder, "other-swaps")
        libraries = [support_library("swap_counter.so")] + [support_library(name) for name in preload]
        self.process = server.start(GLOAMERY, *args, LD_PRELOAD=" ".join(libraries), GLOAMERY_SWAP_RECORD=self.record,
                                    GLOAMERY_OTHER_SWAPS_RECORD=self.others_record, **env)

    def wait_until_presenting(self, timeout=PATIENCE):
        if not wait_for_file(self.record, timeout, self.process):
            raise AssertionError("no frame presented; stderr: %s" % self.stderr())
        return read_swaps(self.record)

    def frames(self):
        return read_swaps(self.record)[0]

    def wait_for_frames(self, count, timeout=PATIENCE):
        """The swap record once `count` frames in all have been presented."""
        deadline = time.monotonic() + timeout
        while True:
            record = read_swaps(self.record)
            if record[0] >= count:
                return record
            if self.process.poll() is not None:
                raise AssertionError("the run ended (status %s) after %d frames: %s"
                                     % (self.process.returncode, record[0], self.stderr()))
            if time.monotonic() > deadline:
                raise AssertionError("only %d of %d frames within %ss" % (record[0], count, timeout))
            time.sleep(0.02)

    def stderr(self):
        return stderr_text(self.process)

    def close(self):
        stop(self.process)
        shutil.rmtree(self.folder, True)


class FullScreenRun(unittest.TestCase):
    # A small screen keeps a software-rendered frame far cheaper than a refresh
    # period, so the pacing test sees the pacer and not the rasteriser.
    def setUp(self):
        self.server = XServer(128, 72).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.saver = Screensaver(self.server, "/s")
        self.addCleanup(self.saver.close)
        self.saver.wait_until_presenting()

    def assertEndsWithStatusZero(self):
        self.assertEqual(wait_for_exit(self.saver.process, PATIENCE), 0, self.saver.stderr())

    def test_opens_one_window_covering_the_screen(self):
        windows = self.server.wait_for_window(TITLE, self.saver.process)
        self.assertEqual(len(windows), 1)
        self.assertEqual(self.server.geometry(windows[0]), (0, 0, 128, 72))

    def test_a_key_press_ends_it(self):
        self.server.xdotool("key", "space")
        self.assertEndsWithStatusZero()

    def test_a_button_press_ends_it(self):
        self.server.xdotool("mousemove", "64", "36", "click", "3")
        self.assertEndsWithStatusZero()

    def test_the_x_server_going_away_ends_it_with_zero(self):
        # As when the user logs out under a running screensaver.
        self.server.process.kill()
        self.assertEndsWithStatusZero()

    def test_pointer_motion_and_the_wheel_do_not_end_it(self):
        for x, y in ((10, 10), (120, 70), (64, 36)):
            self.server.xdotool("mousemove", str(x), str(y))
        self.server.xdotool("click", "4", "click", "5")  # wheel up, wheel down
        # Frames presented after the input had arrived: the loop saw it and
        # went on.
        self.saver.wait_for_frames(self.saver.frames() + SETTLING_FRAMES)
        self.assertIsNone(self.saver.process.poll(), self.saver.stderr())

    def test_presents_no_faster_than_sixty_frames_a_second(self):
        # The loop presents frame n only after it presented frame n - 1 and
        # then waited for its deadline; deadlines lie a refresh period apart.
        # So between the presentations of frames a and b at least b - a - 1
        # periods pass, however slow the machine: a bound from below only.
        frames0, _, t0 = read_swaps(self.saver.record)
        frames1, _, t1 = self.saver.wait_for_frames(frames0 + 120)
        self.assertGreaterEqual(t1 - t0, (frames1 - frames0 - 1) * REFRESH_PERIOD * 0.99,
                                "%d frames in %.3f s" % (frames1 - frames0, t1 - t0))


class SingleInstanceGuard(unittest.TestCase):
    def setUp(self):
        self.server = XServer(128, 72).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)

    def start(self, *args):
        saver = Screensaver(self.server, *args)
        self.addCleanup(saver.close)
        return saver

    def test_second_guarded_start_ends_at_once_while_one_runs(self):
        first = self.start()
        first.wait_until_presenting()
        for args in ((), ("/p", "1234")):
            second = self.start(*args)
            self.assertEqual(wait_for_exit(second.process, PATIENCE), 0, args)
            self.assertFalse(os.path.exists(second.record), "the second start presented nothing")
        self.assertEqual(len(self.server.find_windows(TITLE)), 1)

    def test_full_screen_start_always_runs(self):
        self.start().wait_until_presenting()
        full = self.start("/s")
        full.wait_until_presenting()
        self.assertIsNone(full.process.poll())
        self.assertEqual(len(self.server.wait_for_window(TITLE)), 2)

    def test_name_is_free_again_once_the_holder_is_killed(self):
        first = self.start()
        first.wait_until_presenting()
        stop(first.process)  # SIGKILL: no chance to clean up
        again = self.start()
        again.wait_until_presenting()
        self.assertIsNone(again.process.poll())


class WithoutShaders(unittest.TestCase):
    def test_an_opengl_without_shaders_is_reported_and_nothing_drawn(self):
        with XServer(128, 72) as server:
            swaps = tempfile.mktemp(prefix="gloamery-swaps-")
            preload = "%s %s" % (support_library("swap_counter.so"), support_library("gdi_generic_gl.so"))
            # GTK cannot open this backend, so the message comes on standard error.
            env = server.env(LD_PRELOAD=preload, GLOAMERY_SWAP_RECORD=swaps, GDK_BACKEND="wayland")
            result = subprocess.run([GLOAMERY, "/s"], env=env, capture_output=True, text=True, timeout=30)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("Debug: OpenGL 2.0 or later is needed\n", result.stderr)
            self.assertFalse(os.path.exists(swaps), "nothing was drawn")


class WithoutADisplay(unittest.TestCase):
    def run_without_display(self, *args):
        return subprocess.run([GLOAMERY, *args], env=clean_env(), stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=PATIENCE)

    def test_reports_both_failures_on_standard_error_and_ends_with_zero(self):
        result = self.run_without_display("/s")
        self.assertEqual(result.returncode, 0)
        self.assertIn("Debug: Failed to initialize GLFW\nDebug: Failed to open window\n", result.stderr)

    def test_configuration_start_ends_with_zero(self):
        result = self.run_without_display("/c")
        self.assertEqual(result.returncode, 0)


if __name__ == "__main__":
    unittest.main()
