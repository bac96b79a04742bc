"""Real Wine for the Windows tests, on the same private Xvfb servers as the
Linux end-to-end tests.

One Wine prefix serves a whole test run: the first suite that needs it makes
it (`wineboot -i`, several seconds), later suites find it ready. It lives in
GLOAMERY_WINE_CACHE when that is set (scripts/test.sh points it at a fresh
temporary folder per run), else in a folder of the system's temp directory.
Suites that share the prefix share its wineserver, so they must not run at
the same time (the ctest registrations lock one resource); each suite stops
the processes it started by pid and the wineserver at its end.
"""

import fcntl
import os
import subprocess
import tempfile
import time

from xharness import XServer, wait_for_exit  # noqa: F401  (re-exported for the suites)

BUILD_DIR = os.environ.get("GLOAMERY_WIN_BUILD_DIR",
                           os.path.join(os.path.dirname(__file__), "..", "..", "build-windows"))

# Wine's settings for unattended runs: no Mono or Gecko installer prompts, no
# debug channels on standard error.
WINE_ENV = {"WINEDLLOVERRIDES": "mscoree,mshtml=", "WINEDEBUG": "-all", "WINEARCH": "win64"}


def windows_binary(name):
    return os.path.join(BUILD_DIR, "bin", name)


def prefix_path():
    cache = os.environ.get("GLOAMERY_WINE_CACHE") or os.path.join(
        tempfile.gettempdir(), "gloamery-wine-%d" % os.getuid())
    return os.path.join(cache, "prefix")


def _wine_env(prefix, display=None):
    env = dict(os.environ)
    env.update(WINE_ENV)
    env["WINEPREFIX"] = prefix
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    env.pop("XAUTHORITY", None)
    return env


def prepare_prefix(timeout=240):
    """The shared prefix, made on first use. A lock keeps two suites from
    making it at once; a marker written last says it is whole."""
    prefix = prefix_path()
    os.makedirs(os.path.dirname(prefix), exist_ok=True)
    marker = prefix + ".ready"
    with open(prefix + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(marker):
            return prefix
        env = _wine_env(prefix)
        subprocess.run(["wineboot", "-i"], env=env, timeout=timeout, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A crashing test program must end, not wait on WineDbg's dialog.
        subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                        "/t", "REG_DWORD", "/d", "0", "/f"], env=env, timeout=timeout, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=timeout, check=True)
        open(marker, "w").close()
    return prefix


class Wine:
    """Windows programs on one X server, in the shared prefix."""

    def __init__(self, xserver):
        self.xserver = xserver
        self.prefix = prepare_prefix()
        self.processes = []

    def env(self):
        return _wine_env(self.prefix, self.xserver.display)

    def start(self, program, *args, stdin=None):
        process = subprocess.Popen(["wine", program, *args], env=self.env(), stdin=stdin,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.processes.append(process)
        return process

    def run(self, program, *args, timeout=120):
        """Runs to the end; the Windows exit code is Wine's own exit status."""
        return subprocess.run(["wine", program, *args], env=self.env(), timeout=timeout,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def stop_all(self):
        """Every process this object started, by pid, then the prefix's wineserver."""
        for process in self.processes:
            if process.poll() is None:
                process.kill()
            process.wait(timeout=30)
            for stream in (process.stdin, process.stdout, process.stderr):
                if stream:
                    stream.close()
        self.processes = []
        env = self.env()
        subprocess.run(["wineserver", "-k"], env=env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def wait_until(condition, timeout, interval=0.1, process=None):
    """Polls until condition() is true; False after timeout or when the given
    process has ended first."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if condition():
            return True
        if process is not None and process.poll() is not None:
            return condition()
        time.sleep(interval)
    return False
