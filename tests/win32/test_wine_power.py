"""Gloamery.scr under Wine as the system's power management sees it: a
request to power the display off, sent to the full-screen window from another
process, reaches the default window procedure (where GLFW alone would swallow
it); the system's own screensaver request stays refused; and the run's
process draws below normal priority.

The test sees the default procedure at work through Wine's own trace of it:
with WINEDEBUG=trace+win, Wine's DefWindowProc writes "handle_sys_command
... WM_SYSCOMMAND <command>" for every system command it handles."""

import json
import re
import tempfile
import unittest

from wineharness import Wine, XServer, wait_for_exit, windows_binary

SCR = windows_binary("Gloamery.scr")
PROBE = windows_binary("power_probe.exe")
TITLE = "Gloamery 3D Screensaver"
WINDOW_TIMEOUT_MS = 90000
EXIT_TIMEOUT = 30
BELOW_NORMAL_PRIORITY_CLASS = 0x4000
SC_SCREENSAVE = 0xF140
SC_MONITORPOWER = 0xF170


def handled_commands(trace):
    return {int(c, 16) for c in re.findall(r"handle_sys_command hwnd \S+ WM_SYSCOMMAND ([0-9a-f]+)", trace)}


class PowerRequests(unittest.TestCase):
    def setUp(self):
        self.xserver = XServer(320, 240).__enter__()
        self.addCleanup(self.xserver.__exit__, None, None, None)
        self.wine = Wine(self.xserver)
        self.addCleanup(self.wine.stop_all)

    def test_the_display_may_power_off_and_the_run_gives_way(self):
        with tempfile.TemporaryFile() as trace:
            process = self.wine.start(SCR, "/s", stderr=trace, WINEDEBUG="-all,trace+win")
            probe = self.wine.run(PROBE, TITLE, str(WINDOW_TIMEOUT_MS), timeout=WINDOW_TIMEOUT_MS / 1000 + 60)
            self.assertEqual(probe.returncode, 0, "no full-screen window: %r" % probe.stderr)
            found = json.loads(probe.stdout)
            self.assertEqual(found["answered"], 1)
            self.assertEqual(found["priority_class"], BELOW_NORMAL_PRIORITY_CLASS)
            self.xserver.xdotool("key", "a")
            self.assertEqual(wait_for_exit(process, EXIT_TIMEOUT), 0)
            trace.seek(0)
            handled = handled_commands(trace.read().decode(errors="replace"))
        self.assertIn(SC_MONITORPOWER, handled, "the request never reached the default procedure")
        self.assertNotIn(SC_SCREENSAVE, handled, "another screensaver may not start over ours")


if __name__ == "__main__":
    unittest.main()
