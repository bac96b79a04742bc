"""Nothing drawn that nobody sees: a preview whose Tk host is hidden, our own
window iconified or covered, the display powered off; every way a run ends
still ends a paused one; and every rendering run gives way to the rest of the
machine. Frames are counted by the preloaded swap counter."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from test_preview import GLOAMERY, Fixture
from xharness import PATIENCE, LineReader, stderr_text, stop, support_library, wait_for_file

TK_HOST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "tk_host.py")
# No frame for this long, at the 60 a second a small window runs at, is a
# pause and not a slow frame, even on a machine busy with other tests.
QUIET_SECONDS = 1.0
# A paused run looks at its window this often at the least; every way out
# must show within the half second the runs promise.
PAUSED_EXIT_SECONDS = 0.5


class TkHost:
    """The Tk host of tests/support/tk_host.py, driven through stdin."""

    def __init__(self, server, *options):
        self.process = subprocess.Popen([sys.executable, TK_HOST, *options], env=server.env(),
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.answers = LineReader(self.process.stdout)
        self.window = None
        if "--no-frame" not in options:
            first = self.answers.readline().split()
            assert first[0] == "window", first
            self.window = int(first[1], 16)

    def do(self, command, expected):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()
        answer = self.answers.readline().strip()
        assert answer == expected, (command, answer)

    def close(self):
        stop(self.process)
        self.process.stdin.close()
        self.process.stdout.close()


class PauseChecks:
    """What every test of a paused run needs, on any server."""

    screen = (320, 200)

    def setUp(self):
        super().setUp()
        self.scratch = tempfile.mkdtemp(prefix="gloamery-unseen-")
        self.addCleanup(shutil.rmtree, self.scratch, True)

    def tk_host(self, *options):
        host = TkHost(self.server, *options)
        self.addCleanup(host.close)
        return host

    def wait_until_paused(self, run, timeout=PATIENCE):
        """Returns the frame count once no frame has gone out for QUIET_SECONDS."""
        deadline = time.monotonic() + timeout
        last, since = run.frames(), time.monotonic()
        while time.monotonic() < deadline:
            run.assertRunning()
            time.sleep(0.05)
            count = run.frames()
            if count != last:
                last, since = count, time.monotonic()
            elif time.monotonic() - since >= QUIET_SECONDS:
                return count
        raise AssertionError("frames kept coming: %d" % run.frames())

    def assertStaysPaused(self, run, count, seconds=QUIET_SECONDS):
        time.sleep(seconds)
        run.assertRunning()
        self.assertEqual(run.frames(), count, "a frame went out while nobody could see it")

    def pause_and_resume(self, run, hide, show):
        run.wait_until_presenting()
        run.wait_for_more_frames()
        hide()
        paused = self.wait_until_paused(run)
        self.assertStaysPaused(run, paused)
        show()
        run.wait_for_more_frames(timeout=5)



class Unseen(PauseChecks, Fixture):
    def test_a_preview_stops_while_its_tk_host_is_hidden_and_goes_on_when_shown(self):
        host = self.tk_host()
        run = self.preview(host)
        self.pause_and_resume(run, lambda: host.do("withdraw", "withdrawn"), lambda: host.do("deiconify", "shown"))

    def test_a_preview_stops_while_its_host_is_covered_entirely(self):
        host = self.tk_host()
        run = self.preview(host)
        self.pause_and_resume(run, lambda: host.do("cover 320 200", "covered"), lambda: host.do("uncover", "uncovered"))

    def test_our_full_screen_window_stops_while_covered_entirely(self):
        cover = self.tk_host("--no-frame")
        run = self.run_gloamery("/s")
        self.pause_and_resume(run, lambda: cover.do("cover 320 200", "covered"),
                              lambda: cover.do("uncover", "uncovered"))

    def test_a_run_stops_while_the_display_is_powered_off(self):
        power = os.path.join(self.scratch, "dpms")
        with open(power, "w") as f:
            f.write("on\n")
        run = self.run_gloamery("/s", preload=["dpms_switch.so"], GLOAMERY_DPMS_FILE=power)

        def switch(level):
            with open(power + ".tmp", "w") as f:
                f.write(level + "\n")
            os.replace(power + ".tmp", power)

        self.pause_and_resume(run, lambda: switch("off"), lambda: switch("on"))
        switch("standby")
        self.wait_until_paused(run)

    def test_a_stop_signal_ends_a_paused_run_with_zero(self):
        host = self.tk_host()
        run = self.preview(host)
        run.wait_until_presenting()
        host.do("withdraw", "withdrawn")
        self.wait_until_paused(run)
        run.process.send_signal(signal.SIGTERM)
        self.assertEndsWithZero(run, PAUSED_EXIT_SECONDS + 1)

    def test_a_host_destroyed_while_paused_ends_the_run_with_zero(self):
        host = self.tk_host()
        run = self.run_gloamery("--window-id", hex(host.window))
        run.wait_until_presenting()
        host.do("withdraw", "withdrawn")
        self.wait_until_paused(run)
        host.do("destroy", "destroyed")
        self.assertEndsWithZero(run, PAUSED_EXIT_SECONDS + 1)


class UnseenUnderAWindowManager(PauseChecks, Fixture):
    def setUp(self):
        super().setUp()
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.server.env(), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
        self.addCleanup(stop, wm)
        deadline = time.monotonic() + PATIENCE
        while "window id" not in self.server.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).stdout:
            if time.monotonic() > deadline:
                self.fail("openbox did not take over the screen")
            time.sleep(0.1)

    def test_our_window_stops_while_iconified(self):
        run = self.run_gloamery("/s")
        run.wait_until_presenting()
        window = self.server.wait_for_window("Gloamery 3D Screensaver", run.process)[0]
        self.pause_and_resume(run, lambda: self.server.xdotool("windowminimize", str(window)),
                              lambda: self.server.xdotool("windowactivate", str(window)))

    def test_a_preview_stops_while_its_tk_host_is_iconified(self):
        host = self.tk_host()
        run = self.preview(host)
        self.pause_and_resume(run, lambda: host.do("iconify", "iconified"), lambda: host.do("deiconify", "shown"))


def nice_values(pid, main_only=False):
    """The niceness of every thread of a process, or of its main thread."""
    values = []
    for task in [str(pid)] if main_only else os.listdir("/proc/%d/task" % pid):
        with open("/proc/%d/task/%s/stat" % (pid, task)) as f:
            # The 19th field, counted after the parenthesised name.
            values.append(int(f.read().rsplit(")", 1)[1].split()[16]))
    return values


def given_way(niceness):
    return min(niceness + 10, 19)


class Priority(Fixture):
    def assertAllThreadsAt(self, pid, expected):
        """No thread of the run above `expected`; the main thread at it. Mesa
        lowers a cache thread of its own to 19 whatever we do."""
        values = nice_values(pid)
        self.assertGreater(len(values), 1, "the renderer's threads are running")
        self.assertEqual(min(values), expected, values)
        self.assertEqual(nice_values(pid, main_only=True), [expected])

    def test_a_rendering_run_and_all_its_threads_give_way(self):
        run = self.run_gloamery("/s")
        run.wait_until_presenting()
        self.assertAllThreadsAt(run.process.pid, given_way(os.nice(0)))

    def test_the_added_niceness_stops_at_the_lowest_priority(self):
        folder = tempfile.mkdtemp(prefix="gloamery-nice-")
        self.addCleanup(shutil.rmtree, folder, True)
        swaps = os.path.join(folder, "swaps")
        process = self.server.start("nice", "-n", "15", GLOAMERY, "/s", LD_PRELOAD=support_library("swap_counter.so"),
                                    GLOAMERY_SWAP_RECORD=swaps)
        self.addCleanup(stop, process)
        self.assertTrue(wait_for_file(swaps, PATIENCE, process), stderr_text(process))
        self.assertAllThreadsAt(process.pid, 19)

    def test_an_xscreensaver_run_gives_way_as_well(self):
        host = TkHost(self.server)
        self.addCleanup(host.close)
        run = self.run_gloamery("--window-id", hex(host.window))
        run.wait_until_presenting()
        self.assertAllThreadsAt(run.process.pid, given_way(os.nice(0)))

    def test_the_about_window_keeps_its_priority(self):
        about = self.server.start(GLOAMERY, "/c")
        self.addCleanup(stop, about)
        self.server.wait_for_window("About", about)
        self.assertEqual(set(nice_values(about.pid)), {os.nice(0)})


if __name__ == "__main__":
    unittest.main()
