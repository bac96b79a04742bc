#!/usr/bin/env python3
"""What a run costs while nobody can see it, and how soon it draws again.

Under its own Xvfb: a preview in a Tk host's window, visible, then hidden
(the toplevel withdrawn); a full-screen run, visible, then covered entirely by
another client's window. For each state the CPU cores the process uses over a
measuring time (user + system time of all its threads / wall time), then the
time from showing the window again to the next presented frame (the preloaded
frame counter's record, polled every 2 ms), as the median of several tries.

    bench/unseen_cost.py [--measure S] [--tries N] BUILD_DIR
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "support"))
import xharness  # noqa: E402
from proc_stats import cpu_seconds, niceness  # noqa: E402

TK_HOST = os.path.join(HERE, "..", "tests", "support", "tk_host.py")
SCREEN = (1280, 720)


def frames(record):
    try:
        with open(record) as f:
            return int(f.read().split()[0])
    except (OSError, IndexError, ValueError):
        return 0


def cores_over(pid, seconds):
    start_cpu, start = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - start_cpu) / (time.monotonic() - start)


class TkHost:
    def __init__(self, server, *options):
        self.process = subprocess.Popen([sys.executable, TK_HOST, *options], env=server.env(),
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.answers = xharness.LineReader(self.process.stdout)
        self.window = None if "--no-frame" in options else int(self.answers.readline().split()[1], 16)

    def do(self, command):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()
        return self.answers.readline().strip()

    def close(self):
        xharness.stop(self.process)


def wait_for_next_frame(record, after, process, timeout=30):
    """Seconds until a frame beyond `after` is out."""
    start = time.monotonic()
    while frames(record) <= after:
        if process.poll() is not None or time.monotonic() - start > timeout:
            raise SystemExit("no frame after showing the window again")
        time.sleep(0.002)
    return time.monotonic() - start


def measure(server, program, args, hide, show, measure_seconds, tries, label):
    with tempfile.TemporaryDirectory() as folder:
        record = os.path.join(folder, "swaps")
        process = server.start(program, *args, LD_PRELOAD=xharness.support_library("swap_counter.so"),
                               GLOAMERY_SWAP_RECORD=record)
        try:
            if not xharness.wait_for_file(record, 60, process):
                raise SystemExit("%s: no frame presented" % label)
            time.sleep(3)
            visible = cores_over(process.pid, measure_seconds)
            hide()
            time.sleep(1)
            hidden = cores_over(process.pid, measure_seconds)
            resumes = []
            for _ in range(tries):
                count = frames(record)
                show()
                resumes.append(wait_for_next_frame(record, count, process))
                time.sleep(0.5)
                hide()
                time.sleep(1)
            show()
            print("%-34s cores visible %.2f, unseen %.2f; niceness %d; showing again to a frame: median %.0f ms "
                  "(%s)" % (label, visible, hidden, niceness(process.pid), 1000 * statistics.median(resumes),
                            ", ".join("%.0f" % (1000 * r) for r in resumes)))
        finally:
            xharness.stop(process)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--measure", type=float, default=10.0)
    parser.add_argument("--tries", type=int, default=5)
    parser.add_argument("build")
    options = parser.parse_args()
    program = os.path.join(os.path.abspath(options.build), "bin", "gloamery")
    xharness.BIN_DIR = os.path.abspath(options.build)
    with xharness.XServer(*SCREEN) as server:
        host = TkHost(server, "--size", "640x360")
        try:
            measure(server, program, ["/p", str(host.window)], lambda: host.do("withdraw"),
                    lambda: host.do("deiconify"), options.measure, options.tries, "preview 640x360, host hidden")
        finally:
            host.close()
        cover = TkHost(server, "--no-frame")
        try:
            size = "%d %d" % SCREEN
            measure(server, program, ["/s"], lambda: cover.do("cover " + size), lambda: cover.do("uncover"),
                    options.measure, options.tries, "full screen 1280x720, covered")
        finally:
            cover.close()


if __name__ == "__main__":
    main()
