"""The live window on the software renderer: a picture sized to the frame
budget, stretched over the whole window, presented no faster than the
refresh rate."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from test_preview import window_pixels
from xharness import PATIENCE, XServer, binary, stderr_text, stop, support_library, wait_for_file

GLOAMERY = binary("gloamery")
SNAPSHOT = binary("gloamery-snapshot")
REFRESH_PERIOD = 1.0 / 60
# The picture fades in from black over its first two seconds.
FADE_IN_SECONDS = 2.0
PATCH = 8


def read_record(path):
    with open(path) as f:
        return f.read().split()


class SoftwareRun:
    """`gloamery /s` on a screen of the server's size, with each presented
    frame and the size it was shaded at noted by the preloaded counter."""

    def __init__(self, server, seam=False, **seam_env):
        """With `seam`, the GL seam is preloaded too, with `seam_env` set."""
        self.folder = tempfile.mkdtemp(prefix="gloamery-scaled-")
        self.swaps = os.path.join(self.folder, "swaps")
        self.drawn = os.path.join(self.folder, "drawn")
        self.presented = os.path.join(self.folder, "presented")
        self.samples = os.path.join(self.folder, "samples")
        self.objects = os.path.join(self.folder, "objects")
        preload = [support_library("swap_counter.so")]
        if seam:
            preload.append(support_library("gl_seam.so"))
            seam_env["GLOAMERY_GL_OBJECTS_RECORD"] = self.objects
        self.process = server.start(GLOAMERY, "/s", LD_PRELOAD=" ".join(preload),
                                    GLOAMERY_SWAP_RECORD=self.swaps, GLOAMERY_DRAW_SIZE_RECORD=self.drawn,
                                    GLOAMERY_VIEWPORT_RECORD=self.presented, GLOAMERY_SAMPLES_RECORD=self.samples,
                                    **seam_env)
        if not wait_for_file(self.swaps, PATIENCE, self.process):
            raise AssertionError("no frame presented: %s" % stderr_text(self.process))

    def swap_record(self):
        frames, first, last = read_record(self.swaps)
        return int(frames), float(first), float(last)

    def drawn_size(self):
        """The size the last frame was shaded at."""
        return tuple(int(n) for n in read_record(self.drawn))

    def presented_size(self):
        """The viewport the last frame was presented with."""
        return tuple(int(n) for n in read_record(self.presented))

    def timed_frames(self):
        """Frames timed by a GPU timer query so far (with the GL seam)."""
        return int(read_record(self.objects)[2])

    def presented_samples(self):
        """Samples per pixel of the framebuffer the last frame was presented from."""
        return int(read_record(self.samples)[0])

    def wait_until(self, condition, what, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while not condition(self.swap_record()):
            if self.process.poll() is not None:
                raise AssertionError("the run ended (status %s) before %s: %s"
                                     % (self.process.returncode, what, stderr_text(self.process)))
            if time.monotonic() > deadline:
                raise AssertionError("no %s within %ss (record %s)" % (what, timeout, self.swap_record()))
            time.sleep(0.05)
        return self.swap_record()

    def close(self):
        stop(self.process)
        shutil.rmtree(self.folder, True)


SIDES = ("top", "bottom", "left", "right")


def side_brightness(rows, side, width, height, step=4):
    """The brightest channel in the PATCH-wide strip along one side."""
    if side in ("top", "bottom"):
        ys = range(0, PATCH) if side == "top" else range(height - PATCH, height)
        xs = range(0, width, step)
    else:
        xs = range(0, PATCH) if side == "left" else range(width - PATCH, width)
        ys = range(0, height, step)
    return max(max(rows[y][x]) for y in ys for x in xs)


def ppm_rows(data):
    fields = data.split(maxsplit=4)
    assert fields[0] == b"P6" and fields[3] == b"255", fields[:4]
    width, height, raster = int(fields[1]), int(fields[2]), fields[4]
    return [[tuple(raster[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def full_size_frame(folder, width, height):
    """Rows of the scene drawn offscreen at the window's own size, past the fade-in."""
    out = os.path.join(folder, "full.png")
    subprocess.run([SNAPSHOT, "--time", "5", "--size", "%dx%d" % (width, height), "--out", out], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=PATIENCE)
    return ppm_rows(subprocess.run(["convert", out, "-depth", "8", "ppm:-"], check=True, stdout=subprocess.PIPE,
                                   timeout=PATIENCE).stdout)


