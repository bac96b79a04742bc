#!/usr/bin/env python3
"""Start-up cost of the screensaver against bare GLFW programs.

For each program: the time from exec to its first presented frame (seen by
the preloaded frame counter) and its peak resident set size, as the median of
several runs, each under its own Xvfb. The yardsticks are a bare window that
only clears, and a bare window that draws one frame of the scene shader at
the same size, which is the real floor. A second preloaded library notes where
the time goes (libraries, windowing library, window and context, shader
compile and link, texture upload, first frame), so the program itself needs
no timing code of its own.

    bench/startup.py [BUILD_DIR] [RUNS]

Needs bin/gloamery, bin/bare_glfw, bin/bare_scene, bench/startup_probe.so and
tests/support/swap_counter.so in BUILD_DIR.
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "support"))
import xharness  # noqa: E402

# Set from the command line; the tests import this file for its reader of
# the probe's record alone.
BUILD = None
RUNS = 5


PHASES = ("libraries", "glfwInit", "window+context", "shader compile+link", "textures", "first frame", "rest",
          "second frame")


def read_steps(path):
    """{step: (calls, first start, last end, seconds inside)} from the probe's record."""
    steps = {}
    with open(path) as f:
        for line in f:
            name, calls, first, last, inside = line.split()
            steps[name] = (int(calls), float(first), float(last), float(inside))
    return steps


def split(steps, started, first_frame):
    """Seconds per phase of the time from exec to the first presented frame."""
    def inside(*names):
        return sum(steps[n][3] for n in names)

    # A program that only clears starts its frame once its window is there.
    draws = [steps[n][1] for n in ("glDrawElements", "glDrawArrays") if steps[n][0] > 0]
    draw_start = min(draws) if draws else steps["glfwCreateWindow"][2]
    phases = {
        "libraries": steps["loaded"][1] - started,
        "glfwInit": inside("glfwInit"),
        "window+context": inside("glfwCreateWindow"),
        "shader compile+link": inside("glCompileShader", "glLinkProgram"),
        "textures": inside("glTexImage2D", "glGenerateMipmap"),
        # Drawing through presenting; a software renderer compiles the
        # shader's machine code here, at the first draw that uses it.
        "first frame": steps["glfwSwapBuffers"][2] - draw_start,
    }
    phases["rest"] = (first_frame - started) - sum(phases.values())
    return phases


def second_frame(steps, first_swap_end):
    """Seconds from the first presented frame to the second, or None for a
    program that draws once."""
    calls, _, last_end, _ = steps["glfwSwapBuffers"]
    return last_end - first_swap_end if calls >= 2 else None


def wait_for_second_frame(path, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        steps = read_steps(path)
        if steps["glfwSwapBuffers"][0] >= 2:
            return steps
        time.sleep(0.05)
    raise SystemExit("no second frame within %d s" % timeout)


def measure(argv, keeps_drawing):
    record = "/tmp/gloamery-bench-swaps-%d" % os.getpid()
    steps_record = "/tmp/gloamery-bench-steps-%d" % os.getpid()
    for path in (record, steps_record):
        if os.path.exists(path):
            os.unlink(path)
    preload = "%s:%s" % (xharness.support_library("swap_counter.so"), os.path.join(BUILD, "bench", "startup_probe.so"))
    with xharness.XServer(1280, 720) as server:
        started = time.time()
        process = server.start(*argv, LD_PRELOAD=preload, GLOAMERY_SWAP_RECORD=record,
                               GLOAMERY_STARTUP_RECORD=steps_record)
        if not xharness.wait_for_file(record, 120, process) or not xharness.wait_for_file(steps_record, 120, process):
            raise SystemExit("%s presented no frame" % argv[0])
        with open(record) as f:
            first_frame = float(f.read().split()[1])
        first_steps = read_steps(steps_record)
        phases = split(first_steps, started, first_frame)
        later_steps = wait_for_second_frame(steps_record, 120) if keeps_drawing else first_steps
        phases["second frame"] = second_frame(later_steps, first_steps["glfwSwapBuffers"][2])
        time.sleep(0.5)  # let the loop settle so the peak includes steady state
        process.kill()
        _, _, usage = os.wait4(process.pid, 0)
        process.returncode = -9
        os.unlink(record)
        os.unlink(steps_record)
        return first_frame - started, usage.ru_maxrss / 1024.0, phases


def report(name, argv, keeps_drawing=False):
    samples = [measure(argv, keeps_drawing) for _ in range(RUNS)]
    start = statistics.median(s[0] for s in samples)
    rss = statistics.median(s[1] for s in samples)
    print("%-22s first frame %7.1f ms   peak RSS %6.1f MiB" % (name, start * 1000, rss))
    def median_ms(phase):
        values = [s[2][phase] for s in samples if s[2][phase] is not None]
        return "%.1f" % (statistics.median(values) * 1000) if values else "-"

    print("  " + "  ".join("%s %s" % (phase, median_ms(phase)) for phase in PHASES) + "  (ms, medians)")
    return start, rss


def main():
    saver = report("gloamery /s", [os.path.join(BUILD, "bin", "gloamery"), "/s"], keeps_drawing=True)
    bare_program = os.path.join(BUILD, "bin", "bare_glfw")
    shaders = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "shaders")
    bare_scene = [os.path.join(BUILD, "bin", "bare_scene"), os.path.join(shaders, "scene.vert"),
                  os.path.join(shaders, "scene.frag")]
    for name, argv in (("bare, scene shader", bare_scene), ("bare, same hints", [bare_program, "--same-hints"]),
                       ("bare, default hints", [bare_program])):
        bare = report(name, argv)
        print("%-22s first frame %7.2fx     peak RSS %6.2fx" % ("  ratio", saver[0] / bare[0], saver[1] / bare[1]))


if __name__ == "__main__":
    BUILD = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else RUNS
    xharness.BIN_DIR = BUILD
    main()
