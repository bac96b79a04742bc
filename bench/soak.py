#!/usr/bin/env python3
"""A long run of `gloamery /s` on the software renderer, watched for slow
leaks and slowing down.

Under its own Xvfb at 1280x720, with the frame counter and the GL seam
preloaded: every interval the process's resident memory, its open file
descriptors, the GL objects alive (buffers, textures, framebuffers, queries,
shaders, programs) and the frames presented per second since the last
sample. At the end the least-squares slope of each per hour; a healthy run
has slopes near zero.

    bench/soak.py [--minutes M] [--interval S] BUILD_DIR     (an hour by default)
"""

import argparse
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xharness  # noqa: E402
from proc_stats import open_descriptors, resident_kib  # noqa: E402

SCREEN = (1280, 720)


def read_first_number(path):
    try:
        with open(path) as f:
            return float(f.read().split()[0])
    except (OSError, IndexError, ValueError):
        return 0.0


def slope_per_hour(times, values):
    """Least-squares slope of values against times (seconds), per hour."""
    n = len(times)
    if n < 2:
        return 0.0
    mean_t, mean_v = sum(times) / n, sum(values) / n
    spread = sum((t - mean_t) ** 2 for t in times)
    if spread == 0:
        return 0.0
    return 3600 * sum((t - mean_t) * (v - mean_v) for t, v in zip(times, values)) / spread


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--minutes", type=float, default=60.0)
    parser.add_argument("--interval", type=float, default=60.0)
    parser.add_argument("build")
    options = parser.parse_args()
    xharness.BIN_DIR = os.path.abspath(options.build)
    program = os.path.join(xharness.BIN_DIR, "bin", "gloamery")
    preload = " ".join(xharness.support_library(name) for name in ("swap_counter.so", "gl_seam.so"))
    with tempfile.TemporaryDirectory() as folder, xharness.XServer(*SCREEN) as server:
        swaps, objects = os.path.join(folder, "swaps"), os.path.join(folder, "objects")
        process = server.start(program, "/s", LD_PRELOAD=preload, GLOAMERY_SWAP_RECORD=swaps,
                               GLOAMERY_GL_OBJECTS_RECORD=objects)
        try:
            if not xharness.wait_for_file(swaps, 60, process):
                raise SystemExit("no frame presented: %s" % xharness.stderr_text(process))
            start = time.monotonic()
            columns = ("minute", "RSS MiB", "fds", "GL objects", "frames/s")
            print("%8s %9s %5s %11s %9s" % columns, flush=True)
            samples = {name: [] for name in columns[1:]}
            times = []
            last_frames, last_time = read_first_number(swaps), start
            while time.monotonic() - start < options.minutes * 60:
                time.sleep(options.interval)
                if process.poll() is not None:
                    raise SystemExit("the run ended: %s" % xharness.stderr_text(process))
                now, frames = time.monotonic(), read_first_number(swaps)
                row = (resident_kib(process.pid) / 1024, open_descriptors(process.pid), read_first_number(objects),
                       (frames - last_frames) / (now - last_time))
                last_frames, last_time = frames, now
                times.append(now - start)
                for name, value in zip(columns[1:], row):
                    samples[name].append(value)
                print("%8.1f %9.1f %5d %11d %9.2f" % ((now - start) / 60, *row), flush=True)
            print("slopes per hour: " + ", ".join("%s %+.3f" % (name, slope_per_hour(times, values))
                                                for name, values in samples.items()))
        finally:
            xharness.stop(process)


if __name__ == "__main__":
    main()
