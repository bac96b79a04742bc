"""Real X servers and real processes for the end-to-end tests.

Every test gets its own Xvfb on a display number that the server picks for
itself (-displayfd), and stops it by its pid; tests never share a display.

Programs under test start with a small environment of the harness's own
making, never the caller's: a WAYLAND_DISPLAY, an XSCREENSAVER_WINDOW or a
desktop's settings in the caller's session would change what they do. Their
output goes to unnamed files, so a chatty program can never stall on a full
pipe that nobody reads, and every wait has a bound.
"""

import atexit
import os
import random
import select
import shutil
import signal
import subprocess
import tempfile
import time

BIN_DIR = os.environ.get("GLOAMERY_BIN_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "build"))

# Passed on so that a sanitized build's runs keep the options it was started with.
PASSED_THROUGH = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")

# Far beyond what any step of a healthy run takes, even on a loaded machine
# under a sanitizer; only a real fault waits this long.
PATIENCE = 60

_home = None


def binary(name):
    return os.path.join(BIN_DIR, "bin", name)


def support_library(name):
    return os.path.join(BIN_DIR, "tests", "support", name)


def private_home():
    """An empty home folder for the programs under test, shared by one test process."""
    global _home
    if _home is None:
        _home = tempfile.mkdtemp(prefix="gloamery-home-")
        atexit.register(shutil.rmtree, _home, True)
    return _home


def clean_env(**extra):
    """The whole environment a program under test gets: PATH, a private HOME,
    the sanitizer options, and what the caller names (DISPLAY among them)."""
    env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": private_home(),
           # GTK would otherwise look for an accessibility bus on D-Bus.
           "NO_AT_BRIDGE": "1"}
    for name in PASSED_THROUGH:
        if name in os.environ:
            env[name] = os.environ[name]
    env.update(extra)
    return env


def display_is_free(number):
    return not (os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number))


def unused_display():
    """A display name that no server on this machine answers to, for runs that
    must fail to connect. Xvfb -displayfd picks the lowest free numbers, so
    these come from far above them."""
    start = random.randrange(20000, 60000)
    for number in range(start, start + 1000):
        if display_is_free(number):
            return ":%d" % number
    raise RuntimeError("no free display number from %d on" % start)


class LineReader:
    """Whole lines from a pipe, each waited for no longer than a timeout."""

    def __init__(self, stream):
        self.fd = stream.fileno()
        self.pending = b""

    def readline(self, timeout=PATIENCE):
        """The next line without its newline; an AssertionError when none comes
        within the timeout, an EOFError when the writer has gone."""
        deadline = time.monotonic() + timeout
        while b"\n" not in self.pending:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self.fd], [], [], left)[0]:
                raise AssertionError("no line within %ss (so far %r)" % (timeout, self.pending))
            chunk = os.read(self.fd, 4096)
            if not chunk:
                raise EOFError("the writer closed the pipe after %r" % self.pending)
            self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\n")
        return line.decode()


def start(args, env, stdin=subprocess.DEVNULL, pass_fds=()):
    """A process whose standard output and error go to unnamed files that
    output() reads back at any time."""
    out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    try:
        process = subprocess.Popen(list(args), env=env, stdin=stdin, stdout=out, stderr=err, pass_fds=pass_fds)
    except BaseException:
        out.close()
        err.close()
        raise
    process.output_files = (out, err)
    return process


def output(process, which=1):
    """What a process started by start() has written so far to standard
    error (1) or standard output (0)."""
    f = process.output_files[which]
    if f.closed:
        return "(output discarded)"
    f.seek(0)
    return f.read().decode(errors="replace")


def stderr_text(process):
    return output(process, 1)


class XServer:
    """An Xvfb of the given screen size, alive for the `with` block."""

    def __init__(self, width=640, height=480, depth=24):
        self.size = (width, height)
        self.depth = depth
        self.process = None
        self.display = None

    def __enter__(self):
        self.start_server()
        return self

    def command(self, displayfd):
        return ["Xvfb", "-displayfd", str(displayfd), "-screen", "0",
                "%dx%dx%d" % (self.size[0], self.size[1], self.depth), "-nolisten", "tcp", "-noreset"]

    def startup_log(self):
        return stderr_text(self.process)

    def start_server(self):
        """Starts the server on a display number it picks for itself, which it
        announces on a pipe once it accepts clients."""
        read_end, write_end = os.pipe()
        with os.fdopen(read_end, "rb") as announced:
            try:
                self.process = start(self.command(write_end), clean_env(), pass_fds=(write_end,))
            finally:
                os.close(write_end)
            try:
                number = LineReader(announced).readline(PATIENCE).strip()
            except (AssertionError, EOFError) as failure:
                number = str(failure)
        if not number.isdigit():
            said = self.startup_log()
            self.stop_server()
            raise RuntimeError("%s announced no display (%r); it said: %s" % (self.command(0)[0], number, said))
        self.display = ":" + number

    def stop_server(self):
        stop(self.process, signal.SIGTERM)

    def __exit__(self, *exc):
        self.stop_server()

    def env(self, **extra):
        return clean_env(DISPLAY=self.display, **extra)

    def run(self, *args, timeout=PATIENCE, check=True):
        return subprocess.run(list(args), env=self.env(), timeout=timeout, check=check, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def xdotool(self, *args, timeout=PATIENCE):
        return self.run("xdotool", *args, timeout=timeout).stdout

    def start(self, *args, **extra_env):
        return start(args, self.env(**extra_env))

    def find_windows(self, name):
        """Ids of the mapped windows whose title is exactly `name`."""
        result = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name, check=False)
        return [int(w) for w in result.stdout.split()]

    def wait_for_window(self, name, process=None, timeout=PATIENCE):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            windows = self.find_windows(name)
            if windows:
                return windows
            if process is not None and process.poll() is not None:
                raise AssertionError("process ended (status %s) before a window named %r appeared: %s"
                                     % (process.returncode, name, stderr_text(process)))
            time.sleep(0.1)
        raise AssertionError("no window named %r within %ss" % (name, timeout))

    def geometry(self, window):
        """(x, y, width, height) of a window, from xwininfo."""
        out = self.run("xwininfo", "-id", str(window)).stdout
        fields = {}
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            fields[key] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))

    def screenshot(self, path, window="root"):
        self.run("import", "-window", str(window), path)

    def ping(self, window, timeout=PATIENCE):
        """True once the client owning `window` has answered a _NET_WM_PING,
        which it can only do from its event loop."""
        result = self.run(support_library("x_ping_window"), "0x%x" % window, str(timeout), timeout=timeout + 30,
                          check=False)
        return result.returncode == 0


def stop(process, sig=signal.SIGKILL):
    """Ends a process if it still runs, reaps it, and drops its output files."""
    if process.poll() is None:
        process.send_signal(sig)
        try:
            process.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=PATIENCE)
    for f in getattr(process, "output_files", ()):
        f.close()


def wait_for_exit(process, timeout):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        return None


def wait_for_file(path, timeout, process=None):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return True
        if process is not None and process.poll() is not None:
            return False
        time.sleep(0.05)
    return False
