"""The real Gloamery.scr under Wine on its own Xvfb: the full-screen run, the
input that ends it and the input that must not, the guard between two real
processes, and what the executable imports."""

import os
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from wineharness import Wine, XServer, wait_for_exit, wait_until, windows_binary

SCR = windows_binary("Gloamery.scr")
TITLE = "Gloamery 3D Screensaver"
SCREEN = (320, 240)
# Start-up under Wine (prefix already made) takes seconds; only a fault
# reaches these.
WINDOW_TIMEOUT = 90
FRAME_TIMEOUT = 120
EXIT_TIMEOUT = 30

# What a bare Windows has: the program must not need anything it would have
# to ship beside itself.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "opengl32.dll", "shell32.dll", "msvcrt.dll",
               "advapi32.dll", "comctl32.dll", "comdlg32.dll", "ole32.dll", "shlwapi.dll", "winmm.dll",
               "version.dll", "imm32.dll", "dwmapi.dll"}


def screen_pixels(xserver):
    """The root window as rows of (r, g, b)."""
    raw = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], env=xserver.env(),
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=60, check=True).stdout
    width, height = xserver.size
    if len(raw) != width * height * 3:
        raise AssertionError("screenshot of %d bytes, expected %d" % (len(raw), width * height * 3))
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]


def mean_colour(rows, box):
    left, top, right, bottom = box
    total = [0, 0, 0]
    count = 0
    for y in range(top, bottom):
        for x in range(left, right):
            for i in range(3):
                total[i] += rows[y][x][i]
            count += 1
    return tuple(t / count for t in total)


def is_black(rows):
    return all(max(p) < 8 for row in rows for p in row)


def wait_for_drawing(test, xserver, process):
    """The screen's rows once something is drawn on it; fails the test when
    it stays black."""
    shot = {}

    def drawn():
        shot["rows"] = screen_pixels(xserver)
        return not is_black(shot["rows"])

    test.assertTrue(wait_until(drawn, FRAME_TIMEOUT, interval=0.5, process=process),
                    "the screen stayed black (status %s)" % process.poll())
    return shot["rows"]


