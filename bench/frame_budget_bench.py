#!/usr/bin/env python3
"""The frame budget at large screens on the software renderer.

For each screen size and each build given, `gloamery /s` runs under its own
Xvfb with the preloaded frame counter: the time from the window's appearance
(polled every 5 ms) to the first presented frame, the frames presented a
second over a measuring time after a settling time, and the size the scene
was last shaded at. At the largest size, `glxgears -fullscreen` (mesa-utils)
presents as fast as it can in the same way, as the ceiling that presenting
alone sets.

    bench/frame_budget_bench.py [--settle S] [--measure S] [--sizes WxH,...] BUILD_DIR...

The frame counter comes from the first BUILD_DIR.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xharness  # noqa: E402

TITLE = "Gloamery 3D Screensaver"


def read_record(path):
    try:
        with open(path) as f:
            return f.read().split()
    except OSError:
        return []


def window_appears(server, name, process, timeout=60):
    """The wall time at which a mapped window of that title was first seen."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name], env=server.env(),
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False).stdout.split()
        if found:
            return time.time()
        if process.poll() is not None:
            raise SystemExit("the program ended: %s" % xharness.stderr_text(process))
        time.sleep(0.005)
    raise SystemExit("no window within %ss" % timeout)


def frames_per_second(record, seconds):
    start = float(read_record(record)[0])
    time.sleep(seconds)
    return (float(read_record(record)[0]) - start) / seconds


def measure_gloamery(server, build, swap_counter, settle, measure):
    with tempfile.TemporaryDirectory() as folder:
        swaps, drawn = os.path.join(folder, "swaps"), os.path.join(folder, "drawn")
        process = server.start(os.path.join(build, "bin", "gloamery"), "/s", LD_PRELOAD=swap_counter,
                               GLOAMERY_SWAP_RECORD=swaps, GLOAMERY_DRAW_SIZE_RECORD=drawn)
        try:
            appeared = window_appears(server, TITLE, process)
            if not xharness.wait_for_file(swaps, 120, process):
                raise SystemExit("no frame presented")
            first = float(read_record(swaps)[1])
            first_size = "x".join(read_record(drawn)) or "?"
            time.sleep(settle)
            rate = frames_per_second(swaps, measure)
            return first - appeared, first_size, rate, "x".join(read_record(drawn))
        finally:
            xharness.stop(process)


def measure_glxgears(server, swap_counter, settle, measure):
    if shutil.which("glxgears") is None:
        return None
    with tempfile.TemporaryDirectory() as folder:
        swaps = os.path.join(folder, "swaps")
        process = server.start("glxgears", "-fullscreen", LD_PRELOAD=swap_counter, GLOAMERY_SWAP_RECORD=swaps,
                               vblank_mode="0")
        try:
            if not xharness.wait_for_file(swaps, 60, process):
                return None
            time.sleep(settle)
            return frames_per_second(swaps, measure)
        finally:
            xharness.stop(process)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--settle", type=float, default=8.0)
    parser.add_argument("--measure", type=float, default=10.0)
    parser.add_argument("--sizes", default="1920x1080,3840x2160,7680x4320")
    parser.add_argument("builds", nargs="+")
    options = parser.parse_args()
    builds = [os.path.abspath(b) for b in options.builds]
    swap_counter = os.path.join(builds[0], "tests", "support", "swap_counter.so")
    sizes = [tuple(int(v) for v in s.split("x")) for s in options.sizes.split(",")]
    print("%-10s %-28s %14s %12s %9s %12s" % ("screen", "build", "first frame s", "first size", "frames/s",
                                               "settled size"))
    for width, height in sizes:
        with xharness.XServer(width, height) as server:
            for build in builds:
                latency, first_size, rate, settled = measure_gloamery(server, build, swap_counter, options.settle,
                                                                      options.measure)
                print("%-10s %-28s %14.2f %12s %9.1f %12s" % ("%dx%d" % (width, height), build[-28:], latency,
                                                              first_size, rate, settled), flush=True)
            if (width, height) == sizes[-1]:
                gears = measure_glxgears(server, swap_counter, 2.0, options.measure)
                if gears is not None:
                    print("%-10s %-28s %14s %12s %9.1f" % ("%dx%d" % (width, height), "glxgears -fullscreen", "",
                                                           "", gears), flush=True)


if __name__ == "__main__":
    main()
