"""Full-screen runs on an X server with two or three monitors (Xorg's dummy
driver): the scene on every monitor, each window over its own monitor at its
own size, the same input rules on all, pacing at the primary's refresh;
windows that follow monitors switched off and on; black on the others where
the renderer cannot afford them; and no extra window where there is one
monitor or in a preview."""

import os
import shutil
import subprocess
import tempfile
import time
import unittest

from screen_pixels import Picture
from test_preview import NO_DIALOG
from test_spine import SETTLING_FRAMES, TITLE, Screensaver, read_swaps
from xharness import PATIENCE, XServer, start, stop, support_library, wait_for_exit
from xorg_dummy import SECOND_MODE, TwoMonitorXServer

MONITOR_TITLE = TITLE + " monitor"
# Something readable left on the second monitor: a window of another program
# with a bright background and text on it.
NOTE_TITLE = "left on the second monitor"


def visible_top_level_windows(server):
    """Ids of the mapped children of the root window (xdotool's depth 1 counts
    the root itself in)."""
    root = int(server.run("xdotool", "search", "--maxdepth", "0", "--name", "").stdout.split()[0])
    result = server.run("xdotool", "search", "--onlyvisible", "--maxdepth", "1", "--name", "", check=False)
    return sorted(int(w) for w in result.stdout.split() if int(w) != root)