class FullScreenRun(unittest.TestCase):
    def setUp(self):
        self.xserver = XServer(*SCREEN).__enter__()
        self.wine = Wine(self.xserver)

    def tearDown(self):
        self.wine.stop_all()
        self.xserver.__exit__(None, None, None)

    def start_and_wait_for_window(self, *args):
        process = self.wine.start(SCR, *args)
        windows = self.xserver.wait_for_window(TITLE, process, timeout=WINDOW_TIMEOUT)
        return process, windows

    def wait_for_drawing(self, process):
        return wait_for_drawing(self, self.xserver, process)

    def assert_ends_with_status_zero(self, process):
        status = wait_for_exit(process, EXIT_TIMEOUT)
        self.assertEqual(status, 0, "the run did not end with status 0")

    def test_one_window_of_the_screen_size_draws_the_lantern_and_a_key_ends_it(self):
        process, windows = self.start_and_wait_for_window("/s")
        self.assertEqual(len(windows), 1)
        self.assertEqual(self.xserver.geometry(windows[0]), (0, 0) + SCREEN)
        rows = self.wait_for_drawing(process)
        # The lantern glows warm in the middle of the picture: its light is
        # redder than it is blue, and redder than the grey fog in the screen's
        # corner. (Which is brighter depends on the moment: in the scene's
        # first seconds the carved face is still dim. Over its first 30 s the
        # middle is 27 to 53 steps redder.)
        width, height = SCREEN
        middle = mean_colour(rows, (width * 2 // 5, height * 2 // 5, width * 3 // 5, height * 3 // 5))
        corner = mean_colour(rows, (0, 0, width // 8, height // 8))
        self.assertGreater(middle[0], middle[2] + 10, "no warm light in the middle: %s" % (middle,))
        self.assertGreater(middle[0], corner[0] + 15, "middle %s not redder than corner %s" % (middle, corner))
        self.xserver.xdotool("key", "a")
        self.assert_ends_with_status_zero(process)

    def test_a_mouse_button_ends_the_run(self):
        process, _ = self.start_and_wait_for_window("/s")
        self.wait_for_drawing(process)
        self.xserver.xdotool("mousemove", str(SCREEN[0] // 2), str(SCREEN[1] // 2), "click", "1")
        self.assert_ends_with_status_zero(process)

    def test_pointer_motion_leaves_it_running(self):
        process, _ = self.start_and_wait_for_window("/s")
        first = self.wait_for_drawing(process)
        for x, y in ((10, 10), (SCREEN[0] - 10, SCREEN[1] - 10), (SCREEN[0] // 2, 20)):
            self.xserver.xdotool("mousemove", str(x), str(y))
        # Two more presented frames mean at least one event poll ran after
        # the motion had reached the server; had it ended the run, the
        # process would be gone by then.
        seen = [first]
        for _ in range(2):
            seen.append(screen_pixels(self.xserver))
            previous = seen[-1]
            self.assertTrue(wait_until(lambda: screen_pixels(self.xserver) != previous, FRAME_TIMEOUT,
                                       interval=0.3, process=process),
                            "no new frame after the motion (status %s)" % process.poll())
        self.assertIsNone(process.poll(), "the run ended on pointer motion")
        self.xserver.xdotool("key", "Escape")
        self.assert_ends_with_status_zero(process)

    def test_a_second_guarded_start_leaves_at_once_while_the_first_runs(self):
        first, windows = self.start_and_wait_for_window()
        second = self.wine.run(SCR, timeout=WINDOW_TIMEOUT)
        self.assertEqual(second.returncode, 0)
        self.assertIsNone(first.poll(), "the first instance ended")
        self.assertEqual(self.xserver.find_windows(TITLE), windows, "the second start opened a window")
        self.xserver.xdotool("key", "space")
        self.assert_ends_with_status_zero(first)


class OldSystem(unittest.TestCase):
    """Systems before 6.0 get an 800x600 full-screen request instead of the
    monitor's mode. Wine reports an older version to one program name when
    told to; it cannot switch Xvfb's mode, so the window still covers the
    screen, and the picture shows the size the program chose: 800x600 in the
    bottom-left corner, the rest left black."""

    SCREEN = (832, 640)
    OLD_NAME = "GloameryOld.scr"

    def setUp(self):
        self.xserver = XServer(*self.SCREEN).__enter__()
        self.wine = Wine(self.xserver)
        self.folder = tempfile.mkdtemp()
        self.scr = os.path.join(self.folder, self.OLD_NAME)
        shutil.copy(SCR, self.scr)
        key = r"HKCU\Software\Wine\AppDefaults\%s" % self.OLD_NAME
        self.assertEqual(self.wine.run("reg", "add", key, "/v", "Version", "/d", "winxp64", "/f").returncode, 0)

    def tearDown(self):
        self.wine.stop_all()
        self.xserver.__exit__(None, None, None)
        shutil.rmtree(self.folder)

    def test_version_5_2_draws_800_by_600(self):
        process = self.wine.start(self.scr, "/s")
        self.xserver.wait_for_window(TITLE, process, timeout=WINDOW_TIMEOUT)
        width, height = self.SCREEN
        rows = wait_for_drawing(self, self.xserver, process)
        top = height - 600
        beside = [rows[y][x] for y in range(height) for x in range(804, width)]
        above = [rows[y][x] for y in range(0, top - 4) for x in range(width)]
        self.assertTrue(all(max(p) < 8 for p in beside), "drawn right of x = 800")
        self.assertTrue(all(max(p) < 8 for p in above), "drawn above the 600 bottom rows")
        # The drawn area reaches its own edges: its top row and right column
        # are not black.
        self.assertGreater(max(max(rows[top + 2][x]) for x in range(0, 800)), 8)
        self.assertGreater(max(max(rows[y][797]) for y in range(top, height)), 8)
        self.xserver.xdotool("key", "a")
        self.assertEqual(wait_for_exit(process, EXIT_TIMEOUT), 0)


class Executable(unittest.TestCase):
    def objdump(self):
        return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", SCR], stdout=subprocess.PIPE,
                              text=True, check=True, timeout=60).stdout

    def test_imports_only_system_dlls(self):
        imported = {name.lower() for name in re.findall(r"DLL Name: (\S+)", self.objdump())}
        self.assertIn("kernel32.dll", imported)
        self.assertEqual(imported - SYSTEM_DLLS, set(), "needs DLLs a bare Windows lacks")

    def test_is_a_gui_program_named_scr(self):
        self.assertTrue(SCR.endswith("Gloamery.scr") and os.path.isfile(SCR))
        self.assertRegex(self.objdump(), r"Subsystem\s+0+2\s+\(Windows GUI\)")


if __name__ == "__main__":
    unittest.main()
