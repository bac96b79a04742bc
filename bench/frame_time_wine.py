#!/usr/bin/env python3
"""Frame time of Gloamery.scr under Wine beside the Linux program, on the same
machine, screen size and software renderer.

Each program runs `/s` on its own Xvfb of the given size. The Linux program's
frames are counted by the preloaded frame counter of the tests; the .scr's by
Wine's own record of them (its `wgl` debug channel logs every wglSwapBuffers).
After a settling time, the frames presented over the measuring time give the
milliseconds per frame; the two take turns, so a change in the machine's load
falls on both.

    bench/frame_time_wine.py [--size WxH] [--settle S] [--measure S] [--rounds N] LINUX_BUILD WINDOWS_BUILD
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import wineharness  # noqa: E402
import xharness  # noqa: E402

SWAP_MARK = b"wglSwapBuffers"
START_TIMEOUT = 180


def wait_for(condition, process, what):
    deadline = time.monotonic() + START_TIMEOUT
    while not condition():
        if process.poll() is not None:
            raise SystemExit("%s ended before %s" % (process.args[0], what))
        if time.monotonic() > deadline:
            raise SystemExit("no %s within %ds" % (what, START_TIMEOUT))
        time.sleep(0.05)


def linux_frames(record):
    def count():
        if not os.path.exists(record):
            return 0
        with open(record) as f:
            return int(f.read().split()[0])
    return count


def wine_frames(log_path):
    def count():
        with open(log_path, "rb") as log:
            return log.read().count(SWAP_MARK)
    return count


def milliseconds_per_frame(frames, settle, measuring):
    time.sleep(settle)
    first, started = frames(), time.monotonic()
    time.sleep(measuring)
    last, ended = frames(), time.monotonic()
    return 1000.0 * (ended - started) / (last - first) if last > first else float("inf")


def measure_linux(build, size, settle, measuring):
    with tempfile.TemporaryDirectory() as folder, xharness.XServer(*size) as server:
        record = os.path.join(folder, "swaps")
        process = server.start(os.path.join(build, "bin", "gloamery"), "/s",
                               LD_PRELOAD=os.path.join(build, "tests", "support", "swap_counter.so"),
                               GLOAMERY_SWAP_RECORD=record)
        try:
            frames = linux_frames(record)
            wait_for(lambda: frames() >= 2, process, "frame")
            return milliseconds_per_frame(frames, settle, measuring)
        finally:
            xharness.stop(process)


def measure_wine(build, size, settle, measuring):
    with xharness.XServer(*size) as server, tempfile.NamedTemporaryFile(suffix=".log") as log:
        wine = wineharness.Wine(server)
        env = wine.env()
        env["WINEDEBUG"] = "-all,+wgl"
        process = subprocess.Popen(["wine", os.path.join(build, "bin", "Gloamery.scr"), "/s"], env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        wine.processes.append(process)
        try:
            frames = wine_frames(log.name)
            wait_for(lambda: frames() >= 2, process, "frame")
            return milliseconds_per_frame(frames, settle, measuring)
        finally:
            wine.stop_all()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size", default="320x180")
    parser.add_argument("--settle", type=float, default=5.0)
    parser.add_argument("--measure", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("linux_build")
    parser.add_argument("windows_build")
    args = parser.parse_args()
    size = tuple(int(v) for v in args.size.split("x"))
    linux_build, windows_build = os.path.abspath(args.linux_build), os.path.abspath(args.windows_build)
    xharness.BIN_DIR = linux_build
    linux, wine = [], []
    for _ in range(args.rounds):
        linux.append(measure_linux(linux_build, size, args.settle, args.measure))
        wine.append(measure_wine(windows_build, size, args.settle, args.measure))
        print("round: linux %.1f ms/frame, wine %.1f ms/frame" % (linux[-1], wine[-1]), flush=True)
    print("%s, median of %d: linux %.1f ms/frame, Gloamery.scr under Wine %.1f ms/frame, ratio %.2f"
          % (args.size, args.rounds, statistics.median(linux), statistics.median(wine),
             statistics.median(wine) / statistics.median(linux)))


if __name__ == "__main__":
    main()
