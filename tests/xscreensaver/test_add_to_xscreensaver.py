"""gloamery-add-to-xscreensaver on settings files of every shape a user may
have: the entry goes in once, everything else stays byte for byte, and a
file it cannot read with certainty is left alone."""

import difflib
import os
import shutil
import stat
import tempfile
import unittest

from listing import add_to_xscreensaver, programs

ENTRY = "GL: gloamery --root"

USER_FILE = (
    "# XScreenSaver Preferences File\n"
    "timeout:\t0:05:00\n"
    "mode:\t\tone\n"
    "selected:\t1\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t    \\n\\\n"
    "- GL:\t\t\t\tsuperquadrics --root\t\t    \\n\\\n"
    "\t\t\t\tqix --root\t\t\t    \\n\n"
    "\n"
    "pointerHysteresis:\t10\n"
    "textMode:\tdate\n")

SETTINGS_WITHOUT_LIST = "# written by hand\nmode:\t\tone\nselected:\t2\nlock:\t\tFalse\n"

# What the system-wide settings of xscreensaver-data look like, cut short.
DEFAULTS = (
    "! XScreenSaver\n"
    "*mode:\t\t\trandom\n"
    "*programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tmaze --root\t\t\t    \\n\\\n"
    "- GL: \t\t\t\tsuperquadrics --root\t\t    \\n\\\n"
    "\t\t\t\tattraction --root\t\t    \\n\n"
    "\n"
    "*hacks.maze.name: Maze\n")


class AddToXScreenSaver(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="gloamery-xss-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        self.path = os.path.join(self.folder, ".xscreensaver")
        self.defaults = os.path.join(self.folder, "XScreenSaver")
        with open(self.defaults, "w") as f:
            f.write(DEFAULTS)

    def write(self, text, mode=None):
        with open(self.path, "wb") as f:
            f.write(text.encode() if isinstance(text, str) else text)
        if mode is not None:
            os.chmod(self.path, mode)

    def read(self):
        with open(self.path, "rb") as f:
            return f.read()

    def add(self, *args, home=None):
        env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": home or self.folder}
        return add_to_xscreensaver("--defaults", self.defaults, *args, env=env)

    def assertAdded(self, result):
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn(self.path, result.stdout)
        self.assertIn("Gloamery 3D", result.stdout)

    def test_appends_to_an_existing_list_and_changes_no_other_line(self):
        self.write(USER_FILE, 0o600)
        self.assertAdded(self.add())
        after = self.read().decode()
        self.assertEqual(programs(after), programs(USER_FILE) + [ENTRY])
        # Only the list's last line (which now goes on) and the new one differ.
        changes = [line for line in difflib.ndiff(USER_FILE.splitlines(True), after.splitlines(True))
                   if line[:1] in "+-"]
        self.assertEqual(len(changes), 3, changes)
        self.assertTrue(changes[0].startswith("- \t\t\t\tqix --root"), changes)
        self.assertTrue(changes[1].startswith("+ \t\t\t\tqix --root"), changes)
        self.assertIn(ENTRY, changes[2])
        self.assertEqual(stat.S_IMODE(os.stat(self.path).st_mode), 0o600)

    def test_running_twice_adds_once(self):
        self.write(USER_FILE)
        self.assertAdded(self.add())
        once = self.read()
        second = self.add()
        self.assertEqual(second.returncode, 0, second.stderr)
        self.assertIn("already", second.stdout)
        self.assertEqual(self.read(), once)

    def test_an_entry_the_user_disabled_or_wrote_with_a_path_counts_as_there(self):
        for entry in ("-\tGL: gloamery --root", "/usr/libexec/xscreensaver/gloamery --root"):
            text = "mode: random\nprograms: qix --root \\n\\\n  %s \\n\n" % entry
            self.write(text)
            result = self.add()
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(self.read().decode(), text)

    def test_a_single_line_list_gets_its_entry_closed_first(self):
        self.write("programs: qix --root\nlock: False")
        self.assertAdded(self.add())
        after = self.read().decode()
        self.assertEqual(programs(after), ["qix --root", ENTRY])
        self.assertTrue(after.endswith("\nlock: False"), after)

    def test_without_a_list_the_system_hacks_come_first_so_none_is_lost_and_selected_still_fits(self):
        self.write(SETTINGS_WITHOUT_LIST)
        self.assertAdded(self.add())
        after = self.read().decode()
        self.assertTrue(after.startswith(SETTINGS_WITHOUT_LIST), after)
        system = programs(DEFAULTS, "*programs")
        self.assertEqual(len(system), 3)
        self.assertEqual(programs(after), system + [ENTRY])

    def test_without_a_file_it_writes_only_the_list(self):
        result = self.add(home=self.folder)
        self.assertAdded(result)
        after = self.read().decode()
        self.assertEqual(programs(after), programs(DEFAULTS, "*programs") + [ENTRY])
        # Only the list: every other setting keeps coming from the system's.
        settings = [line for line in after.splitlines() if line[:1] not in ("\t", "-", "")]
        self.assertEqual([line.split(":")[0] for line in settings], ["programs"])
        self.assertEqual(stat.S_IMODE(os.stat(self.path).st_mode), 0o644)

    def test_without_system_defaults_the_list_holds_gloamery_alone(self):
        os.unlink(self.defaults)
        self.assertAdded(self.add())
        self.assertEqual(programs(self.read().decode()), [ENTRY])

    def test_a_linked_file_is_changed_where_it_lies(self):
        target = os.path.join(self.folder, "dotfiles-xscreensaver")
        with open(target, "w") as f:
            f.write(USER_FILE)
        os.symlink(target, self.path)
        self.assertEqual(self.add().returncode, 0)
        self.assertTrue(os.path.islink(self.path))
        with open(target) as f:
            self.assertEqual(programs(f.read()), programs(USER_FILE) + [ENTRY])

    def assertLeftAlone(self, content, reason):
        self.write(content)
        before = os.stat(self.path)
        result = self.add()
        self.assertEqual(result.returncode, 1, result.stdout)
        self.assertEqual(result.stdout, "")
        self.assertIn("left %s unchanged" % self.path, result.stderr)
        self.assertIn(reason, result.stderr)
        # The line to add by hand, as the list wants it.
        self.assertIn(ENTRY + " \\n\\", result.stderr)
        self.assertEqual(self.read(), content.encode() if isinstance(content, str) else content)
        self.assertEqual(os.stat(self.path).st_mtime_ns, before.st_mtime_ns)
        self.assertEqual(sorted(os.listdir(self.folder)), [".xscreensaver", "XScreenSaver"])

    def test_two_lists_are_left_alone(self):
        self.assertLeftAlone("programs: qix --root \\n\nlock: False\nprograms: maze --root \\n\n",
                             "programs: 2 times (lines 1, 3)")

    def test_a_line_that_is_no_setting_is_left_alone(self):
        self.assertLeftAlone("lock: False\ntimeout 5\nprograms: qix --root \\n\n", "line 2 is neither")

    def test_a_list_cut_off_after_a_backslash_is_left_alone(self):
        self.assertLeftAlone("lock: False\nprograms: \\\n  qix --root \\n\\\n", "ends with a backslash")

    def test_a_binary_file_is_left_alone(self):
        self.assertLeftAlone(b"lock: False\n\0\0\x01programs:\n", "NUL")


if __name__ == "__main__":
    unittest.main()
