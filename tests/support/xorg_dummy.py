"""An Xorg server with the dummy video driver and two monitors side by side,
for tests of what a full-screen run does beside the primary monitor.

Xvfb offers one RandR output; the dummy driver offers sixteen, of which two
are switched on here: a primary one at the origin and a second one to its
right. Like XServer, it picks its own display number (-displayfd), keeps its
config and log in a folder of its own, and is stopped by its pid.
"""

import os
import re
import shutil
import signal
import tempfile
import time

from xharness import PATIENCE, XServer, stderr_text, stop

CONFIG = """\
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection

Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection

Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2560 1024
    EndSubSection
EndSection

Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
EndSection
"""

# Modes the dummy outputs do not list, made from modelines: name, pixel clock
# in MHz, horizontal and vertical timings. The clock over both totals is the
# refresh rate: 60 Hz, and 20 Hz for a monitor slower than any default.
# A monitor in a tall mode, since the dummy driver cannot rotate one.
TALL_MODE = ("600x800_60", "39.35", "600", "632", "696", "792", "800", "801", "804", "828", "+hsync", "+vsync")
SECOND_MODE = ("800x600_60", "40.00", "800", "840", "968", "1056", "600", "601", "605", "628", "+hsync", "+vsync")

MONITOR_LINE = re.compile(r"^\s*\d+:\s+\S+\s+(\d+)/\d+x(\d+)/\d+\+(\d+)\+(\d+)\s+(\S+)\s*$")


class TwoMonitorXServer(XServer):
    """Xorg with DUMMY0 at the origin (primary; 1024x768 unless a modeline is
    given) and DUMMY1 at 800x600, 60 Hz, right of it; with `third`, DUMMY2 in
    the tall mode right of that."""

    SLOW_SMALL_MODE = ("160x120_20", "12.00", "160", "176", "192", "1000", "120", "121", "124", "600",
                       "+hsync", "+vsync")

    def __init__(self, primary_mode=None, third=False):
        self.primary_mode = primary_mode
        width, height = (int(v) for v in (primary_mode[0].split("_")[0] if primary_mode else "1024x768").split("x"))
        self.PRIMARY = (0, 0, width, height)
        self.SECOND = (width, 0, 800, 600)
        self.THIRD = (width + 800, 0, 600, 800) if third else None
        super().__init__(width + 800 + (600 if third else 0), max(height, 800 if third else 600))
        self.folder = None

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="gloamery-xorg-")
        config = os.path.join(self.folder, "xorg.conf")
        with open(config, "w") as f:
            f.write(CONFIG)
        self.start_server()
        try:
            self.arrange_monitors()
        except BaseException:
            self.stop_server()
            raise
        return self

    def command(self, displayfd):
        return ["Xorg", "-displayfd", str(displayfd), "-noreset", "-nolisten", "tcp", "-config",
                os.path.join(self.folder, "xorg.conf"), "-configdir", self.folder,
                "-logfile", os.path.join(self.folder, "xorg.log")]

    def startup_log(self):
        return self.log()

    def log(self):
        text = stderr_text(self.process) if self.process else ""
        path = os.path.join(self.folder, "xorg.log") if self.folder else ""
        if path and os.path.exists(path):
            with open(path, errors="replace") as f:
                text += f.read()[-4000:]
        return text

    def add_mode(self, output, modeline):
        self.run("xrandr", "--newmode", *modeline)
        self.run("xrandr", "--addmode", output, modeline[0])
        return modeline[0]

    def arrange_monitors(self):
        primary = self.add_mode("DUMMY0", self.primary_mode) if self.primary_mode else "1024x768"
        second = self.add_mode("DUMMY1", SECOND_MODE)
        outputs = ["--output", "DUMMY0", "--mode", primary, "--pos", "0x0", "--primary",
                   "--output", "DUMMY1", "--mode", second, "--pos", "%dx0" % self.SECOND[0]]
        if self.THIRD:
            tall = self.add_mode("DUMMY2", TALL_MODE)
            outputs += ["--output", "DUMMY2", "--mode", tall, "--pos", "%dx0" % self.THIRD[0]]
        self.run("xrandr", *outputs)
        self.wait_for_monitors([self.PRIMARY, self.SECOND] + ([self.THIRD] if self.THIRD else []))

    def monitors(self):
        """(x, y, width, height) of each monitor xrandr reports, primary first."""
        found = []
        for line in self.run("xrandr", "--listactivemonitors").stdout.splitlines():
            match = MONITOR_LINE.match(line)
            if match:
                width, height, x, y = (int(v) for v in match.groups()[:4])
                found.append((x, y, width, height))
        return found

    def wait_for_monitors(self, want):
        """Until xrandr lists exactly these monitors (primary first)."""
        deadline = time.monotonic() + PATIENCE
        while self.monitors() != want:
            if time.monotonic() > deadline:
                raise AssertionError("xrandr reports monitors %r, not %r" % (self.monitors(), want))
            time.sleep(0.1)

    def switch_off(self, output):
        self.run("xrandr", "--output", output, "--off")

    def switch_on(self, output, mode, x):
        self.run("xrandr", "--output", output, "--mode", mode, "--pos", "%dx0" % x)

    def refresh_rates(self):
        """The current refresh rate of each connected output, rounded to Hz,
        in xrandr's order (DUMMY0 first)."""
        rates = []
        connected = False
        for line in self.run("xrandr", "--query").stdout.splitlines():
            if not line.startswith(" "):
                connected = " connected" in line
            elif connected and "*" in line:
                current = [field for field in line.split()[1:] if "*" in field][0]
                rates.append(round(float(current.strip("*+"))))
        return rates

    def stop_server(self):
        if self.process is not None:
            stop(self.process, signal.SIGTERM)
        if self.folder is not None:
            shutil.rmtree(self.folder, True)
            self.folder = None
