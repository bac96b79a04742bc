"""Drawing into a window of another client: a host's preview (/p) and
XScreenSaver's runs (--root, --window-id), each against a real window owner
under its own Xvfb."""

import os
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from xharness import PATIENCE, LineReader, XServer, binary, stderr_text, stop, support_library, wait_for_exit, \
    wait_for_file

GLOAMERY = binary("gloamery")
HOST = support_library("x_host_window")
# Input masks as X numbers them.
KEY_PRESS = 1 << 0
BUTTON_PRESS = 1 << 2
# Long enough after the first frame that the scene has faded in from black.
FADE_IN_SECONDS = 1.5
# Frames to wait for after an event, so that at least one whole loop (events
# polled, frame drawn and presented) has run after the event arrived.
SETTLING_FRAMES = 3
# GTK cannot open this backend, so the "Debug" message goes to standard error
# where the test can read it; the real dialog has a test of its own.
NO_DIALOG = {"GDK_BACKEND": "wayland"}


class Host:
    """The test host: one window of its own, driven through stdin."""

    def __init__(self, server, *options):
        self.process = subprocess.Popen([HOST, *options], env=server.env(), stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE)
        self.answers = LineReader(self.process.stdout)
        try:
            first = self.answers.readline().split()
            if first[:2] == ["no", "foreign"]:
                raise unittest.SkipTest("this X server has no visual without a GL configuration")
            assert first[0] == "window", first
        except BaseException:
            self.close()
            raise
        self.window = int(first[1], 16)

    def ask(self, line):
        self.process.stdin.write(line.encode() + b"\n")
        self.process.stdin.flush()
        return self.answers.readline().split()

    def cursor(self):
        """(shows any pixel, digest) of the pointer's current image, wherever it is."""
        answer = self.ask("cursor")
        return int(answer[1]), int(answer[2])

    def wait_for_cursor(self, visible, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            cursor = self.cursor()
            if cursor[0] == visible:
                return cursor
            time.sleep(0.05)
        raise AssertionError("the pointer's visibility stayed %d" % (1 - visible))

    def state(self):
        """(width, height, own mask, all clients' masks, child count), or None once gone."""
        answer = self.ask("state")
        return None if answer[1] == "gone" else tuple(int(v) for v in answer[1:])

    def close(self):
        stop(self.process)
        self.process.stdin.close()
        self.process.stdout.close()


class Run:
    """One gloamery process, its frames and viewports counted."""

    def __init__(self, server, *args, preload=(), **env):
        self.folder = tempfile.mkdtemp(prefix="gloamery-preview-")
        self.swaps = os.path.join(self.folder, "swaps")
        self.viewports = os.path.join(self.folder, "viewport")
        libraries = [support_library("swap_counter.so")] + [support_library(name) for name in preload]
        self.process = server.start(GLOAMERY, *args, LD_PRELOAD=" ".join(libraries),
                                    GLOAMERY_SWAP_RECORD=self.swaps, GLOAMERY_VIEWPORT_RECORD=self.viewports,
                                    **env)

    def wait_until_presenting(self, timeout=PATIENCE):
        if not wait_for_file(self.swaps, timeout, self.process):
            raise AssertionError("no frame presented; stderr: %s" % self.stderr())

    def wait_until_faded_in(self):
        """Returns once a frame drawn after the fade-in is out. The scene's
        clock starts before its first frame, so this is time since then."""
        self.wait_until_presenting()
        time.sleep(max(0.0, self.first_frame_time() + FADE_IN_SECONDS - time.time()))
        self.wait_for_more_frames()

    def frames(self):
        with open(self.swaps) as f:
            return int(f.read().split()[0])

    def first_frame_time(self):
        """When the first frame went out, in seconds since the epoch."""
        with open(self.swaps) as f:
            return float(f.read().split()[1])

    def viewport(self):
        with open(self.viewports) as f:
            return tuple(int(v) for v in f.read().split())

    def assertRunning(self):
        if self.process.poll() is not None:
            raise AssertionError("the run ended (status %s): %s" % (self.process.returncode, self.stderr()))

    def wait_for_viewport(self, size, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.viewport() == size:
                return
            self.assertRunning()
            time.sleep(0.05)
        raise AssertionError("viewport stayed %s, wanted %s" % (self.viewport(), size))

    def wait_for_more_frames(self, more=SETTLING_FRAMES, timeout=PATIENCE):
        """Returns once `more` frames beyond those presented so far are out;
        fails at once if the run ends first."""
        wanted = self.frames() + more
        deadline = time.monotonic() + timeout
        while self.frames() < wanted:
            self.assertRunning()
            if time.monotonic() > deadline:
                raise AssertionError("only %d of %d frames within %ss" % (self.frames(), wanted, timeout))
            time.sleep(0.02)

    def stderr(self):
        return stderr_text(self.process)

    def close(self):
        stop(self.process)
        shutil.rmtree(self.folder, True)


def window_pixels(server, window):
    """(width, height, rows of (r, g, b)) of a window's contents, from the server."""
    data = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"], env=server.env(), check=True,
                          stdout=subprocess.PIPE, timeout=60).stdout
    fields = data.split(maxsplit=4)
    assert fields[0] == b"P6" and fields[3] == b"255", fields[:4]
    width, height, raster = int(fields[1]), int(fields[2]), fields[4]
    rows = [[tuple(raster[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)]
            for y in range(height)]
    return width, height, rows


def lit_share(rows, x0=0, y0=0):
    """The share of pixels from (x0, y0) on that are clearly not black."""
    pixels = [p for row in rows[y0:] for p in row[x0:]]
    return sum(1 for p in pixels if max(p) > 24) / len(pixels)


class Fixture(unittest.TestCase):
    screen = (320, 200)

    def setUp(self):
        self.server = XServer(*self.screen).__enter__()
        self.addCleanup(self.server.__exit__, None, None, None)

    def host(self, *options):
        host = Host(self.server, *options)
        self.addCleanup(host.close)
        return host

    def run_gloamery(self, *args, **env):
        run = Run(self.server, *args, **env)
        self.addCleanup(run.close)
        return run

    def preview(self, host):
        return self.run_gloamery("/p", str(host.window))

    def assertEndsWithZero(self, run, within):
        self.assertEqual(wait_for_exit(run.process, within), 0, run.stderr())

    def assertLit(self, window, x0=0, y0=0, size=None):
        width, height, rows = window_pixels(self.server, window)
        if size is not None:
            self.assertEqual((width, height), size)
        self.assertGreater(lit_share(rows, x0, y0), 0.3, "the scene shows there")


class PreviewIntoHostWindow(Fixture):
    def test_draws_the_scene_and_follows_the_hosts_size(self):
        host = self.host("--size", "160x90")
        run = self.preview(host)
        run.wait_until_faded_in()
        self.assertEqual(run.viewport(), (160, 90))
        self.assertLit(host.window, size=(160, 90))

        host.ask("resize 240 135")
        run.wait_for_viewport((240, 135))
        run.wait_for_more_frames()
        self.assertLit(host.window, x0=170, size=(240, 135))  # the strip that was not there before
        self.assertLit(host.window, y0=100)
        self.assertIsNone(run.process.poll())

    def test_destroying_the_host_window_ends_it_with_zero(self):
        host = self.host()
        run = self.preview(host)
        run.wait_until_presenting()
        host.ask("destroy")
        self.assertEndsWithZero(run, PATIENCE)

    def test_a_key_press_ends_it_and_the_host_window_stays_as_it_was(self):
        host = self.host("--size", "160x90")
        before = host.state()
        run = self.preview(host)
        run.wait_until_presenting()
        during = host.state()
        self.assertEqual(during[3] & (KEY_PRESS | BUTTON_PRESS), KEY_PRESS | BUTTON_PRESS, "input selected")
        self.server.xdotool("mousemove", "80", "45", "key", "space")
        self.assertEndsWithZero(run, PATIENCE)
        self.assertEqual(host.state(), before, "size, masks and children as before")

    def test_a_button_press_ends_it(self):
        host = self.host()
        run = self.preview(host)
        run.wait_until_presenting()
        self.server.xdotool("mousemove", "80", "45", "click", "1")
        self.assertEndsWithZero(run, PATIENCE)
        self.assertIsNotNone(host.state())

    def test_a_release_alone_ends_it(self):
        # Held down before the preview started, let go while it draws: as the
        # user who pressed a key to open the host's dialog would. The server's
        # autorepeat would press the held key again after 660 ms, which ends a
        # run as any press does; a start slower than that (a loaded machine)
        # would then end before its first frame.
        self.server.run("xset", "r", "off")
        for down, up in ((("keydown", "space"), ("keyup", "space")), (("mousedown", "1"), ("mouseup", "1"))):
            with self.subTest(release=up[0]):
                host = self.host()
                self.server.xdotool("mousemove", "80", "45", *down)
                run = self.preview(host)
                run.wait_until_presenting()
                self.server.xdotool(*up)
                self.assertEndsWithZero(run, 10)

    def test_the_wheel_and_pointer_motion_do_not_end_it(self):
        host = self.host()
        run = self.preview(host)
        run.wait_until_presenting()
        self.server.xdotool("mousemove", "10", "10", "mousemove", "80", "45", "click", "4", "click", "5")
        # The host's resize reaches us after the wheel's events, so once the
        # preview follows it, those have been handled.
        host.ask("resize 150 80")
        run.wait_for_viewport((150, 80))
        self.assertIsNone(run.process.poll(), run.stderr())
        run.process.terminate()
        self.assertEndsWithZero(run, 5)

    def test_the_pointer_is_hidden_over_it_and_the_hosts_own_comes_back(self):
        for options in ((), ("--hand",), ("--foreign-visual", "--hand")):
            with self.subTest(host=options):
                host = self.host(*options)
                self.server.xdotool("mousemove", "80", "45")
                before = host.wait_for_cursor(1)
                run = self.preview(host)
                run.wait_until_presenting()
                host.wait_for_cursor(0)
                host.ask("resize 200 110")
                run.wait_for_viewport((200, 110))
                self.server.xdotool("mousemove", "190", "100")
                self.assertEqual(host.cursor()[0], 0, "hidden over the area the host grew by")
                run.process.terminate()
                self.assertEndsWithZero(run, 5)
                self.assertEqual(host.wait_for_cursor(1), before, "the host's own pointer")
                host.close()

    def test_a_host_that_takes_the_buttons_keeps_them_and_the_preview_still_follows(self):
        host = self.host("--take-buttons")
        run = self.preview(host)
        run.wait_until_presenting()
        self.server.xdotool("mousemove", "80", "45", "click", "1")
        # The resize reaches the run after the click; once it has been seen
        # and frames followed, the click has long been seen too.
        host.ask("resize 200 100")
        run.wait_for_viewport((200, 100))
        run.wait_for_more_frames()
        self.assertIsNone(run.process.poll(), "the click is the host's")
        self.assertTrue(host.state()[3] & KEY_PRESS, "keys selected all the same")
        self.server.xdotool("key", "space")
        self.assertEndsWithZero(run, PATIENCE)

    def test_a_stop_signal_mid_run_ends_it_with_zero(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig.name):
                host = self.host()
                before = host.state()
                run = self.preview(host)
                run.wait_until_presenting()
                run.process.send_signal(sig)
                self.assertEndsWithZero(run, PATIENCE)
                self.assertEqual(host.state(), before)

    def test_a_host_visual_without_gl_gets_a_child_window_of_our_own(self):
        host = self.host("--foreign-visual", "--size", "160x90")
        before = host.state()
        run = self.preview(host)
        run.wait_until_faded_in()
        self.assertEqual(host.state()[4], 1, "one child inside the host's window")
        host.ask("resize 200 110")
        run.wait_for_viewport((200, 110))
        run.wait_for_more_frames()
        self.assertLit(host.window, x0=165, size=(200, 110))
        run.process.send_signal(signal.SIGTERM)
        self.assertEndsWithZero(run, PATIENCE)
        self.assertEqual(host.state()[:2], (200, 110))
        self.assertEqual(host.state()[2:], before[2:], "our child and our masks are gone")


class HandlesThatNameNoWindow(Fixture):
    screen = (160, 90)

    def assertFailsToOpen(self, *args, **env):
        result = subprocess.run([GLOAMERY, *args], env=self.server.env(**env), stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, timeout=PATIENCE)
        self.assertEqual(result.returncode, 0, args)
        self.assertIn("Debug: Failed to open window\n", result.stderr, args)

    def test_zero_garbage_wide_and_stale_handles(self):
        stale = self.host()
        stale_window = stale.window
        stale.ask("destroy")
        for text in ("0", "abc", "12345", "-5", "4294967295", "8589934592", str(stale_window)):
            with self.subTest(handle=text):
                self.assertFailsToOpen("/p", text, **NO_DIALOG)

    def test_windows_nobody_can_draw_into_are_refused_and_left_as_they_were(self):
        host = self.host()
        before = host.state()
        # Bit 29 up name nothing; the low bits here are the host's own window.
        self.assertFailsToOpen("--window-id", "0x%x" % (host.window | 1 << 29))
        self.assertFailsToOpen("--window-id", "0x%x" % (host.window | 1 << 31))
        self.assertEqual(host.state(), before)

        input_only = self.host("--input-only")
        before = input_only.state()
        self.assertFailsToOpen("/p", str(input_only.window), **NO_DIALOG)
        self.assertFailsToOpen("--window-id", str(input_only.window))
        self.assertEqual(input_only.state(), before, "nothing selected on it, no child in it")

    def test_daemon_runs_report_on_standard_error_without_a_dialog(self):
        stale = self.host()
        stale_hex = "0x%x" % stale.window
        stale.ask("destroy")
        for args, env in ((("--window-id", "zz"), {}), (("--window-id",), {}), (("-window-id", "0"), {}),
                          (("--window-id", stale_hex), {}), (("--root",), {"XSCREENSAVER_WINDOW": "0x1234"}),
                          (("-root",), {"XSCREENSAVER_WINDOW": "nonsense"})):
            with self.subTest(args=args, env=env):
                self.assertFailsToOpen(*args, **env)

    def test_preview_shows_the_message_in_a_dialog_and_waits_for_it(self):
        run = self.run_gloamery("/p", "0")
        dialogs = self.server.wait_for_window("Debug", run.process)
        # Answering a ping takes a running event loop: the dialog is up and
        # being served, not on its way out.
        self.assertTrue(self.server.ping(dialogs[0]), "the dialog does not answer")
        self.assertIsNone(run.process.poll(), "the dialog waits for its OK")
        self.server.xdotool("windowfocus", "--sync", str(dialogs[0]), "key", "Return")
        self.assertEndsWithZero(run, PATIENCE)
        self.assertFalse(os.path.exists(run.swaps), "nothing was drawn")

    def test_the_x_server_going_away_under_the_dialog_ends_it_with_zero(self):
        run = self.run_gloamery("/p", "0")
        self.server.wait_for_window("Debug", run.process)
        self.server.process.kill()
        self.assertEndsWithZero(run, 10)


class WithoutTheWindowingLibrary(Fixture):
    def test_a_preview_does_not_attach_when_glfw_fails_to_start(self):
        host = self.host()
        result = subprocess.run([GLOAMERY, "/p", str(host.window)], capture_output=True, text=True, timeout=30,
                                env=self.server.env(LD_PRELOAD=support_library("glfw_init_fails.so"), **NO_DIALOG))
        self.assertEqual(result.returncode, 0)
        self.assertIn("Debug: Failed to initialize GLFW\nDebug: Failed to open window\n", result.stderr)
        self.assertEqual(host.state()[4], 0, "nothing of ours inside the host's window")


class WithoutShaders(Fixture):
    def test_an_opengl_without_shaders_is_reported_and_the_host_left_as_it_was(self):
        host = self.host()
        before = host.state()
        swaps = tempfile.mktemp(prefix="gloamery-swaps-")
        preload = "%s %s" % (support_library("swap_counter.so"), support_library("gdi_generic_gl.so"))
        result = subprocess.run([GLOAMERY, "/p", str(host.window)], capture_output=True, text=True, timeout=30,
                                env=self.server.env(LD_PRELOAD=preload, GLOAMERY_SWAP_RECORD=swaps, **NO_DIALOG))
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("Debug: OpenGL 2.0 or later is needed\n", result.stderr)
        self.assertFalse(os.path.exists(swaps), "nothing was drawn")
        self.assertEqual(host.state(), before)


class XScreenSaverRuns(Fixture):
    def test_root_draws_into_the_window_named_in_hex_and_ignores_input(self):
        host = self.host()
        run = self.run_gloamery("--root", XSCREENSAVER_WINDOW="0x%X" % host.window)
        run.wait_until_faded_in()
        self.assertLit(host.window)
        self.assertFalse(host.state()[3] & (KEY_PRESS | BUTTON_PRESS), "input is the daemon's")
        self.server.xdotool("mousemove", "80", "45", "key", "space", "click", "1")
        run.wait_for_more_frames()
        self.assertIsNone(run.process.poll(), run.stderr())
        run.process.terminate()
        self.assertEndsWithZero(run, PATIENCE)

    def test_two_root_runs_side_by_side(self):
        hosts = [self.host("--at", "0,0"), self.host("--at", "160,100")]
        runs = [self.run_gloamery("-root", XSCREENSAVER_WINDOW="0x%x" % h.window) for h in hosts]
        for run in runs:
            run.wait_until_faded_in()
        for host in hosts:
            self.assertLit(host.window)
        hosts[0].ask("destroy")
        self.assertEndsWithZero(runs[0], PATIENCE)
        runs[1].wait_for_more_frames()
        self.assertIsNone(runs[1].process.poll(), "the other one goes on")
        runs[1].process.terminate()
        self.assertEndsWithZero(runs[1], PATIENCE)

    def test_window_id_as_the_settings_preview_passes_it(self):
        hosts = [self.host("--size", "120x80"), self.host("--size", "100x60")]
        # The variable and --window-id both name a window; the argument wins.
        run = self.run_gloamery("--root", "--window-id", "0x%x" % hosts[1].window,
                                XSCREENSAVER_WINDOW="0x%x" % hosts[0].window)
        run.wait_until_presenting()
        self.assertEqual(run.viewport(), (100, 60))
        run.process.terminate()
        self.assertEndsWithZero(run, PATIENCE)


class RootWindowRun(Fixture):
    screen = (128, 72)

    def test_root_without_a_named_window_draws_on_the_screen(self):
        run = self.run_gloamery("--root")
        run.wait_until_faded_in()
        self.assertEqual(run.viewport(), (128, 72))
        self.assertLit("root", size=(128, 72))
        run.process.terminate()
        self.assertEndsWithZero(run, PATIENCE)


class SingleInstanceGuard(Fixture):
    def test_preview_is_guarded_but_daemon_runs_are_not(self):
        hosts = [self.host("--at", "0,0"), self.host("--at", "160,100")]
        first = self.preview(hosts[0])
        first.wait_until_presenting()
        second = self.preview(hosts[1])
        self.assertEndsWithZero(second, PATIENCE)
        self.assertFalse(os.path.exists(second.swaps), "the second preview drew nothing")
        daemon = self.run_gloamery("--window-id", str(hosts[1].window))
        daemon.wait_until_presenting()
        self.assertIsNone(daemon.process.poll())
        self.assertIsNone(first.process.poll())


if __name__ == "__main__":
    unittest.main()
