"""A private Wine prefix on a test's own X server, for running the Windows
build's programs for real."""

import os
import shutil
import subprocess
import tempfile

SOURCE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
WIN_BIN_DIR = os.environ.get("GLOAMERY_WIN_BIN_DIR", os.path.join(SOURCE_DIR, "build-windows", "bin"))


def windows_binary(name):
    return os.path.join(WIN_BIN_DIR, name)


class WinePrefix:
    """A fresh WINEPREFIX, booted on `server` (an xharness.XServer), alive
    for the `with` block. Wine draws window frames itself, as Windows does,
    since the tests run no X window manager."""

    def __init__(self, server):
        self.server = server
        self.path = None

    def env(self, **extra):
        return self.server.env(WINEPREFIX=self.path, WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="-all",
                               **extra)

    def __enter__(self):
        self.path = tempfile.mkdtemp(prefix="gloamery-wine-")
        try:
            self._run_tool("wineboot", "-i", timeout=300)
            # One server for the prefix's whole life, started with no handles of
            # ours, so that no test's program is the one that starts it. The
            # boot's own server goes first.
            self._run_tool("wineserver", "-w", timeout=120)
            subprocess.run(["wineserver", "-p"], env=self.env(), stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60, check=True)
            self.add_registry_value(r"HKCU\Software\Wine\X11 Driver", "Decorated", "N")
            self.add_registry_value(r"HKCU\Software\Wine\WineDbg", "ShowCrashDialog", "0", kind="REG_DWORD")
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        subprocess.run(["wineserver", "-k"], env=self.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env(), timeout=60)
        shutil.rmtree(self.path, True)

    def _run_tool(self, *args, timeout=60):
        return subprocess.run(list(args), env=self.env(), timeout=timeout, check=True,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def add_registry_value(self, key, name, data, kind="REG_SZ"):
        self._run_tool("wine", "reg", "add", key, "/v", name, "/t", kind, "/d", data, "/f")

    def start(self, program, *args, **extra_env):
        """A Windows program started under Wine; its process is the program's own.
        Its output is not kept (see run)."""
        return subprocess.Popen(["wine", program, *args], env=self.env(**extra_env), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, program, *args, timeout=60):
        """A Windows console program run to its end; the CompletedProcess.
        Its output goes through files: Wine's helper processes (the desktop,
        services) may inherit its standard handles and outlive it, so a pipe
        would not see its end when the program ends."""
        with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
            result = subprocess.run(["wine", program, *args], env=self.env(), timeout=timeout,
                                    stdout=out, stderr=err)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(result.args, result.returncode, out.read(), err.read())
