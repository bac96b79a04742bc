"""The configuration start's About window under a real window manager.

Each test runs its own Xvfb with openbox on it, so the frame, the outer size
and the size hints are what a desktop gives the window. The browser hand-off
goes to a stand-in `xdg-open` placed first on PATH that adds its arguments to
a record, one line a run.
"""

import json
import os
import shutil
import stat
import subprocess
import sys
import tempfile
import time
import unittest

from screen_pixels import Picture, read_bmp
from xharness import PATIENCE, XServer, binary, clean_env, stderr_text, stop, unused_display, wait_for_exit

GLOAMERY = binary("gloamery")
SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LOGO_BMP = os.path.join(SOURCE_DIR, "resources", "images", "about_logo.bmp")

SCREEN = (1366, 768)
OUTER_SIZE = (400, 300)
ORIGIN = (483, 234)  # half the spare room of a 1366x768 screen, truncated
BACKGROUND = (177, 232, 179)
TITLE_RECT = (80, 20, 280, 20)
NOTICE_RECT = (20, 150, 380, 80)
BUTTON_RECT = (150, 210, 100, 32)
LOGO_AT = (142, 55)
ADDRESS = "https://www.vantaluxe.example/?utm_source=About"

# One write of one whole line, so a reader sees a run's line whole or not at all.
STAND_IN_HANDLER = """#!%s
import json, os, sys
with open(os.environ["ABOUT_HANDLER_RECORD"], "a") as f:
    f.write(json.dumps(sys.argv[1:]) + "\\n")
""" % sys.executable


def is_dark(p):
    return sum(p) < 200


def is_blue(p):
    return p[2] > 150 and p[0] < 120 and p[2] - p[1] > 60


