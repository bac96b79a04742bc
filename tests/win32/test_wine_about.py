"""The Windows build's configuration start: the real Gloamery.scr with /c
under Wine on its own Xvfb.

Wine draws the window's frame itself (no X window manager), so the screen
shows the outer window exactly as Windows lays it out. A probe program run
in the same Wine prefix reports what Windows knows about the window: class,
caption, rectangles, styles and controls. The shell's "open" verb on a web
address goes through Wine's winebrowser to `xdg-open`; a stand-in of that
name first on PATH writes down what it was given.
"""

import json
import os
import shutil
import stat
import sys
import tempfile
import unittest

from screen_pixels import Picture, read_bmp
from wineharness import Wine, XServer, probe_window, wait_for_exit, wait_until, windows_binary

SCR = windows_binary("Gloamery.scr")
SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
LOGO_BMP = os.path.join(SOURCE_DIR, "resources", "images", "about_logo.bmp")

SCREEN = (1366, 768)
WINDOW = [483, 234, 400, 300]  # centred: half the spare room of a 1366x768 screen, truncated
BACKGROUND = (177, 232, 179)
TITLE_COLOUR = (0, 0, 0)
NOTICE_COLOUR = (0, 51, 255)
TITLE_RECT = (80, 20, 280, 20)
NOTICE_RECT = (20, 150, 380, 80)
BUTTON_RECT = (150, 210, 100, 32)
LOGO_AT = (142, 55)
# Start-up under Wine takes seconds; only a fault reaches these.
WINDOW_TIMEOUT = 90
PAINT_TIMEOUT = 60
HANDLER_TIMEOUT = 60
EXIT_TIMEOUT = 30
ADDRESS = "https://www.vantaluxe.example/?utm_source=About"
NOTICE = ("Copyright (C) 2011-2025 Vantaluxe. All rights reserved.\r\n"
          "More free screensavers at https://www.vantaluxe.example\r\n"
          "Questions or ideas? Write to support@vantaluxe.example")

WS_CHILD, WS_VISIBLE, WS_TABSTOP = 0x40000000, 0x10000000, 0x00010000
WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x00C00000, 0x00080000, 0x00040000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000

STAND_IN_HANDLER = """#!%s
import json, os, sys
with open(os.environ["ABOUT_HANDLER_RECORD"], "a") as f:
    f.write(json.dumps(sys.argv[1:]) + "\\n")
""" % sys.executable


def first_value(produce, timeout, interval=0.1, process=None):
    """The first true value of produce() within timeout seconds, else None."""
    found = []

    def produced():
        value = produce()
        if value:
            found.append(value)
        return bool(value)

    wait_until(produced, timeout, interval=interval, process=process)
    return found[0] if found else None


