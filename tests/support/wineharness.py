"""Real Wine for the Windows tests, on the same private Xvfb servers as the
Linux end-to-end tests.

One Wine prefix serves a whole test run: the first suite that needs it makes
it (`wineboot -i`, several seconds), later suites find it ready. It lives in
GLOAMERY_WINE_CACHE when that is set (scripts/test.sh points it at a fresh
temporary folder per run), else in a folder of the system's temp directory
named after the build tree.
Suites that share the prefix share its wineserver, so they must not run at
the same time (the ctest registrations lock one resource); each suite stops
the processes it started by pid and the wineserver at its end.
"""

import fcntl
import hashlib
import json
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


def windows_path(program):
    """A Unix path as Windows programs name it (Wine shows / as drive Z:);
    Windows paths and bare names as they are."""
    return "Z:" + program.replace("/", "\\") if program.startswith("/") else program


def as_windows_child(program, args):
    """The command line that runs the program as a child of a Windows parent,
    whose exit status is then the Windows exit code (see win_parent.c)."""
    return ["wine", windows_binary("win_parent.exe"), windows_path(program), *args]


def probe_window(wine, class_name, caption, timeout_ms):
    """What about_probe.exe reports of a visible top-level window of another
    process (see its header), or None when none shows within the time."""
    result = wine.run(windows_binary("about_probe.exe"), class_name, caption, str(timeout_ms),
                      timeout=timeout_ms / 1000 + 60)
    return json.loads(result.stdout) if result.returncode == 0 else None


def prefix_path():
    # Without a folder from the caller, one per build tree: runs from two
    # checkouts at once must not share a wineserver, which either would stop.
    tree = hashlib.sha1(os.path.realpath(BUILD_DIR).encode()).hexdigest()[:12]
    cache = os.environ.get("GLOAMERY_WINE_CACHE") or os.path.join(
        tempfile.gettempdir(), "gloamery-wine-%d-%s" % (os.getuid(), tree))
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

    def env(self, **extra):
        env = _wine_env(self.prefix, self.xserver.display)
        env.update(extra)
        return env

    def start(self, program, *args, stdin=None, stderr=subprocess.PIPE, **extra_env):
        """The program under Wine, with extra_env added to its environment;
        its status is the exit code a Windows parent reads. Wine's traces
        can outgrow a pipe nobody reads: give `stderr` a file for them."""
        process = subprocess.Popen(as_windows_child(program, args), env=self.env(**extra_env), stdin=stdin,
                                   stdout=subprocess.PIPE, stderr=stderr)
        self.processes.append(process)
        return process

    def run(self, program, *args, timeout=120):
        """Runs to the end; the Windows exit code is Wine's own exit status.
        The output is collected in files, not pipes: when this program is the
        first of the prefix's server, Wine's helper processes (services, the
        desktop) inherit its standard handles and outlive it, and a pipe would
        never see its end."""
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(as_windows_child(program, args), env=self.env(), timeout=timeout,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(result.args, result.returncode, out.read(), err.read())

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
