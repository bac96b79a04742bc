"""The Debian package as a user gets it: lintian's verdict, its control
fields and files, the theme entry, the manual pages, and the programs
unpacked from it, run under their own Xvfb."""

import configparser
import gzip
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

from packages import built, project_version
from xharness import PATIENCE, XServer, clean_env, stderr_text, stop, support_library, wait_for_exit, wait_for_file

INSTALLED_FILES = {
    "usr/bin/gloamery",
    "usr/bin/gloamery-snapshot",
    "usr/bin/gloamery-add-to-xscreensaver",
    "usr/libexec/xscreensaver/gloamery",
    "usr/share/xscreensaver/config/gloamery.xml",
    "usr/share/applications/screensavers/gloamery.desktop",
    "usr/share/man/man6/gloamery.6.gz",
    "usr/share/man/man1/gloamery-snapshot.1.gz",
    "usr/share/man/man1/gloamery-add-to-xscreensaver.1.gz",
    "usr/share/doc/gloamery/copyright",
    "usr/share/doc/gloamery/changelog.gz",
}
FRAMES = 5


def frames_presented(record):
    with open(record) as f:
        return int(f.read().split()[0])


def run(*args, **kwargs):
    return subprocess.run(list(args), stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=PATIENCE,
                          **kwargs)


