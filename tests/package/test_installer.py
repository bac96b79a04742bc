"""The Windows installer under real Wine: silent installs and uninstalls, what
they leave in the 64-bit system folder and the registry, and the installed
screensaver's run."""

import os
import subprocess
import unittest

from packages import built, project_version
from wineharness import Wine, XServer, wait_for_exit, wait_until, windows_binary
from xharness import LineReader

TITLE = "Gloamery 3D Screensaver"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gloamery"
DESKTOP_KEY = r"HKCU\Control Panel\Desktop"
INSTALLED_SCR = r"C:\windows\system32\Gloamery.scr"
PREVIOUS = r"C:\windows\system32\previous.scr"
# Under Wine an install or uninstall takes seconds; only a fault reaches these.
SETUP_TIMEOUT = 120
FRAME_TIMEOUT = 120
EXIT_TIMEOUT = 30


class Installer(unittest.TestCase):
    """Wine stops its server when the prefix's last program ends and starts
    it, with its services, for the next one: seconds for each `wine reg`. An
    idle console held open for the whole case keeps the server up."""

    @classmethod
    def setUpClass(cls):
        cls.setup_exe = built("Gloamery-%s-setup.exe" % project_version())

    def setUp(self):
        self.xserver = XServer(320, 240).__enter__()
        self.addCleanup(self.xserver.__exit__, None, None, None)
        self.wine = Wine(self.xserver)
        self.addCleanup(self.wine.stop_all)
        self.keep_server_up()
        # The prefix is shared with the other Windows suites: leave it as found.
        self.found_active = self.active_screensaver()
        self.addCleanup(self.remove_all_traces)

    def keep_server_up(self):
        """Returns once the console is up: programs started while the server
        itself still starts can wait on it for good."""
        console = subprocess.Popen(["wine", "cmd", "/k", "echo", "up"], env=self.wine.env(), stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.wine.processes.append(console)
        self.addCleanup(console.stdin.close)
        self.assertEqual(LineReader(console.stdout).readline(SETUP_TIMEOUT).strip(), "up")

    def values(self, key):
        """{name: data} of a registry key as `reg query` shows it, None when
        the key does not exist."""
        result = self.wine.run("reg", "query", key)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.decode(errors="replace").splitlines():
            fields = line.strip().split(None, 2)
            if len(fields) >= 2 and fields[1].startswith("REG_"):
                values[fields[0]] = fields[2] if len(fields) == 3 else ""
        return values

    def set_active_screensaver(self, path):
        if path is None:
            self.wine.run("reg", "delete", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/f")
        else:
            result = self.wine.run("reg", "add", DESKTOP_KEY, "/v", "SCRNSAVE.EXE", "/d", path, "/f")
            self.assertEqual(result.returncode, 0, result.stderr)

    def active_screensaver(self):
        return (self.values(DESKTOP_KEY) or {}).get("SCRNSAVE.EXE")

    def unix_path(self, windows_path):
        drive, rest = windows_path.split(":", 1)
        self.assertEqual(drive.upper(), "C")
        return os.path.join(self.wine.prefix, "drive_c", *rest.strip("\\").split("\\"))

    def remove_all_traces(self):
        entry = self.values(UNINSTALL_KEY)
        if entry is not None:
            self.uninstall(entry)
        scr = self.unix_path(INSTALLED_SCR)
        if os.path.exists(scr):
            os.remove(scr)
        if self.active_screensaver() != self.found_active:
            self.set_active_screensaver(self.found_active)

    def install(self, *switches):
        """Installs silently; the uninstall entry it made."""
        result = self.wine.run(self.setup_exe, "/S", *switches, timeout=SETUP_TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)
        entry = self.values(UNINSTALL_KEY)
        self.assertIsNotNone(entry, "no uninstall entry after the install")
        return entry

    def uninstall(self, entry):
        """Runs the quiet uninstall command of the entry, as Windows would.
        The uninstaller hands its work to a copy of itself and returns at
        once; removing the entry is that copy's last step."""
        command = entry.get("QuietUninstallString", "")
        self.assertTrue(command.startswith('"'), command)
        program, _, switches = command[1:].partition('"')
        result = self.wine.run(program, *switches.split(), timeout=SETUP_TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(wait_until(lambda: self.values(UNINSTALL_KEY) is None, SETUP_TIMEOUT, interval=0.2),
                        "the uninstall entry stayed")

    def assertInstalled(self):
        with open(self.unix_path(INSTALLED_SCR), "rb") as installed, \
                open(windows_binary("Gloamery.scr"), "rb") as built_scr:
            self.assertTrue(installed.read() == built_scr.read(), "the installed .scr is not the built one")

    def assertSameWindowsPath(self, actual, expected):
        self.assertIsNotNone(actual)
        self.assertEqual(actual.lower(), expected.lower())

    def assertRunsAndEndsOnAKey(self, scr):
        process = self.wine.start(scr, "/s")
        self.xserver.wait_for_window(TITLE, process, timeout=FRAME_TIMEOUT)
        self.xserver.xdotool("key", "a")
        self.assertEqual(wait_for_exit(process, EXIT_TIMEOUT), 0, "the installed run did not end with 0")

    def test_silent_install_registers_activates_runs_and_uninstalls_back_to_before(self):
        self.set_active_screensaver(PREVIOUS)
        entry = self.install()

        self.assertInstalled()
        self.assertEqual(entry["DisplayName"], TITLE)
        self.assertEqual(entry["DisplayVersion"], project_version())
        self.assertEqual(entry["Publisher"], "Vantaluxe")
        self.assertSameWindowsPath(entry["DisplayIcon"], INSTALLED_SCR + ",0")
        scr_kib = os.path.getsize(self.unix_path(INSTALLED_SCR)) // 1024
        self.assertGreaterEqual(int(entry["EstimatedSize"], 16), scr_kib, entry["EstimatedSize"])
        uninstaller = entry["UninstallString"].strip('"')
        self.assertTrue(os.path.isfile(self.unix_path(uninstaller)), uninstaller)
        self.assertEqual(entry["QuietUninstallString"], entry["UninstallString"] + " /S")
        self.assertSameWindowsPath(self.active_screensaver(), INSTALLED_SCR)
        self.assertRunsAndEndsOnAKey(INSTALLED_SCR)

        # A second install over the first must not take Gloamery itself for
        # the screensaver to put back.
        entry = self.install()
        self.uninstall(entry)
        self.assertFalse(os.path.exists(self.unix_path(INSTALLED_SCR)))
        self.assertFalse(os.path.exists(os.path.dirname(self.unix_path(uninstaller))))
        self.assertSameWindowsPath(self.active_screensaver(), PREVIOUS)

    def test_the_interactive_install_activates_with_its_box_left_checked(self):
        self.set_active_screensaver(PREVIOUS)
        setup = self.wine.start(self.setup_exe)
        window = self.xserver.wait_for_window(TITLE + " Setup *", setup, timeout=SETUP_TIMEOUT)[0]
        self.xserver.xdotool("windowfocus", "--sync", str(window))
        self.xserver.xdotool("key", "Return")  # "Install" on the components page
        self.assertTrue(wait_until(lambda: self.values(UNINSTALL_KEY) is not None, SETUP_TIMEOUT, process=setup),
                        "the install did not happen")
        # The finish page follows the progress page on its own; Return there
        # ends the setup. Pressed until it has, as the page may still be on
        # its way.
        def finished():
            self.xserver.xdotool("key", "Return")
            return wait_for_exit(setup, 2) is not None

        self.assertTrue(wait_until(finished, SETUP_TIMEOUT), "the setup did not end")
        self.assertEqual(setup.returncode, 0)
        self.assertInstalled()
        self.assertSameWindowsPath(self.active_screensaver(), INSTALLED_SCR)
        self.uninstall(self.values(UNINSTALL_KEY))
        self.assertSameWindowsPath(self.active_screensaver(), PREVIOUS)

    def test_a_screensaver_chosen_after_the_install_stays_chosen(self):
        self.set_active_screensaver(PREVIOUS)
        entry = self.install()
        chosen = r"C:\windows\system32\chosen.scr"
        self.set_active_screensaver(chosen)
        self.uninstall(entry)
        self.assertSameWindowsPath(self.active_screensaver(), chosen)

    def test_without_a_previous_screensaver_or_with_noactivate(self):
        self.set_active_screensaver(None)
        entry = self.install("/NOACTIVATE")
        self.assertInstalled()
        self.assertIsNone(self.active_screensaver())
        self.uninstall(entry)
        self.assertIsNone(self.active_screensaver())

        # Activated over none: the uninstall leaves none, not a dangling path.
        entry = self.install()
        self.assertSameWindowsPath(self.active_screensaver(), INSTALLED_SCR)
        self.uninstall(entry)
        self.assertIsNone(self.active_screensaver())
        self.assertFalse(os.path.exists(self.unix_path(INSTALLED_SCR)))


if __name__ == "__main__":
    unittest.main()