class MonitorsCase(unittest.TestCase):
    """A server with several monitors whose desktop is bright everywhere, so
    that a dark picture on a monitor means something of ours covers it."""

    THIRD = False

    def setUp(self):
        self.server = TwoMonitorXServer(third=self.THIRD).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.folder = tempfile.mkdtemp(prefix="gloamery-monitors-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.server.run("xsetroot", "-solid", "#c0c0c0")

    def start(self, *args, **options):
        """A run that has presented its first frame, by when the other
        monitors' windows are open: the renderer opens them before it draws."""
        saver = Screensaver(self.server, *args, **options)
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
        # Bright before the run starts, so dark afterwards means covered.
        self.assertGreater(self.screenshot("before").brightest(self.server.SECOND, step=8), 200)
        return note

    def geometries(self, title, process):
        return [self.server.geometry(w) for w in self.server.wait_for_window(title, process)]

    def wait_for(self, condition, saver, what):
        """Polls `condition` once a presented frame until it is true (or the
        run ends, or the bound passes); returns its last truthy value. `what`
        says what went wrong: a text, or a function giving one."""
        deadline = time.monotonic() + PATIENCE
        while True:
            found = condition()
            if found:
                return found
            if saver.process.poll() is not None or time.monotonic() > deadline:
                self.fail("%s (status %s, %s)" % (what() if callable(what) else what, saver.process.poll(),
                                                  saver.stderr()))
            saver.wait_for_frames(saver.frames() + 1)

    def lantern_in(self, picture, monitor):
        """The lantern's extent in a monitor where it glows centred there (the
        camera's sway moves it a little), else None."""
        extent = picture.warm_extent(monitor)
        if extent is None or extent[2] * extent[3] < 50:
            return None
        centre = extent[0] + extent[2] / 2
        return extent if abs(centre - monitor[2] / 2) < monitor[2] * 0.2 else None

    def assertLanternOn(self, saver, monitors, black=(), scene_or_black=()):
        """Within the bound, one screenshot with the lantern centred in each of
        `monitors`, nothing lit in `black`, and in `scene_or_black` either (a
        run on a machine too loaded to afford every monitor for long gives the
        others up, and black is then right); the lantern's extents."""
        seen = {}

        def shown():
            picture = self.screenshot("during")
            seen["extents"] = [self.lantern_in(picture, m) for m in monitors]
            seen["black"] = [picture.brightest(m) for m in black]
            seen["either"] = [self.lantern_in(picture, m) or picture.brightest(m) == 0 for m in scene_or_black]
            return all(seen["extents"]) and not any(seen["black"]) and all(seen["either"]) and seen["extents"]

        return self.wait_for(shown, saver, lambda: "lantern extents %r, brightest in the black ones %r, "
                             "scene or black %r" % (seen.get("extents"), seen.get("black"), seen.get("either")))

    def assertEndsWithStatusZero(self, saver):
        self.assertEqual(wait_for_exit(saver.process, PATIENCE), 0, saver.stderr())


class TwoMonitorRun(MonitorsCase):
    def test_each_monitor_shows_the_lantern_in_a_window_over_it(self):
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s")
        self.assertEqual(self.geometries(TITLE, saver.process), [self.server.PRIMARY])
        self.assertEqual(self.geometries(MONITOR_TITLE, saver.process), [self.server.SECOND])
        self.assertLanternOn(saver, [self.server.PRIMARY, self.server.SECOND])
        # The second window presents frames of its own, without waiting.
        self.assertGreater(read_swaps(saver.others_record)[0], 0)

    def test_an_argument_less_start_fills_both_too(self):
        saver = self.start()
        self.server.wait_for_window(MONITOR_TITLE, saver.process)
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
        self.assertLanternOn(saver, [self.server.PRIMARY], scene_or_black=[self.server.SECOND])

    def test_after_a_gpu_reset_every_monitor_shows_the_lantern_again(self):
        resets = os.path.join(self.folder, "resets")
        saver = self.start("/s", preload=["gl_seam.so"], GLOAMERY_RESET_AT="30", GLOAMERY_RESET_RECORD=resets,
                           **NO_DIALOG)
        self.wait_for(lambda: os.path.exists(resets), saver, "no reset reported")
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertEqual(len(self.server.find_windows(MONITOR_TITLE)), 1, "one window for the second monitor")
        self.assertLanternOn(saver, [self.server.PRIMARY, self.server.SECOND])

    def test_a_preview_opens_no_other_window(self):
        # The host leaves when its standard input ends, so it gets a pipe.
        host = start([support_library("x_host_window"), "--size", "160x120"], self.server.env(),
                     stdin=subprocess.PIPE)
        self.addCleanup(stop, host)
        self.addCleanup(host.stdin.close)
        windows = self.server.wait_for_window("gloamery test host", host)
        saver = self.start("/p", str(windows[0]))
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertEqual(visible_top_level_windows(self.server), windows)


class MonitorsThatComeAndGo(MonitorsCase):
    def monitor_windows(self):
        return [w for w in visible_top_level_windows(self.server) if w in self.server.find_windows(MONITOR_TITLE)]

    def test_a_monitor_switched_off_loses_its_window_and_switched_on_gets_the_scene_again(self):
        saver = self.start("/s")
        self.assertLanternOn(saver, [self.server.PRIMARY, self.server.SECOND])
        self.server.switch_off("DUMMY1")
        self.server.wait_for_monitors([self.server.PRIMARY])
        self.wait_for(lambda: not self.monitor_windows(), saver, "the second monitor's window stays")
        # The primary goes on drawing, no error box in the way.
        self.assertLanternOn(saver, [self.server.PRIMARY])
        self.assertEqual(visible_top_level_windows(self.server), self.server.find_windows(TITLE))

        others = read_swaps(saver.others_record)[0]
        self.server.switch_on("DUMMY1", SECOND_MODE[0], self.server.SECOND[0])
        self.server.wait_for_monitors([self.server.PRIMARY, self.server.SECOND])
        self.wait_for(self.monitor_windows, saver, "no window for the monitor switched on")
        self.assertEqual(self.geometries(MONITOR_TITLE, saver.process), [self.server.SECOND])
        self.assertLanternOn(saver, [self.server.PRIMARY, self.server.SECOND])
        self.assertGreater(read_swaps(saver.others_record)[0], others)

    def test_when_the_primary_monitor_goes_the_scenes_window_moves_to_the_new_one(self):
        saver = self.start("/s")
        self.server.switch_off("DUMMY0")
        # xrandr moves what is left to the origin.
        left = (0, 0) + self.server.SECOND[2:]
        self.server.wait_for_monitors([left])
        self.wait_for(lambda: self.geometries(TITLE, saver.process) == [left], saver,
                      lambda: "the scene's window is at %r" % self.geometries(TITLE, saver.process))
        self.wait_for(lambda: not self.monitor_windows(), saver, "a window is left over the new primary")
        # Its frames go on, paced and counted as the scene's own.
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertLanternOn(saver, [left])
        self.server.xdotool("mousemove", "300", "300", "key", "space")
        self.assertEndsWithStatusZero(saver)


class TooSlowForEveryMonitor(MonitorsCase):
    # Every swap made 40 ms slower, timed on the CPU: two windows take over a
    # twentieth of a second even at the smallest picture, one does not.
    def test_the_others_go_black_and_the_primary_keeps_the_scene(self):
        self.leave_a_note_on_the_second_monitor()
        saver = self.start("/s", preload=["gl_seam.so"], GLOAMERY_HIDE_TIMER_QUERIES="1",
                           GLOAMERY_SWAP_DELAY_MS="40")
        self.assertLanternOn(saver, [self.server.PRIMARY], black=[self.server.SECOND])
        self.assertEqual(self.geometries(MONITOR_TITLE, saver.process), [self.server.SECOND])
        saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
        self.assertLanternOn(saver, [self.server.PRIMARY], black=[self.server.SECOND])


class UnderAWindowManager(MonitorsCase):
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
        # The desktop never shows: the scene on both (or black on the second,
        # where the machine cannot afford both for long).
        self.assertLanternOn(saver, [self.server.PRIMARY], scene_or_black=[self.server.SECOND])
        for x, y, name in ((1300, 300, MONITOR_TITLE), (300, 300, TITLE), (1500, 500, MONITOR_TITLE)):
            self.server.xdotool("mousemove", str(x), str(y))
            deadline = time.monotonic() + PATIENCE
            while self.focused_window_name() != name:
                self.assertLess(time.monotonic(), deadline, "the focus did not follow the pointer to %r" % name)
                time.sleep(0.1)
            self.assertLanternOn(saver, [self.server.PRIMARY], scene_or_black=[self.server.SECOND])
        self.server.xdotool("key", "space")
        self.assertEndsWithStatusZero(saver)


class PacedByThePrimaryMonitor(unittest.TestCase):
    # A small, slow primary monitor beside a 60 Hz one (and a tall one): the
    # frames cost far less than the primary's refresh period, so the count
    # shows whose rate the pacer follows, with every monitor drawing. (How
    # far below it a loaded machine falls is a benchmark's business.)
    def test_the_primary_presents_at_its_own_refresh_with_two_and_three_monitors(self):
        for third in (False, True):
            with self.subTest(monitors=3 if third else 2), \
                    TwoMonitorXServer(primary_mode=TwoMonitorXServer.SLOW_SMALL_MODE, third=third) as server:
                self.assertEqual(server.refresh_rates()[0], 20)
                saver = Screensaver(server, "/s")
                try:
                    saver.wait_until_presenting()
                    frames0, _, t0 = saver.wait_for_frames(saver.frames() + SETTLING_FRAMES)
                    others0 = read_swaps(saver.others_record)[0]
                    frames1, _, t1 = saver.wait_for_frames(frames0 + 40)
                    others1 = read_swaps(saver.others_record)[0]
                finally:
                    saver.close()
                frames = frames1 - frames0
                self.assertGreaterEqual(t1 - t0, (frames - 1) / 20 * 0.99, "%d frames in %.3f s" % (frames, t1 - t0))
                # Every other monitor's window presents each frame too.
                self.assertGreaterEqual(others1 - others0, (frames - 2) * (2 if third else 1))


class ThreeMonitorRun(MonitorsCase):
    THIRD = True

    def test_a_tall_monitor_shows_the_lantern_at_its_own_aspect(self):
        saver = self.start("/s")
        self.assertEqual(self.geometries(MONITOR_TITLE, saver.process), [self.server.SECOND, self.server.THIRD])
        monitors = [self.server.PRIMARY, self.server.SECOND, self.server.THIRD]
        extents = self.assertLanternOn(saver, monitors)
        # The lantern is as wide, for the window's height, everywhere: the
        # same picture stretched from 4:3 to the tall 3:4 would be under
        # three fifths as wide.
        widths = [extent[2] / monitor[3] for extent, monitor in zip(extents, monitors)]
        for width in widths[1:]:
            self.assertLess(abs(width / widths[0] - 1), 0.2, (widths, extents))


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