class Package(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.deb = built("gloamery_%s_amd64.deb" % project_version())
        cls.root = tempfile.mkdtemp(prefix="gloamery-deb-")
        subprocess.run(["dpkg-deb", "-x", cls.deb, cls.root], check=True, timeout=PATIENCE)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.root, True)

    def unpacked(self, path):
        return os.path.join(self.root, path)

    def test_lintian_finds_no_errors_or_warnings(self):
        result = run("lintian", "--tag-display-limit", "0", self.deb)
        complaints = [line for line in result.stdout.splitlines() if re.match(r"[EW]: ", line)]
        self.assertEqual(complaints, [], result.stdout)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_control_fields(self):
        fields = {}
        for name in ("Package", "Version", "Architecture", "Section", "Maintainer", "Depends", "Description"):
            fields[name] = run("dpkg-deb", "-f", self.deb, name).stdout.strip()
        self.assertEqual(fields["Package"], "gloamery")
        self.assertEqual(fields["Version"], project_version())
        self.assertEqual(fields["Architecture"], "amd64")
        self.assertEqual(fields["Section"], "x11")
        self.assertRegex(fields["Maintainer"], r"^Vantaluxe <[^@ ]+@[^> ]+>$")
        # Computed from the binaries: the libraries they really link are named.
        # python3 for the XScreenSaver list's helper, a script.
        for library in ("libc6", "libglfw3", "libgtk-3-0", "libpng16-16", "libegl1", "libx11-6", "python3"):
            self.assertRegex(fields["Depends"], r"(^|, )%s( |,|$)" % re.escape(library))
        summary, _, extended = fields["Description"].partition("\n")
        self.assertTrue(summary and len(summary) < 80, summary)
        self.assertGreater(len(extended.split()), 30, "the extended description is missing")

    def test_installs_exactly_the_programs_and_their_integration(self):
        files = set()
        for folder, _, names in os.walk(self.root):
            files.update(os.path.relpath(os.path.join(folder, n), self.root) for n in names)
        self.assertEqual(files, INSTALLED_FILES)
        for program in ("usr/bin/gloamery", "usr/bin/gloamery-snapshot", "usr/bin/gloamery-add-to-xscreensaver",
                        "usr/libexec/xscreensaver/gloamery"):
            self.assertTrue(os.access(self.unpacked(program), os.X_OK), program)

    def test_copyright_is_machine_readable_and_reserves_all_rights(self):
        with open(self.unpacked("usr/share/doc/gloamery/copyright")) as f:
            text = f.read()
        paragraphs = [p for p in text.split("\n\n") if p.strip()]
        self.assertEqual(paragraphs[0].splitlines()[0],
                         "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/")
        files = [p for p in paragraphs if p.startswith("Files:")]
        self.assertEqual(len(files), 1)
        self.assertIn("Copyright: ", files[0])
        self.assertIn("Vantaluxe", files[0])
        self.assertIn("All rights reserved.", text)

    def test_changelog_names_this_release(self):
        with gzip.open(self.unpacked("usr/share/doc/gloamery/changelog.gz"), "rt") as f:
            first = f.readline()
        self.assertTrue(first.startswith("gloamery (%s) " % project_version()), first)

    def test_theme_entry_is_valid_and_starts_the_daemon_run(self):
        entry = self.unpacked("usr/share/applications/screensavers/gloamery.desktop")
        result = run("desktop-file-validate", entry)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        self.assertNotRegex(result.stdout + result.stderr, r"(error|warning):")
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(entry)
        desktop = parser["Desktop Entry"]
        self.assertEqual(desktop["Exec"], "gloamery --root")
        self.assertTrue(os.path.isfile(self.unpacked(os.path.join("usr/bin", desktop["TryExec"]))))

    def render_manual(self, page):
        env = dict(clean_env(MANWIDTH="80", LC_ALL="C.UTF-8"))
        return run("man", "--warnings", "-l", self.unpacked(page), env=env)

    def test_manual_pages_render_without_warnings(self):
        for page in ("usr/share/man/man6/gloamery.6.gz", "usr/share/man/man1/gloamery-snapshot.1.gz",
                     "usr/share/man/man1/gloamery-add-to-xscreensaver.1.gz"):
            result = self.render_manual(page)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stderr, "", page)
            self.assertIn("NAME", result.stdout)
            self.assertIn("Gloamery %s" % project_version(), result.stdout)

    def test_the_manual_names_every_start_that_help_does(self):
        manual = self.render_manual("usr/share/man/man6/gloamery.6.gz").stdout
        usage = run(self.unpacked("usr/bin/gloamery"), "--help", env=clean_env()).stdout
        starts = set(re.findall(r"^\s+((?:/|--)[a-z-]+)", usage, re.MULTILINE))
        self.assertGreaterEqual(len(starts), 7, usage)
        for start in starts:
            self.assertRegex(manual, r"(?m)^\s+%s\b" % re.escape(start), "gloamery(6) lacks " + start)
        for section in ("EXIT STATUS", "THE FRAME BUDGET", "WHEN NOBODY IS LOOKING", "ENVIRONMENT"):
            self.assertIn("\n" + section + "\n", manual)

    def test_the_unpacked_hack_draws_into_a_window_and_ends_on_sigterm_with_zero(self):
        hack = self.unpacked("usr/libexec/xscreensaver/gloamery")
        version = run(hack, "--version", env=clean_env())
        self.assertEqual(version.stdout, "gloamery %s\n" % project_version())
        with XServer(320, 200) as server:
            host = subprocess.Popen([support_library("x_host_window"), "--size", "160x90"], env=server.env(),
                                    stdin=subprocess.PIPE, stdout=subprocess.PIPE)
            folder = tempfile.mkdtemp(prefix="gloamery-deb-run-")
            process = None
            try:
                first = host.stdout.readline().split()
                if first[:2] == [b"no", b"foreign"]:
                    self.skipTest("this X server has no visual without a GL configuration")
                self.assertEqual(first[0], b"window", first)
                swaps = os.path.join(folder, "swaps")
                process = server.start(hack, "--root", XSCREENSAVER_WINDOW=first[1].decode(),
                                       LD_PRELOAD=support_library("swap_counter.so"), GLOAMERY_SWAP_RECORD=swaps)
                self.assertTrue(wait_for_file(swaps, PATIENCE, process), stderr_text(process))
                deadline = time.monotonic() + PATIENCE
                while frames_presented(swaps) < FRAMES:
                    self.assertIsNone(process.poll(), stderr_text(process))
                    self.assertLess(time.monotonic(), deadline, "fewer than %d frames" % FRAMES)
                    time.sleep(0.02)
                process.send_signal(signal.SIGTERM)
                self.assertEqual(wait_for_exit(process, PATIENCE), 0, stderr_text(process))
            finally:
                if process is not None:
                    stop(process)
                stop(host)
                host.stdin.close()
                host.stdout.close()
                shutil.rmtree(folder, True)

    def test_the_unpacked_list_helper_adds_the_hack_to_a_fresh_home_once(self):
        home = tempfile.mkdtemp(prefix="gloamery-deb-home-")
        self.addCleanup(shutil.rmtree, home, True)
        env = clean_env(HOME=home)
        helper = self.unpacked("usr/bin/gloamery-add-to-xscreensaver")
        first = run(helper, env=env)
        self.assertEqual(first.returncode, 0, first.stderr)
        with open(os.path.join(home, ".xscreensaver")) as f:
            written = f.read()
        self.assertEqual(len(re.findall(r"^\s*GL:\s*gloamery --root\s*\\n", written, re.MULTILINE)), 1, written)
        second = run(helper, env=env)
        self.assertEqual(second.returncode, 0, second.stderr)
        with open(os.path.join(home, ".xscreensaver")) as f:
            self.assertEqual(f.read(), written)

    def test_the_unpacked_snapshot_tool_writes_a_picture(self):
        folder = tempfile.mkdtemp(prefix="gloamery-deb-snapshot-")
        self.addCleanup(shutil.rmtree, folder, True)
        out = os.path.join(folder, "frame.png")
        result = run(self.unpacked("usr/bin/gloamery-snapshot"), "--time", "6", "--size", "64x36", "--out", out,
                     env=clean_env())
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")


if __name__ == "__main__":
    unittest.main()