class AboutWindowRun(unittest.TestCase):
    def setUp(self):
        self.server = XServer(*SCREEN).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.start_window_manager()

        self.scratch = tempfile.mkdtemp(prefix="gloamery-about-")
        self.addCleanup(shutil.rmtree, self.scratch, True)
        handler = os.path.join(self.scratch, "xdg-open")
        with open(handler, "w") as f:
            f.write(STAND_IN_HANDLER)
        os.chmod(handler, stat.S_IRWXU)
        self.record = os.path.join(self.scratch, "handler-argv.json")

        self.handler = handler
        self.about = self.server.start(GLOAMERY, "/c", ABOUT_HANDLER_RECORD=self.record,
                                       PATH=self.scratch + os.pathsep + os.environ.get("PATH", ""))
        self.addCleanup(stop, self.about)
        self.window = self.server.wait_for_window("About", self.about)[0]
        self.client = self.wait_for_placed_geometry()

    def start_window_manager(self):
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.server.env(),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(stop, wm)
        deadline = time.monotonic() + PATIENCE
        while time.monotonic() < deadline:
            probe = self.server.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False)
            if "window id" in probe.stdout:
                return
            time.sleep(0.1)
        self.fail("openbox did not take over the screen")

    def frame_extents(self):
        """(left, right, top, bottom) that the window manager draws around the client."""
        out = self.server.run("xprop", "-id", str(self.window), "_NET_FRAME_EXTENTS", check=False).stdout
        if "=" not in out:
            return None
        return tuple(int(v) for v in out.split("=")[1].split(","))

    def outer_geometry(self):
        """(x, y, width, height) of the frame and the client's geometry, or
        None while the window manager has not framed the window."""
        client, extents = self.server.geometry(self.window), self.frame_extents()
        if extents is None:
            return None, client
        left, right, top, bottom = extents
        x, y, width, height = client
        return (x - left, y - top, width + left + right, height + top + bottom), client

    def wait_for_placed_geometry(self, timeout=PATIENCE):
        """The client's (x, y, width, height) once the frame has the outer size
        and place the program asks for, and the program's event loop has seen
        it (it answers a ping sent after). Fails with the last geometry seen if
        the window never gets there or leaves it."""
        expected = ORIGIN + OUTER_SIZE
        deadline = time.monotonic() + timeout
        outer, client = self.outer_geometry()
        while outer != expected and time.monotonic() < deadline:
            time.sleep(0.05)
            outer, client = self.outer_geometry()
        self.assertEqual(outer, expected, "frame (x, y, width, height) never where the program puts it")
        self.assertTrue(self.server.ping(self.window), "the About window's event loop does not answer")
        outer, client = self.outer_geometry()
        self.assertEqual(outer, expected, "the window moved on after its placement")
        return client

    def screen_point(self, x, y):
        return self.client[0] + x, self.client[1] + y

    def test_caption_outer_size_centring_and_fixed_size(self):
        name = self.server.run("xprop", "-id", str(self.window), "_NET_WM_NAME").stdout
        self.assertIn('= "About"', name)

        left, right, top, bottom = self.frame_extents()
        self.assertGreater(top, 0, "openbox draws a title bar")
        x, y, width, height = self.client
        self.assertEqual((width + left + right, height + top + bottom), OUTER_SIZE)
        self.assertEqual((x - left, y - top), ORIGIN)

        hints = self.server.run("xprop", "-id", str(self.window), "WM_NORMAL_HINTS").stdout
        self.assertIn("minimum size: %d by %d" % (width, height), hints)
        self.assertIn("maximum size: %d by %d" % (width, height), hints)

        # A resize request from outside is refused too. The window manager
        # takes requests in order, so once a move sent after the resize has
        # been carried out, the resize has had its answer.
        self.server.xdotool("windowsize", str(self.window), "600", "500", "windowmove", str(self.window), "20", "30")
        deadline = time.monotonic() + PATIENCE
        while self.server.geometry(self.window)[:2] == (x, y):
            self.assertLess(time.monotonic(), deadline, "the window manager never moved the window")
            time.sleep(0.05)
        self.assertEqual(self.server.geometry(self.window)[2:], (width, height))

    def test_screenshot_shows_background_title_logo_notice_and_button(self):
        path = os.path.join(self.scratch, "about.png")
        self.server.screenshot(path)
        kept = os.environ.get("GLOAMERY_ABOUT_SCREENSHOT")
        if kept:
            shutil.copyfile(path, kept)
        shot = Picture(path)

        def pixel(x, y):
            return shot.at(*self.screen_point(x, y))

        width, height = self.client[2:]
        for x, y in ((2, 2), (width - 3, height - 3), (30, 100), (300, 120), (10, 270), (390, 60)):
            self.assertEqual(pixel(x, y), BACKGROUND, "background at (%d, %d)" % (x, y))

        logo_width, logo_height, logo = read_bmp(LOGO_BMP)
        self.assertEqual((logo_width, logo_height), (110, 83))
        mismatches = [(x, y) for y in range(logo_height) for x in range(logo_width)
                      if pixel(LOGO_AT[0] + x, LOGO_AT[1] + y) != logo[y][x]]
        self.assertEqual(mismatches[:5], [], "%d logo pixels differ" % len(mismatches))
        # Just outside the logo it is background again: drawn at its own size.
        for x, y in ((LOGO_AT[0] - 1, LOGO_AT[1] + 40), (LOGO_AT[0] + logo_width, LOGO_AT[1] + 40),
                     (LOGO_AT[0] + 50, LOGO_AT[1] + logo_height)):
            self.assertEqual(pixel(x, y), BACKGROUND)

        def count(test, rect):
            rx, ry, rw, rh = rect
            return sum(1 for y in range(ry, ry + rh) for x in range(rx, min(rx + rw, width)) if test(pixel(x, y)))

        # Title: black text in its box, nothing dark between the top and the logo outside it.
        self.assertGreater(count(is_dark, TITLE_RECT), 300)
        above_logo = count(is_dark, (0, 0, width, LOGO_AT[1]))
        self.assertEqual(above_logo, count(is_dark, TITLE_RECT), "dark pixels only inside the title box")
        # Its underline: one row of the box that is dark across most of the text's width.
        rows = [sum(1 for x in range(TITLE_RECT[0], TITLE_RECT[0] + TITLE_RECT[2]) if is_dark(pixel(x, y)))
                for y in range(TITLE_RECT[1], TITLE_RECT[1] + TITLE_RECT[3])]
        self.assertGreater(max(rows), 150, "an underline runs under the title")

        # Notice: blue text in its box, in three separate lines above the button.
        self.assertGreater(count(is_blue, NOTICE_RECT), 1000)
        self.assertEqual(count(is_blue, (0, LOGO_AT[1] + logo_height, NOTICE_RECT[0], 100)), 0)
        blue_rows = [y for y in range(NOTICE_RECT[1], BUTTON_RECT[1])
                     if any(is_blue(pixel(x, y)) for x in range(NOTICE_RECT[0], width))]
        lines = 1 + sum(1 for a, b in zip(blue_rows, blue_rows[1:]) if b > a + 1)
        self.assertEqual(lines, 3, "notice rows %r" % blue_rows)
        self.assertGreaterEqual(blue_rows[0], NOTICE_RECT[1])

        # Button: its face, border included, covers exactly its box; the theme's
        # faint shadow outside it stays within a few levels of the background.
        # (The notice's last line ends a few rows above the button.)
        def face(p):
            return max(abs(a - b) for a, b in zip(p, BACKGROUND)) > 12

        bx, by, bw, bh = BUTTON_RECT
        across = [x for x in range(bx - 20, bx + bw + 20) if face(pixel(x, by + bh // 2))]
        down = [y for y in range(by - 4, by + bh + 20) if face(pixel(bx + 5, y))]
        self.assertEqual((across[0], across[-1] + 1, len(across)), (bx, bx + bw, bw))
        self.assertEqual((down[0], down[-1] + 1, len(down)), (by, by + bh, bh))
        self.assertGreater(count(is_dark, BUTTON_RECT), 50, "the button's label")

    def clicks(self, *points):
        """Left clicks at client points, in order, from one connection."""
        steps = []
        for x, y in points:
            sx, sy = self.screen_point(x, y)
            steps += ["mousemove", str(sx), str(sy), "click", "1"]
        self.server.xdotool(*steps)

    def handler_runs(self):
        """The argument lists of the stand-in's finished runs, in order."""
        if not os.path.exists(self.record):
            return []
        with open(self.record) as f:
            return [json.loads(line) for line in f if line.endswith("\n")]

    def running_handlers(self):
        """Pids of the stand-in handlers still running."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    arguments = f.read().split(b"\0")
            except OSError:
                continue
            if self.handler.encode() in arguments:
                found.append(int(pid))
        return found

    def test_website_button_hands_the_address_to_the_handler_and_the_window_stays(self):
        # A click on the notice and then one on the button. The program takes
        # them in order and a handler runs once started, so by the time the
        # button's run is on record any run for the notice has been started
        # too: once no stand-in runs any more, the record is complete.
        self.clicks((NOTICE_RECT[0] + 40, NOTICE_RECT[1] + 8),
                    (BUTTON_RECT[0] + BUTTON_RECT[2] // 2, BUTTON_RECT[1] + BUTTON_RECT[3] // 2))
        deadline = time.monotonic() + PATIENCE
        while not self.handler_runs() or self.running_handlers():
            self.assertLess(time.monotonic(), deadline, "the handler was not started, or never ended")
            self.assertIsNone(self.about.poll(), stderr_text(self.about))
            time.sleep(0.05)
        self.assertEqual(self.handler_runs(), [[ADDRESS]], "one run for the button, none for the notice")

        # The window answers a ping from its event loop after the click: the
        # run goes on.
        self.assertTrue(self.server.ping(self.window), "the About window's event loop no longer answers")
        self.assertIsNone(self.about.poll(), "the About run goes on")
        self.assertEqual(self.server.find_windows("About"), [self.window])

    def test_closing_the_window_ends_the_run_with_zero(self):
        self.server.run("wmctrl", "-c", "About")
        self.assertEqual(wait_for_exit(self.about, PATIENCE), 0, stderr_text(self.about))

    def test_the_x_server_going_away_ends_the_run_with_zero(self):
        self.server.process.kill()
        self.assertEqual(wait_for_exit(self.about, 15), 0, self.about.stderr.read() if self.about.poll() else "")


class AboutWithoutADisplay(unittest.TestCase):
    def run_about(self, **display):
        return subprocess.run([GLOAMERY, "/c"], env=clean_env(**display), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, timeout=PATIENCE)

    def test_reports_the_failed_window_and_ends_with_zero(self):
        for display in ({}, {"DISPLAY": unused_display()}):
            with self.subTest(display=display):
                result = self.run_about(**display)
                self.assertEqual(result.returncode, 0)
                self.assertIn("Error!: Window Creation Failed!\n", result.stderr)


if __name__ == "__main__":
    unittest.main()
