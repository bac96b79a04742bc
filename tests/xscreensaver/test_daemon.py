"""The real XScreenSaver daemon after gloamery-add-to-xscreensaver: it lists
Gloamery behind the hacks it had, starts `gloamery --root` in its own
window when that entry is selected, and stops it for another one.

The daemon refuses to run hacks as root, so under root the user's steps run
as nobody, with an X server that lets local users in."""

import os
import pwd
import re
import shutil
import subprocess
import tempfile
import time
import unittest

from listing import add_to_xscreensaver, command_of, programs, system_programs
from screen_pixels import Picture
from xharness import PATIENCE, XServer, binary, start, stderr_text, stop

WIDTH, HEIGHT = 320, 200
# The lantern's middle, where a drawn frame glows.
MIDDLE = (WIDTH // 4, HEIGHT // 4, WIDTH // 2, HEIGHT // 2)
EXISTING = (
    "timeout:\t0:30:00\n"
    "lock:\t\tFalse\n"
    "fade:\t\tFalse\n"
    "programs:\t\t\t\t\t\t\t      \\\n"
    "\t\t\t\tqix --root\t\t\t    \\n\\\n"
    "- GL:\t\t\t\tsuperquadrics --root\t\t    \\n\n")


def forked(log, command):
    """(pid, window) of each start of `command` that the daemon logged."""
    return [(int(pid), window) for pid, window
            in re.findall(r'forked "%s" in pid (\d+) on window (0x[0-9a-f]+)' % re.escape(command), log)]


def parent_name(pid):
    with open("/proc/%d/stat" % pid) as f:
        ppid = int(f.read().rsplit(")", 1)[1].split()[1])
    with open("/proc/%d/comm" % ppid) as f:
        return f.read().strip()


class Daemon(unittest.TestCase):
    def setUp(self):
        if not shutil.which("xscreensaver") or not os.path.exists("/etc/X11/app-defaults/XScreenSaver"):
            self.fail("xscreensaver is not installed; ./scripts/bootstrap.sh installs it")
        if os.path.exists("/usr/libexec/xscreensaver/gloamery"):
            # The daemon puts its hack folder first on PATH, so it would start
            # that one instead of the build's.
            self.skipTest("an installed gloamery in /usr/libexec/xscreensaver would shadow the build's")
        self.user = []
        self.folder = tempfile.mkdtemp(prefix="gloamery-xss-daemon-")
        self.addCleanup(shutil.rmtree, self.folder, True)
        os.chmod(self.folder, 0o755)
        self.home = os.path.join(self.folder, "home")
        os.mkdir(self.home)
        # The build tree may lie where another user cannot reach it.
        bin_dir = os.path.join(self.folder, "bin")
        os.mkdir(bin_dir)
        self.hack = os.path.join(bin_dir, "gloamery")
        shutil.copy(binary("gloamery"), self.hack)
        os.chmod(self.hack, 0o755)
        self.path = "%s:/usr/bin:/bin" % bin_dir
        if os.geteuid() == 0:
            nobody = pwd.getpwnam("nobody")
            os.chown(self.home, nobody.pw_uid, nobody.pw_gid)
            self.user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
        self.server = XServer(WIDTH, HEIGHT)
        self.server.__enter__()
        self.addCleanup(self.server.__exit__)
        if self.user:
            self.server.run("xhost", "+local:")
        self.daemon = None

    def env(self):
        return {"PATH": self.path, "HOME": self.home, "DISPLAY": self.server.display, "NO_AT_BRIDGE": "1"}

    def command(self, *args, check=True):
        result = subprocess.run(self.user + ["xscreensaver-command"] + list(args), env=self.env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                text=True, timeout=PATIENCE)
        if check:
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr + self.log())
        return result

    def log(self):
        return stderr_text(self.daemon) if self.daemon else ""

    def add_gloamery(self):
        result = add_to_xscreensaver(env=self.env(), user=self.user)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.home, ".xscreensaver")) as f:
            return f.read()

    def start_daemon(self):
        self.daemon = start(self.user + ["xscreensaver", "-no-splash", "-verbose"], self.env())
        self.addCleanup(self.stop_daemon)
        deadline = time.monotonic() + PATIENCE
        while self.command("-version", check=False).returncode != 0:
            self.assertIsNone(self.daemon.poll(), "the daemon ended: " + self.log())
            self.assertLess(time.monotonic(), deadline, "the daemon never answered: " + self.log())
            time.sleep(0.1)

    def stop_daemon(self):
        if self.daemon.poll() is None:
            self.command("-exit", check=False)
            try:
                self.daemon.wait(timeout=PATIENCE)
            except subprocess.TimeoutExpired:
                pass
        stop(self.daemon)

    def select(self, number, command):
        """Selects the list's entry `number` (from 1) and waits until the
        daemon has started `command` for it; its (pid, window)."""
        before = len(forked(self.log(), command))
        self.command("-select", str(number))
        deadline = time.monotonic() + PATIENCE
        while len(forked(self.log(), command)) == before:
            self.assertLess(time.monotonic(), deadline,
                            "entry %d did not start %r: %s" % (number, command, self.log()))
            time.sleep(0.1)
        return forked(self.log(), command)[-1]

    def assertGloameryDraws(self, pid):
        self.assertEqual(os.path.realpath("/proc/%d/exe" % pid), self.hack)
        self.assertEqual(parent_name(pid), "xscreensaver-gf")  # comm is cut at 15 characters
        shot = os.path.join(self.folder, "screen.png")
        deadline = time.monotonic() + PATIENCE
        while True:
            self.assertTrue(os.path.exists("/proc/%d" % pid), "gloamery ended: " + self.log())
            self.server.screenshot(shot)
            warm = Picture(shot).warm_pixels(MIDDLE)
            if warm > 0:
                break
            self.assertLess(time.monotonic(), deadline, "no lantern in the daemon's window: " + self.log())
            time.sleep(0.2)

    def assertEnds(self, pid):
        deadline = time.monotonic() + PATIENCE
        while os.path.exists("/proc/%d" % pid) and not self.zombie(pid):
            self.assertLess(time.monotonic(), deadline, "the daemon left gloamery running: " + self.log())
            time.sleep(0.05)

    @staticmethod
    def zombie(pid):
        try:
            with open("/proc/%d/stat" % pid) as f:
                return f.read().rsplit(")", 1)[1].split()[0] == "Z"
        except FileNotFoundError:
            return True

    def test_a_fresh_home_lists_gloamery_after_every_system_hack_and_runs_it(self):
        system = system_programs()
        self.assertGreater(len(system), 100)
        self.assertFalse(os.path.exists(os.path.join(self.home, ".xscreensaver")))
        self.add_gloamery()
        self.start_daemon()
        pid, window = self.select(len(system) + 1, "gloamery --root")
        self.assertGloameryDraws(pid)
        # The defaults are all still there, in their places.
        self.select(1, command_of(system[0]))
        self.assertEnds(pid)

    def test_a_running_daemon_picks_up_gloamery_behind_the_users_list_and_the_system_hacks_follow(self):
        with open(os.path.join(self.home, ".xscreensaver"), "w") as f:
            f.write(EXISTING)
        if self.user:
            nobody = pwd.getpwnam("nobody")
            os.chown(os.path.join(self.home, ".xscreensaver"), nobody.pw_uid, nobody.pw_gid)
        # Added while the daemon runs, as a user would: it rereads the file.
        self.start_daemon()
        after = self.add_gloamery()
        self.assertEqual(len(programs(after)), 3)
        pid, _ = self.select(3, "gloamery --root")
        self.assertGloameryDraws(pid)
        # The daemon merges the system's list behind the user's: its first
        # hack that the user's list lacks comes next.
        mine = {command_of(e) for e in programs(EXISTING)}
        following = next(command_of(e) for e in system_programs() if command_of(e) not in mine)
        self.select(4, following)
        self.assertEnds(pid)


if __name__ == "__main__":
    unittest.main()
