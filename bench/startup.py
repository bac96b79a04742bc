#!/usr/bin/env python3
"""Start-up cost of the screensaver against a bare GLFW program.

For each program: the time from exec to its first presented frame (seen by
the preloaded frame counter) and its peak resident set size, as the median of
several runs, each under its own Xvfb.

    bench/startup.py [BUILD_DIR] [RUNS]
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xharness  # noqa: E402

BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5
xharness.BIN_DIR = BUILD


def measure(argv):
    record = "/tmp/gloamery-bench-swaps-%d" % os.getpid()
    if os.path.exists(record):
        os.unlink(record)
    with xharness.XServer(1280, 720) as server:
        started = time.time()
        process = server.start(*argv, LD_PRELOAD=xharness.support_library("swap_counter.so"),
                               GLOAMERY_SWAP_RECORD=record)
        if not xharness.wait_for_file(record, 120, process):
            raise SystemExit("%s presented no frame" % argv[0])
        with open(record) as f:
            first_frame = float(f.read().split()[1])
        time.sleep(0.5)  # let the loop settle so the peak includes steady state
        process.kill()
        _, _, usage = os.wait4(process.pid, 0)
        process.returncode = -9
        os.unlink(record)
        return first_frame - started, usage.ru_maxrss / 1024.0


def report(name, argv):
    samples = [measure(argv) for _ in range(RUNS)]
    start = statistics.median(s[0] for s in samples)
    rss = statistics.median(s[1] for s in samples)
    print("%-22s first frame %7.1f ms   peak RSS %6.1f MiB" % (name, start * 1000, rss))
    return start, rss


def main():
    saver = report("gloamery /s", [os.path.join(BUILD, "bin", "gloamery"), "/s"])
    bare_program = os.path.join(BUILD, "bin", "bare_glfw")
    for name, argv in (("bare, same hints", [bare_program, "--same-hints"]), ("bare, default hints", [bare_program])):
        bare = report(name, argv)
        print("%-22s first frame %7.2fx     peak RSS %6.2fx" % ("  ratio", saver[0] / bare[0], saver[1] / bare[1]))


if __name__ == "__main__":
    main()
