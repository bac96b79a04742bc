"""The real Gloamery.scr drawing a preview inside a window of another Wine
process (win_host_window.exe, standing in for the system's screensaver host):
our child window over the host's client area, following its size, leaving it
as it was, and ending cleanly whatever happens to the host or the handle."""

import subprocess
import unittest

from wineharness import Wine, XServer, probe_window, wait_for_exit, wait_until, windows_binary
from xharness import LineReader

SCR = windows_binary("Gloamery.scr")
HOST = windows_binary("win_host_window.exe")
# Start-up under Wine takes seconds; only a fault reaches these.
START_TIMEOUT = 90
EXIT_TIMEOUT = 30
# The host answers each line at once, unless a window it sends a message to
# (ours, a child in another process) has stopped answering: then the test
# fails instead of waiting for good.
ANSWER_TIMEOUT = 60


class Host:
    """The test host: one top-level window of its own, driven through stdin."""

    def __init__(self, wine, *options):
        self.process = wine.start(HOST, *options, stdin=subprocess.PIPE)
        self.answers = LineReader(self.process.stdout)
        first = self.answers.readline(START_TIMEOUT).split()
        assert first and first[0] == "window", first
        self.window = int(first[1])

    def ask(self, line):
        self.process.stdin.write((line + "\n").encode())
        self.process.stdin.flush()
        return self.answers.readline(ANSWER_TIMEOUT).split()

    def state(self):
        """(client width, client height, style, own procedure, children), or None once gone."""
        answer = self.ask("state")
        if answer[1] == "gone":
            return None
        return int(answer[1]), int(answer[2]), int(answer[3], 16), int(answer[4]), int(answer[5])

    def child(self):
        """(client width, client height, visible) of the first child, or None."""
        answer = self.ask("child")
        return None if answer[1] == "none" else tuple(int(v) for v in answer[1:])


class Fixture(unittest.TestCase):
    def setUp(self):
        self.xserver = XServer(320, 240).__enter__()
        self.wine = Wine(self.xserver)
        self.addCleanup(self.xserver.__exit__, None, None, None)
        self.addCleanup(self.wine.stop_all)

    def host(self, *options):
        return Host(self.wine, *options)

    def preview(self, host):
        return self.wine.start(SCR, "/p", str(host.window))

    def wait_for_child(self, host, size, process):
        self.assertTrue(wait_until(lambda: host.child() == size + (1,), START_TIMEOUT, process=process),
                        "no visible child of %s (child %s, status %s)" % (size, host.child(), process.poll()))

    def assertEndsWithZero(self, process, within=EXIT_TIMEOUT):
        self.assertEqual(wait_for_exit(process, within), 0, process.stderr.read().decode(errors="replace")
                         if process.poll() is not None else "still running")


class PreviewInAHostWindow(Fixture):
    def test_a_child_of_the_hosts_client_size_that_follows_it_and_goes_with_the_host(self):
        host = self.host("--size", "160x120")
        before = host.state()
        run = self.preview(host)
        self.wait_for_child(host, (160, 120), run)
        during = host.state()
        self.assertEqual(during[:4], before[:4], "the host keeps its size, style and procedure")
        self.assertEqual(during[4], 1)

        host.ask("resize 200 150")
        self.wait_for_child(host, (200, 150), run)
        self.assertIsNone(run.poll())

        host.ask("destroy")
        self.assertEndsWithZero(run)

    def test_the_pointer_is_hidden_over_it_and_shows_again_after(self):
        host = self.host()
        self.xserver.xdotool("mousemove", "80", "80")
        self.assertTrue(wait_until(lambda: host.ask("cursor") == ["cursor", "1"], START_TIMEOUT))
        run = self.preview(host)
        self.wait_for_child(host, (160, 120), run)
        # The pointer rests where it was: Windows asks for a cursor only when
        # it moves, so the preview must hide it without being asked.
        self.assertTrue(wait_until(lambda: host.ask("cursor") == ["cursor", "0"], START_TIMEOUT, process=run),
                        "the pointer shows over the preview")
        host.ask("disable")
        self.assertEndsWithZero(run)
        # The host's cursor comes back when the user next moves the pointer;
        # each look moves it again, since a move seen while our process was
        # still going away would not count.
        def shown_after_a_move():
            self.xserver.xdotool("mousemove", "70", "70", "mousemove", "80", "80")
            return host.ask("cursor") == ["cursor", "1"]

        self.assertTrue(wait_until(shown_after_a_move, START_TIMEOUT), "hidden for good")

    def test_a_disabled_host_ends_it_and_only_our_child_goes(self):
        host = self.host()
        before = host.state()
        run = self.preview(host)
        self.wait_for_child(host, before[:2], run)
        host.ask("disable")
        self.assertEndsWithZero(run)
        after = host.state()
        self.assertEqual(after[:2] + after[3:], before[:2] + before[3:], "size, procedure, no child left")

    def test_a_key_or_a_button_in_it_ends_it(self):
        for press in (("key", "space"), ("click", "1")):
            with self.subTest(press=press[0]):
                host = self.host()
                run = self.preview(host)
                self.wait_for_child(host, (160, 120), run)
                self.xserver.xdotool("mousemove", "80", "80")
                if press[0] == "key":
                    self.assertEqual(host.ask("focus"), ["focused", "1"])
                self.xserver.xdotool(*press)
                self.assertEndsWithZero(run)
                self.assertIsNotNone(host.state(), "the host's window stays")
                host.ask("destroy")


class Guard(Fixture):
    def test_a_second_preview_and_an_argumentless_start_end_at_once(self):
        hosts = [self.host(), self.host()]
        first = self.preview(hosts[0])
        self.wait_for_child(hosts[0], (160, 120), first)
        for args in (("/p", str(hosts[1].window)), ()):
            with self.subTest(args=args):
                second = self.wine.run(SCR, *args, timeout=START_TIMEOUT)
                self.assertEqual(second.returncode, 0)
        self.assertIsNone(hosts[1].child(), "the second preview drew nothing")
        self.assertIsNone(first.poll())


class HandlesThatNameNoWindow(Fixture):
    def message_box_answers(self):
        # The system's dialog class, which message boxes use.
        found = probe_window(self.wine, "#32770", "Debug", START_TIMEOUT * 1000)
        return found is not None and found["answers"]

    def test_null_garbage_and_stale_handles_show_the_message_and_end_with_zero(self):
        stale = self.host()
        stale.ask("destroy")
        for text in ("0", "abc", "12345", "-5", str(stale.window)):
            with self.subTest(handle=text):
                run = self.wine.start(SCR, "/p", text)
                dialogs = self.xserver.wait_for_window("Debug", run, timeout=START_TIMEOUT)
                # Its message loop answers while the program still runs.
                self.assertTrue(self.message_box_answers(), "the message's loop does not answer")
                self.assertIsNone(run.poll(), "the message waits for its OK")
                self.xserver.xdotool("windowfocus", "--sync", str(dialogs[0]), "key", "Return")
                self.assertEndsWithZero(run)


if __name__ == "__main__":
    unittest.main()