class Screen720p(unittest.TestCase):
    def setUp(self):
        self.server = XServer(1280, 720).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.run_ = SoftwareRun(self.server)
        self.addCleanup(self.run_.close)

    # One run for all of it: every frame of a 1280x720 screen is costly here.
    def test_fills_the_window_at_the_windows_aspect_and_keeps_the_pace(self):
        # The clock starts before the first frame, so two seconds of frames
        # after it are past the fade-in; two more frames and the screen shows
        # one of them.
        frames, _, _ = self.run_.wait_until(lambda r: r[2] - r[1] >= FADE_IN_SECONDS, "faded-in frame")
        frames0, _, t0 = self.run_.wait_until(lambda r: r[0] >= frames + 2, "frames after the fade-in")

        width, height, rows = window_pixels(self.server, "root")
        self.assertEqual((width, height), (1280, 720))
        # A picture drawn into part of the window leaves a band along some of
        # its sides black. Each side that the whole picture, drawn at the
        # window's size, lights somewhere along its length (the vignette
        # darkens the corners, and the lantern's shadow sweeps over the
        # bottom as the light moves) must be lit somewhere in the window too.
        reference = full_size_frame(self.run_.folder, width, height)
        lit = [side for side in SIDES if side_brightness(reference, side, width, height) > 24]
        self.assertGreaterEqual(len(lit), 3, "the reference frame is too dark to compare")
        dark = [side for side in lit if side_brightness(rows, side, width, height) <= 4]
        self.assertEqual(dark, [], "black bands along the window's sides")
        # The lantern glows orange in the middle of the picture.
        middle = [rows[y][x] for y in range(height * 3 // 8, height * 5 // 8) for x in range(width * 3 // 8,
                                                                                             width * 5 // 8)]
        glowing = [p for p in middle if p[0] > 150 and p[0] > p[2] + 60]
        self.assertGreater(len(glowing), 100, "no lantern in the middle of the window")

        # Stale contents of earlier frames would fill the rest of the window:
        # the last drawing before each presentation covers all of it.
        self.assertEqual(self.run_.presented_size(), (1280, 720))
        # A stretched picture has nothing for multisampling to smooth, so the
        # window has no samples to write and resolve.
        self.assertEqual(self.run_.presented_samples(), 0)
        drawn_width, drawn_height = self.run_.drawn_size()
        self.assertLessEqual(drawn_width, 1280)
        self.assertLessEqual(drawn_height, 720)
        # Both sides come from one scale, each rounded to whole pixels.
        self.assertLessEqual(abs(drawn_width * 720 - drawn_height * 1280), (1280 + 720) // 2,
                             "%dx%d" % (drawn_width, drawn_height))

        # However the picture is sized, frames a and b lie at least b - a - 1
        # refresh periods apart: a bound from below only.
        frames1, _, t1 = self.run_.wait_until(lambda r: r[0] >= frames0 + 20, "twenty more frames")
        self.assertGreaterEqual(t1 - t0, (frames1 - frames0 - 1) * REFRESH_PERIOD * 0.99)


class FrameTimes(unittest.TestCase):
    """Where the budget's frame times come from: the GPU's own timer queries,
    which llvmpipe has, or else the CPU's clock."""

    def test_llvmpipe_frames_are_timed_by_timer_queries(self):
        with XServer(320, 180) as server:
            run = SoftwareRun(server, seam=True)
            self.addCleanup(run.close)
            frames, _, _ = run.wait_until(lambda r: r[0] >= 10, "ten frames")
            self.assertGreaterEqual(run.timed_frames(), frames - 1)

    def test_without_timer_queries_the_cpu_times_frames_and_the_picture_is_still_budgeted(self):
        with XServer(1280, 720) as server:
            run = SoftwareRun(server, seam=True, GLOAMERY_HIDE_TIMER_QUERIES="1")
            self.addCleanup(run.close)
            run.wait_until(lambda r: r[0] >= 10, "ten frames")
            self.assertEqual(run.timed_frames(), 0)
            width, height = run.drawn_size()
            self.assertLess(width * height, 1280 * 720 // 2, "a picture the budget sized")


class HugeScreen(unittest.TestCase):
    # A full 7680x4320 frame takes this machine about 13 s: a probe sizes the
    # first one shown instead.
    def test_the_first_frame_at_8k_is_not_drawn_at_the_full_size(self):
        with XServer(7680, 4320) as server:
            run = SoftwareRun(server)
            self.addCleanup(run.close)
            width, height = run.drawn_size()
            self.assertLess(width * height, 7680 * 4320 // 16, "%dx%d" % (width, height))
            self.assertEqual(run.presented_size(), (7680, 4320))


class SmallScreen(unittest.TestCase):
    # Cheap enough to draw at full size within a refresh period: the pacer,
    # not the rasteriser, sets the pace.
    def test_presents_no_faster_than_the_refresh_rate(self):
        with XServer(320, 180) as server:
            run = SoftwareRun(server)
            self.addCleanup(run.close)
            frames0, _, t0 = run.swap_record()
            frames1, _, t1 = run.wait_until(lambda r: r[0] >= frames0 + 120, "120 more frames")
            self.assertGreaterEqual(t1 - t0, (frames1 - frames0 - 1) * REFRESH_PERIOD * 0.99,
                                    "%d frames in %.3f s" % (frames1 - frames0, t1 - t0))


if __name__ == "__main__":
    unittest.main()
