#!/usr/bin/env python3
"""Presented frames per second of `gloamery /s` on the software renderer.

For each screen size and each build given: the program runs under its own
Xvfb with the preloaded frame counter; after a settling time, the frames
presented over a measuring time give the frame rate, the process's user and
system CPU time over the same interval the CPU seconds per presented frame,
and the first viewport of the last frame the size the scene was shaded at.

    bench/scaled_frame_rate.py [--settle S] [--measure S] [--screenshots DIR] BUILD_DIR...

Each BUILD_DIR's bin/gloamery is measured; the frame counter comes from the
first one. Name a baseline build after it to compare (e.g. main's build).
"""

import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xharness  # noqa: E402

SIZES = ((1280, 720), (1920, 1080))
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    # utime and stime are the 14th and 15th fields; the split starts at the 3rd.
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def read_numbers(path):
    with open(path) as f:
        return f.read().split()


def wait_for_frames(record, count, process, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if os.path.exists(record) and int(read_numbers(record)[0]) >= count:
            return
        if process.poll() is not None:
            raise SystemExit("the program ended: %s" % xharness.stderr_text(process))
        time.sleep(0.05)
    raise SystemExit("fewer than %d frames within %ss" % (count, timeout))


def measure(program, size, settle, measuring, screenshot):
    folder = tempfile.mkdtemp(prefix="gloamery-rate-")
    swaps, drawn = os.path.join(folder, "swaps"), os.path.join(folder, "drawn")
    with xharness.XServer(*size) as server:
        process = server.start(program, "/s", LD_PRELOAD=xharness.support_library("swap_counter.so"),
                               GLOAMERY_SWAP_RECORD=swaps, GLOAMERY_DRAW_SIZE_RECORD=drawn)
        try:
            wait_for_frames(swaps, 2, process, 120)
            time.sleep(settle)
            frames0, _, t0 = map(float, read_numbers(swaps))
            cpu0 = cpu_seconds(process.pid)
            time.sleep(measuring)
            frames1, _, t1 = map(float, read_numbers(swaps))
            cpu1 = cpu_seconds(process.pid)
            shaded = "x".join(read_numbers(drawn)) if os.path.exists(drawn) else "?"
            if screenshot:
                server.screenshot(screenshot)
        finally:
            xharness.stop(process)
    frames = frames1 - frames0
    rate = frames / (t1 - t0) if t1 > t0 else 0.0
    cpu_per_frame = (cpu1 - cpu0) / frames if frames else float("nan")
    return rate, cpu_per_frame, shaded


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--settle", type=float, default=10.0)
    parser.add_argument("--measure", type=float, default=20.0)
    parser.add_argument("--screenshots", help="folder for a screenshot of each run")
    parser.add_argument("builds", nargs="+")
    args = parser.parse_args()
    xharness.BIN_DIR = os.path.abspath(args.builds[0])
    print("%-34s %-10s %8s %12s %10s" % ("build", "screen", "frames/s", "CPU s/frame", "shaded at"))
    for width, height in SIZES:
        for index, build in enumerate(args.builds):
            program = os.path.join(os.path.abspath(build), "bin", "gloamery")
            shot = None
            if args.screenshots:
                shot = os.path.join(args.screenshots, "build%d-%dx%d.png" % (index, width, height))
            rate, cpu, shaded = measure(program, (width, height), args.settle, args.measure, shot)
            print("%-34s %-10s %8.2f %12.3f %10s" % (build[-34:], "%dx%d" % (width, height), rate, cpu, shaded),
                  flush=True)


if __name__ == "__main__":
    main()
