"""Real X servers and real processes for the end-to-end tests.

Every test gets its own Xvfb on a display number that the server picks for
itself (-displayfd), and stops it by its pid; tests never share a display.
"""

import os
import signal
import subprocess
import time

BIN_DIR = os.environ.get("GLOAMERY_BIN_DIR", os.path.join(os.path.dirname(__file__), "..", "..", "build"))


def binary(name):
    return os.path.join(BIN_DIR, "bin", name)


def support_library(name):
    return os.path.join(BIN_DIR, "tests", "support", name)


class XServer:
    """An Xvfb of the given screen size, alive for the `with` block."""

    def __init__(self, width=640, height=480, depth=24):
        self.size = (width, height)
        self.depth = depth
        self.process = None
        self.display = None

    def __enter__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
             "%dx%dx%d" % (self.size[0], self.size[1], self.depth), "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not announce a display")
        self.display = ":" + number
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def env(self, **extra):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("XAUTHORITY", None)
        env.update(extra)
        return env

    def run(self, *args, timeout=30, check=True):
        return subprocess.run(list(args), env=self.env(), timeout=timeout, check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def xdotool(self, *args, timeout=30):
        return self.run("xdotool", *args, timeout=timeout).stdout

    def start(self, *args, **extra_env):
        return subprocess.Popen(list(args), env=self.env(**extra_env),
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)

    def find_windows(self, name):
        """Ids of the mapped windows whose title is exactly `name`."""
        result = self.run("xdotool", "search", "--onlyvisible", "--name", "^%s$" % name, check=False)
        return [int(w) for w in result.stdout.split()]

    def wait_for_window(self, name, process=None, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            windows = self.find_windows(name)
            if windows:
                return windows
            if process is not None and process.poll() is not None:
                raise AssertionError("process ended (status %s) before a window named %r appeared"
                                     % (process.returncode, name))
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
        self.run("import", "-window", str(window), path, timeout=60)


def stop(process, sig=signal.SIGKILL):
    if process.poll() is None:
        process.send_signal(sig)
    process.wait(timeout=10)


def finished_stderr(process):
    """What a finished process wrote to its piped standard error; reading a live
    one would block, so it only says that it is still running."""
    if process.poll() is None:
        return "(still running)"
    return process.stderr.read()


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
