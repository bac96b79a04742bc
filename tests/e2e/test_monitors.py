"""Full-screen runs on an X server with two monitors (Xorg's dummy driver):
the scene on the primary monitor, black over the other, the same input rules
on both, pacing at the primary's refresh; and no extra window where there is
one monitor or in a preview."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from screen_pixels import Picture
from test_spine import SETTLING_FRAMES, TITLE, Screensaver, read_swaps
from xharness import PATIENCE, XServer, start, stop, support_library, wait_for_exit
from xorg_dummy import TwoMonitorXServer

COVER_TITLE = TITLE + " cover"
# Something readable left on the second monitor: a window of another program
# with a bright background and text on it.
NOTE_TITLE = "left on the second monitor"


def visible_top_level_windows(server):
    """Ids of the mapped children of the root window (xdotool's depth 1 counts
    the root itself in)."""
    root = int(server.run("xdotool", "search", "--maxdepth", "0", "--name", "").stdout.split()[0])
    result = server.run("xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", "", check=False)
    return sorted(int(w) for w in result.stdout.split() if int(w) != root)


class TwoMonitorCase(unittest.TestCase):
    """A two-monitor server whose desktop is bright everywhere, so that black
    on a monitor means something of ours covers it."""

    def setUp(self):
        self.server = TwoMonitorXServer().__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.folder = tempfile.mkdtemp(prefix="gloamery-monitors-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.server.run("xsetroot", "-solid", "#c0c0c0")

    def start(self, *args):
        """A run that has presented its first frame, by when the covers are
        open: the renderer opens them before it draws."""
        saver = Screensaver(self.server, *args)
        self.addCleanup(saver.close)
        saver.wait_until_presenting()
        return saver

    def screenshot(self, name):
        path = os.path.join(self.folder, name + ".png")
        self.server.screenshot(path)
        return Picture(path)

    def leave_a_note_on_the_second_monitor(self):
        x, y, width, height = self.server.SECOND
        note = self.server.start("xmessage", "-name", NOTE_TITLE, "-title", NOTE_TITLE, "-bg", "white",
                                 "-geometry", "%dx%d+%d+%d" % (width, height, x, y), "Readable desktop text")
        self.addCleanup(stop, note)
        self.server.wait_for_window(NOTE_TITLE, note)
        # Bright before the run starts, so black afterwards means covered.
        self.assertGreater(self.screenshot("before").brightest(self.server.SECOND, step=8), 200)
        return note

    def wait_for_cover(self, saver):
        return self.server.wait_for_window(COVER_TITLE, saver.process)

    def assertSceneOnPrimaryAndSecondBlack(self, saver):
        """Within the bound, one screenshot with the second monitor black and
        the lantern on the primary (its glow flickers from frame to frame)."""
        deadline = time.monotonic() + PATIENCE
        while True:
            picture = self.screenshot("during")
            second = picture.brightest(self.server.SECOND)
            warm = picture.warm_pixels(self.server.PRIMARY)
            if second == 0 and warm > 20:
                return
            if saver.process.poll() is not None or time.monotonic() > deadline:
                self.fail("brightest on the second monitor %d, lantern pixels %d, status %s"
                          % (second, warm, saver.process.poll()))
            saver.wait_for_frames(saver.frames() + 1)

    def assertEndsWithStatusZero(self, saver):
        self.assertEqual(wait_for_exit(saver.process, PATIENCE), 0, saver.stderr())


class TwoMonitorRun(TwoMonitorCase):
    def test_second_monitor_is_black_and_the_lantern_is_on_the_primary(self):
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s")
        primary = self.server.wait_for_window(TITLE, saver.process)
        covers = self.wait_for_cover(saver)
        self.assertEqual([self.server.geometry(w) for w in primary], [self.server.PRIMARY])
        self.assertEqual([self.server.geometry(w) for w in covers], [self.server.SECOND])
        self.assertSceneOnPrimaryAndSecondBlack(saver)

    def test_an_argument_less_start_covers_too(self):
        saver = self.start()
        self.wait_for_cover(saver)
        self.assertEqual(len(visible_top_level_windows(self.server)), 2)

    def test_a_key_with_the_pointer_over_the_second_monitor_ends_it(self):
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s")
        self.server.xdotool("mousemove", "1300", "300")
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.server.xdotool("key", "space")
        self.assertEndsWithStatusZero(saver)

    def test_a_button_over_the_second_monitor_ends_it(self):
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s")
        self.server.xdotool("mousemove", "1300", "300", "click", "1")
        self.assertEndsWithStatusZero(saver)

    def test_motion_and_the_wheel_over_the_second_monitor_leave_it_running(self):
        saver = self.start("/s")
        for x, y in ((1300, 300), (1800, 590), (1030, 10), (1500, 100)):
            self.server.xdotool("mousemove", str(x), str(y))
        self.server.xdotool("click", "4", "click", "5")
        # Frames presented after the input had arrived: the loop polled the
        # events and went on.
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertIsNone(saver.process.poll(), saver.stderr())
        self.assertSceneOnPrimaryAndSecondBlack(saver)

    def test_a_preview_opens_no_cover(self):
        # The host leaves when its standard input ends, so it gets a pipe.
        host = start([support_library("x_host_window"), "--size", "160x120"], self.server.env(),
                     stdin=subprocess.PIPE)
        self.addCleanup(stop, host)
        self.addCleanup(host.stdin.close)
        windows = self.server.wait_for_window("gloamery test host", host)
        saver = self.start("/p", str(windows[0]))
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertEqual(visible_top_level_windows(self.server), windows)


class UnderAWindowManager(TwoMonitorCase):
    # Focus that follows the pointer moves to a cover as the pointer crosses
    # to it (and to the newest window as it opens); a full-screen window that
    # minimises itself on losing the focus would leave the primary showing
    # the desktop.
    CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>yes</followMouse><focusDelay>0</focusDelay>
    <underMouse>yes</underMouse><raiseOnFocus>no</raiseOnFocus></focus>
</openbox_config>
"""

    def start_window_manager(self):
        config = os.path.join(self.folder, "rc.xml")
        with open(config, "w") as f:
            f.write(self.CONFIG)
        wm = self.server.start("openbox", "--sm-disable", "--config-file", config)
        self.addCleanup(stop, wm)
        deadline = time.monotonic() + PATIENCE
        while "window id" not in self.server.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).stdout:
            self.assertLess(time.monotonic(), deadline, "openbox did not take over the screen")
            time.sleep(0.1)

    def focused_window_name(self):
        return self.server.run("xdotool", "getwindowfocus", "getwindowname", check=False).stdout.strip()

    def test_the_scene_stays_while_the_focus_follows_the_pointer_across(self):
        self.start_window_manager()
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s")
        self.assertSceneOnPrimaryAndSecondBlack(saver)
        for x, y, name in ((1300, 300, COVER_TITLE), (300, 300, TITLE), (1500, 500, COVER_TITLE)):
            self.server.xdotool("mousemove", str(x), str(y))
            deadline = time.monotonic() + PATIENCE
            while self.focused_window_name() != name:
                self.assertLess(time.monotonic(), deadline, "the focus did not follow the pointer to %r" % name)
                time.sleep(0.1)
            self.assertSceneOnPrimaryAndSecondBlack(saver)
        self.server.xdotool("key", "space")
        self.assertEndsWithStatusZero(saver)


