"""Gloamery.scr under Wine on an X server with two monitors (Xorg's dummy
driver): Windows' view of the same machine must give the same run as the
Linux program, the scene on both monitors, and the same input rules over
both."""

import os
import shutil
import subprocess
import tempfile
import unittest

from screen_pixels import Picture
from wineharness import Wine, wait_for_exit, wait_until, windows_binary
from xharness import stop
from xorg_dummy import SECOND_MODE, TwoMonitorXServer

SCR = windows_binary("Gloamery.scr")
TITLE = "Gloamery 3D Screensaver"
MONITOR_TITLE = TITLE + " monitor"
NOTE_TITLE = "left on the second monitor"
# Start-up under Wine (prefix already made) takes seconds; only a fault
# reaches these.
WINDOW_TIMEOUT = 90
FRAME_TIMEOUT = 120
EXIT_TIMEOUT = 30


class TwoMonitorRunUnderWine(unittest.TestCase):
    def setUp(self):
        self.server = TwoMonitorXServer().__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.wine = Wine(self.server)
        self.addCleanup(self.wine.stop_all)
        self.folder = tempfile.mkdtemp(prefix="gloamery-wine-monitors-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        x, y, width, height = self.server.SECOND
        note = self.server.start("xmessage", "-name", NOTE_TITLE, "-title", NOTE_TITLE, "-bg", "white",
                                 "-geometry", "%dx%d+%d+%d" % (width, height, x, y), "Readable desktop text")
        self.addCleanup(stop, note)
        self.server.wait_for_window(NOTE_TITLE, note)
        self.assertGreater(self.screenshot().brightest(self.server.SECOND), 200)

    def screenshot(self):
        path = os.path.join(self.folder, "root.png")
        self.server.screenshot(path)
        return Picture(path)

    def start_run(self):
        process = self.wine.start(SCR, "/s", stdin=subprocess.DEVNULL)
        self.server.wait_for_window(TITLE, process, timeout=WINDOW_TIMEOUT)
        return process

    def wait_until_both_monitors_show_the_run(self, process):
        """The lantern on both monitors, in one screenshot: Wine shows a
        top-level GL window's pixels on screen."""
        seen = {}

        def shown():
            picture = self.screenshot()
            seen["warm"] = [picture.warm_pixels(m) for m in (self.server.PRIMARY, self.server.SECOND)]
            return all(warm > 20 for warm in seen["warm"])

        self.assertTrue(wait_until(shown, FRAME_TIMEOUT, interval=0.5, process=process),
                        "not on both (status %s): lantern pixels %s" % (process.poll(), seen.get("warm")))

    def assertEndsWithStatusZero(self, process):
        self.assertEqual(wait_for_exit(process, EXIT_TIMEOUT), 0, "the run did not end with status 0")

    def test_draws_on_both_monitors_and_a_key_over_the_second_ends_it(self):
        process = self.start_run()
        others = self.server.wait_for_window(MONITOR_TITLE, process, timeout=WINDOW_TIMEOUT)
        self.assertEqual([self.server.geometry(w) for w in others], [self.server.SECOND])
        self.wait_until_both_monitors_show_the_run(process)
        self.server.xdotool("mousemove", "1300", "300")
        self.server.xdotool("key", "a")
        self.assertEndsWithStatusZero(process)

    def test_motion_over_the_second_monitor_leaves_it_running_and_a_click_there_ends_it(self):
        process = self.start_run()
        self.wait_until_both_monitors_show_the_run(process)
        for x, y in ((1300, 300), (1800, 590), (1500, 100)):
            self.server.xdotool("mousemove", str(x), str(y))
        # The scene changes frame by frame: two changes after the motion mean
        # event polls ran after it had arrived.
        for _ in range(2):
            before = self.screenshot().pixels
            self.assertTrue(wait_until(lambda: self.screenshot().pixels != before, FRAME_TIMEOUT, interval=0.3,
                                       process=process),
                            "no new frame after the motion (status %s)" % process.poll())
        self.assertIsNone(process.poll(), "the run ended on pointer motion")
        self.wait_until_both_monitors_show_the_run(process)
        self.server.xdotool("click", "1")
        self.assertEndsWithStatusZero(process)

    def test_a_monitor_switched_off_loses_its_window_and_gets_one_again_when_switched_on(self):
        # Wine's monitor list follows the X server's, but Wine tells a running
        # program nothing of the change: the run's own watch must see it.
        process = self.start_run()
        self.server.wait_for_window(MONITOR_TITLE, process, timeout=WINDOW_TIMEOUT)
        visible = lambda: self.server.run("xdotool", "search", "--onlyvisible", "--name", MONITOR_TITLE,
                                          check=False).stdout.split()
        self.server.switch_off("DUMMY1")
        self.assertTrue(wait_until(lambda: not visible(), WINDOW_TIMEOUT, process=process),
                        "the window stays (status %s)" % process.poll())
        self.server.switch_on("DUMMY1", SECOND_MODE[0], self.server.SECOND[0])
        self.assertTrue(wait_until(visible, WINDOW_TIMEOUT, process=process),
                        "no window for the monitor switched on (status %s)" % process.poll())
        self.assertEqual([self.server.geometry(int(w)) for w in visible()], [self.server.SECOND])
        self.wait_until_both_monitors_show_the_run(process)
        self.server.xdotool("mousemove", "1300", "300", "key", "a")
        self.assertEndsWithStatusZero(process)


if __name__ == "__main__":
    unittest.main()
