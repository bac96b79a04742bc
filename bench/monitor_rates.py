#!/usr/bin/env python3
"""Presented frames per second on the primary monitor of `gloamery /s` with
one, two and three monitors (Xorg's dummy driver, the software renderer),
the CPU seconds per presented frame, and the time from a monitor's
connection to the first frame its window presents.

    bench/monitor_rates.py [--settle S] [--measure S] [BUILD_DIR]

Monitors: a 1024x768 primary, an 800x600 second one right of it, and a tall
600x800 third one right of that. The swap counter tells the primary's frames
(the window whose swaps wait for the refresh) from the others'.
"""

import argparse
import os
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
import xharness  # noqa: E402
from xorg_dummy import SECOND_MODE, TwoMonitorXServer  # noqa: E402
from proc_stats import cpu_seconds  # noqa: E402


def swaps(path):
    """(frames, time of the last) from a swap record; (0, 0) before the first."""
    try:
        with open(path) as f:
            frames, _, last = f.read().split()
        return int(frames), float(last)
    except (FileNotFoundError, ValueError):
        return 0, 0.0


class Run:
    def __init__(self, server, build, folder):
        self.primary = os.path.join(folder, "swaps")
        self.others = os.path.join(folder, "other-swaps")
        self.process = server.start(os.path.join(build, "bin", "gloamery"), "/s",
                                    LD_PRELOAD=os.path.join(build, "tests", "support", "swap_counter.so"),
                                    GLOAMERY_SWAP_RECORD=self.primary, GLOAMERY_OTHER_SWAPS_RECORD=self.others)
        if not xharness.wait_for_file(self.primary, xharness.PATIENCE, self.process):
            raise SystemExit("no frame presented")

    def rate(self, settle, measure):
        time.sleep(settle)
        frames0, others0 = swaps(self.primary)[0], swaps(self.others)[0]
        cpu0, t0 = cpu_seconds(self.process.pid), time.monotonic()
        time.sleep(measure)
        frames1, others1 = swaps(self.primary)[0], swaps(self.others)[0]
        cpu1, t1 = cpu_seconds(self.process.pid), time.monotonic()
        frames = frames1 - frames0
        return frames / (t1 - t0), (others1 - others0) / (t1 - t0), (cpu1 - cpu0) / max(frames, 1)

    def stop(self):
        xharness.stop(self.process)


def connection_to_first_frame(server, run):
    """Seconds from `xrandr` switching the second monitor on to the first
    frame its new window presents."""
    server.switch_off("DUMMY1")
    server.wait_for_monitors([server.PRIMARY])
    time.sleep(2)
    before, _ = swaps(run.others)
    start = time.time()
    server.switch_on("DUMMY1", SECOND_MODE[0], server.SECOND[0])
    deadline = time.monotonic() + xharness.PATIENCE
    while swaps(run.others)[0] == before:
        if time.monotonic() > deadline:
            return None
        time.sleep(0.005)
    return swaps(run.others)[1] - start


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--settle", type=float, default=5)
    parser.add_argument("--measure", type=float, default=10)
    parser.add_argument("build", nargs="?", default=os.path.join(HERE, "..", "build"))
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    folder = tempfile.mkdtemp(prefix="gloamery-monitor-rates-")
    # The others' frames are those of the other monitors' windows together;
    # black ones present only when the system asks them to repaint.
    print("monitors  frames/s on the primary  the others'  CPU s per frame")
    for count in (1, 2, 3):
        with TwoMonitorXServer(third=count == 3) as server:
            if count == 1:
                server.switch_off("DUMMY1")
                server.wait_for_monitors([server.PRIMARY])
            run = Run(server, build, folder)
            try:
                fps, others, cpu = run.rate(args.settle, args.measure)
                print("%8d  %23.1f  %11.1f  %15.4f" % (count, fps, others, cpu))
                if count == 2:
                    latency = connection_to_first_frame(server, run)
                    print("from the second monitor's connection to its first frame: %s"
                          % ("none within %ss" % xharness.PATIENCE if latency is None else "%.3f s" % latency))
            finally:
                run.stop()


if __name__ == "__main__":
    main()