class AboutUnderWine(unittest.TestCase):
    def setUp(self):
        self.server = XServer(*SCREEN).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)
        self.wine = Wine(self.server)
        self.addCleanup(self.wine.stop_all)
        # No window manager runs, so Wine draws the frames itself, as Windows
        # would; read when a program starts.
        decorated = self.wine.run("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N",
                                  "/f")
        self.assertEqual(decorated.returncode, 0, decorated.stderr)

        self.scratch = tempfile.mkdtemp(prefix="gloamery-about-win32-")
        self.addCleanup(shutil.rmtree, self.scratch, True)
        handler = os.path.join(self.scratch, "xdg-open")
        with open(handler, "w") as f:
            f.write(STAND_IN_HANDLER)
        os.chmod(handler, stat.S_IRWXU)
        self.record = os.path.join(self.scratch, "handler-argv.jsonl")

        self.about = self.start_about()
        self.server.wait_for_window("About", self.about, timeout=WINDOW_TIMEOUT)
        self.info = self.probe()
        self.assertTrue(self.info, "Windows does not know the About window")

    def start_about(self):
        """Gloamery.scr /c, with the stand-in handler first on PATH."""
        return self.wine.start(SCR, "/c", ABOUT_HANDLER_RECORD=self.record,
                               PATH=self.scratch + os.pathsep + os.environ.get("PATH", ""))

    def probe(self, timeout_ms=30000):
        return probe_window(self.wine, "VantaluxeWindowClass", "About", timeout_ms)

    def screen_point(self, x, y):
        origin = self.info["client_origin"]
        return origin[0] + x, origin[1] + y

    def click(self, x, y):
        self.server.xdotool("mousemove", str(x), str(y), "click", "1")

    def test_class_caption_centred_outer_size_and_controls(self):
        info = self.info
        self.assertEqual(info["class"], "VantaluxeWindowClass")
        self.assertEqual(info["caption"], "About")
        self.assertEqual(info["screen"], list(SCREEN))
        self.assertEqual(info["window"], WINDOW)
        self.assertFalse(info["owner"])
        # A top-level window with only a system menu: Windows adds the caption
        # that goes with it, and nothing lets it be resized, minimised or maximised.
        style = info["style"]
        self.assertEqual(style & (WS_CAPTION | WS_SYSMENU | WS_VISIBLE), WS_CAPTION | WS_SYSMENU | WS_VISIBLE)
        self.assertEqual(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD), 0)
        self.assertIsNotNone(info["close_box"], "the caption has a close box")

        controls = [(c["class"].lower(), c["text"], c["id"], tuple(c["rect"]), c["style"] & 0xFFFF0000)
                    for c in info["controls"]]
        self.assertEqual(controls, [
            ("static", NOTICE, 10, NOTICE_RECT, WS_CHILD | WS_VISIBLE | WS_TABSTOP),
            ("static", "Gloamery 3D Screensaver", 30, TITLE_RECT, WS_CHILD | WS_VISIBLE | WS_TABSTOP),
            ("button", "Visit website", 10, BUTTON_RECT, WS_CHILD | WS_VISIBLE),
        ])

        # With no window manager Wine maps the whole outer window, frame and
        # all, to one X window named by the caption.
        windows = self.server.find_windows("About")
        self.assertEqual(len(windows), 1)
        self.assertEqual(list(self.server.geometry(windows[0])), WINDOW)

    def painted_screenshot(self, logo):
        """A screenshot taken once the logo is on screen, so the window has painted."""
        path = os.path.join(self.scratch, "about.png")

        def shot_with_logo():
            self.server.screenshot(path)
            shot = Picture(path)
            corners = ((0, 0), (len(logo[0]) - 1, len(logo) - 1))
            if all(shot.at(*self.screen_point(LOGO_AT[0] + x, LOGO_AT[1] + y)) == logo[y][x] for x, y in corners):
                return shot
            return None

        shot = first_value(shot_with_logo, PAINT_TIMEOUT, interval=0.2, process=self.about)
        self.assertIsNotNone(shot, "the logo never appeared")
        kept = os.environ.get("GLOAMERY_ABOUT_WIN32_SCREENSHOT")
        if kept:
            shutil.copyfile(path, kept)
        return shot

    def test_screenshot_shows_background_title_logo_notice_and_button(self):
        logo_width, logo_height, logo = read_bmp(LOGO_BMP)
        self.assertEqual((logo_width, logo_height), (110, 83))
        shot = self.painted_screenshot(logo)
        width, height = self.info["client_size"]

        def pixel(x, y):
            return shot.at(*self.screen_point(x, y))

        def colours(rect):
            rx, ry, rw, rh = rect
            found = {}
            for y in range(ry, ry + rh):
                for x in range(rx, min(rx + rw, width)):
                    found[pixel(x, y)] = found.get(pixel(x, y), 0) + 1
            return found

        for x, y in ((0, 0), (width - 1, height - 1), (30, 100), (300, 120), (10, 270), (390, 60)):
            self.assertEqual(pixel(x, y), BACKGROUND, "background at (%d, %d)" % (x, y))

        mismatches = [(x, y) for y in range(logo_height) for x in range(logo_width)
                      if pixel(LOGO_AT[0] + x, LOGO_AT[1] + y) != logo[y][x]]
        self.assertEqual(mismatches[:5], [], "%d logo pixels differ" % len(mismatches))
        for x, y in ((LOGO_AT[0] - 1, LOGO_AT[1] + 40), (LOGO_AT[0] + logo_width, LOGO_AT[1] + 40),
                     (LOGO_AT[0] + 50, LOGO_AT[1] - 1), (LOGO_AT[0] + 50, LOGO_AT[1] + logo_height)):
            self.assertEqual(pixel(x, y), BACKGROUND, "drawn at its own size, at its place")

        # Title: black on the background, underlined (a row black across most
        # of the text), and nothing but background above the logo outside it.
        title = colours(TITLE_RECT)
        self.assertGreater(title.get(TITLE_COLOUR, 0), 300)
        self.assertNotIn(NOTICE_COLOUR, title)
        rows = [sum(1 for x in range(TITLE_RECT[0], TITLE_RECT[0] + TITLE_RECT[2]) if pixel(x, y) == TITLE_COLOUR)
                for y in range(TITLE_RECT[1], TITLE_RECT[1] + TITLE_RECT[3])]
        self.assertGreater(max(rows), 150, "an underline runs under the title")
        above_logo = colours((0, 0, width, LOGO_AT[1]))
        self.assertEqual(sum(above_logo.values()) - above_logo[BACKGROUND],
                         sum(title.values()) - title[BACKGROUND], "text above the logo only in the title box")

        # Notice: blue on the background in three lines, above the button.
        above_button = (NOTICE_RECT[0], NOTICE_RECT[1], NOTICE_RECT[2], BUTTON_RECT[1] - NOTICE_RECT[1])
        notice = colours(above_button)
        self.assertGreater(notice.get(NOTICE_COLOUR, 0), 1000)
        self.assertNotIn(TITLE_COLOUR, notice)
        blue_rows = [y for y in range(NOTICE_RECT[1], BUTTON_RECT[1])
                     if any(pixel(x, y) == NOTICE_COLOUR for x in range(NOTICE_RECT[0], width))]
        lines = 1 + sum(1 for a, b in zip(blue_rows, blue_rows[1:]) if b > a + 1)
        self.assertEqual(lines, 3, "notice rows %r" % blue_rows)
        self.assertEqual(colours((0, LOGO_AT[1] + logo_height, NOTICE_RECT[0], height - LOGO_AT[1] - logo_height)),
                         {BACKGROUND: NOTICE_RECT[0] * (height - LOGO_AT[1] - logo_height)}, "left of the notice")

        # Button: the system's button face fills exactly its box, with its label.
        bx, by, bw, bh = BUTTON_RECT
        across = [x for x in range(bx - 10, bx + bw + 10) if pixel(x, by + bh // 2) != BACKGROUND]
        down = [y for y in range(by + bh // 2, by + bh + 10) if pixel(bx + 5, y) != BACKGROUND]
        self.assertEqual((across[0], across[-1] + 1), (bx, bx + bw))
        self.assertEqual(down[-1] + 1, by + bh)
        self.assertGreater(colours(BUTTON_RECT).get((0, 0, 0), 0), 50, "the button's label")

    def handler_calls(self):
        if not os.path.exists(self.record):
            return []
        with open(self.record) as f:
            return [json.loads(line) for line in f if line.endswith("\n")]

    def test_website_button_opens_the_address_and_the_window_stays(self):
        # The notice is clicked first: had it opened anything, that call would
        # be in the record ahead of the button's.
        self.click(*self.screen_point(NOTICE_RECT[0] + 40, NOTICE_RECT[1] + 8))
        self.click(*self.screen_point(BUTTON_RECT[0] + BUTTON_RECT[2] // 2, BUTTON_RECT[1] + BUTTON_RECT[3] // 2))
        calls = first_value(self.handler_calls, HANDLER_TIMEOUT, process=self.about)
        self.assertEqual(calls, [[ADDRESS]])

        self.assertIsNone(self.about.poll(), "the About run goes on")
        again = self.probe(timeout_ms=0)
        self.assertIsNotNone(again, "the About window is still shown")
        self.assertEqual(again["window"], WINDOW)
        self.assertTrue(again["answers"], "and its message loop still runs")

    def test_close_box_ends_the_run_with_zero(self):
        self.click(*self.info["close_box"])
        self.assertEqual(wait_for_exit(self.about, EXIT_TIMEOUT), 0)
        self.assertEqual(self.server.find_windows("About"), [])


if __name__ == "__main__":
    unittest.main()
