#!/usr/bin/env python3
"""Start-up cost of Gloamery.scr under Wine against a bare GLFW Win32 program
with the same window hints.

For each program: the time from exec to its first presented frame and the
peak working set, as the median of several runs, each under its own Xvfb, in
the shared Wine prefix of the tests (made first when missing).

The first frame is Wine's own record of it: with its `wgl` debug channel on,
the X11 driver logs every wglSwapBuffers. The channel also logs GLFW's
pixel-format enumeration, which both programs do alike, so the logging cost
is the same on both sides of the comparison. The peak working set is the
high-water mark of the Wine process's resident memory (VmHWM), Wine's own
DLLs included, read just before the process is killed.

    bench/startup_wine.py [BUILD_DIR] [RUNS]
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import wineharness  # noqa: E402
from xharness import XServer  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-windows")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
SWAP_MARK = b"wglSwapBuffers"
FRAME_TIMEOUT = 180


def peak_resident_mib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    raise RuntimeError("no VmHWM for %d" % pid)


def first_swap_seen(log_path):
    with open(log_path, "rb") as log:
        return SWAP_MARK in log.read()


def measure(argv):
    with XServer(1280, 720) as server, tempfile.NamedTemporaryFile(suffix=".log") as log:
        wine = wineharness.Wine(server)
        env = wine.env()
        env["WINEDEBUG"] = "-all,+wgl"
        try:
            started = time.monotonic()
            process = subprocess.Popen(["wine", *argv], env=env, stdout=subprocess.DEVNULL, stderr=log)
            wine.processes.append(process)
            while not first_swap_seen(log.name):
                if process.poll() is not None or time.monotonic() - started > FRAME_TIMEOUT:
                    raise SystemExit("%s presented no frame" % argv[0])
                time.sleep(0.005)
            first_frame = time.monotonic() - started
            time.sleep(0.5)  # let the loop settle so the peak includes steady state
            peak = peak_resident_mib(process.pid)
        finally:
            wine.stop_all()
        return first_frame, peak


def report(name, argv):
    samples = [measure(argv) for _ in range(RUNS)]
    start = statistics.median(s[0] for s in samples)
    peak = statistics.median(s[1] for s in samples)
    print("%-30s first frame %7.1f ms   peak working set %6.1f MiB" % (name, start * 1000, peak), flush=True)
    return start, peak


def main():
    wineharness.prepare_prefix()
    saver = report("Gloamery.scr /s", [os.path.join(BUILD, "bin", "Gloamery.scr"), "/s"])
    bare = report("bare_glfw.exe --same-hints", [os.path.join(BUILD, "bin", "bare_glfw.exe"), "--same-hints"])
    print("%-30s first frame %7.2fx     peak working set %6.2fx"
          % ("  ratio", saver[0] / bare[0], saver[1] / bare[1]))


if __name__ == "__main__":
    main()