class PacedByThePrimaryMonitor(unittest.TestCase):
    # A small, slow primary monitor beside a 60 Hz one: frames cost far less
    # than the primary's refresh period, so the count shows whose rate the
    # pacer follows.
    def test_presents_no_faster_than_the_primary_refreshes(self):
        with TwoMonitorXServer(primary_mode=TwoMonitorXServer.SLOW_SMALL_MODE) as server:
            self.assertEqual(server.refresh_rates()[0], 20)
            saver = Screensaver(server, "/s")
            self.addCleanup(saver.close)
            saver.wait_until_presenting()
            frames0, _, t0 = read_swaps(saver.record)
            frames1, _, t1 = saver.wait_for_frames(frames0 + 40)
            self.assertGreaterEqual(t1 - t0, (frames1 - frames0 - 1) / 20 * 0.99,
                                    "%d frames in %.3f s" % (frames1 - frames0, t1 - t0))


class OneMonitorRun(unittest.TestCase):
    def test_one_monitor_gets_one_window(self):
        with XServer(128, 72) as server:
            saver = Screensaver(server, "/s")
            self.addCleanup(saver.close)
            saver.wait_until_presenting()
            saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
            windows = visible_top_level_windows(server)
            self.assertEqual(windows, server.find_windows(TITLE))
            self.assertEqual(len(windows), 1)


if __name__ == "__main__":
    unittest.main()
