"""Runs the cross-built unit tests (win32_tests.exe) under Wine and passes
on what GoogleTest reports."""

import unittest

from wineharness import Wine, XServer, windows_binary


class CrossBuiltUnitTests(unittest.TestCase):
    def test_all_pass_under_wine(self):
        # GDI's bitmap reading and icon drawing want a display behind them.
        with XServer(320, 240) as xserver:
            wine = Wine(xserver)
            try:
                result = wine.run(windows_binary("win32_tests.exe"), timeout=300)
            finally:
                wine.stop_all()
        output = result.stdout.decode(errors="replace") + result.stderr.decode(errors="replace")
        print(output)
        self.assertIn("[  PASSED  ]", output)
        self.assertEqual(result.returncode, 0, "failures under Wine")


class WindowsParent(unittest.TestCase):
    """Every suite reads exit codes through win_parent.exe: it must pass on
    the child's code and its output, or no test could fail. (Its input is
    what drives the preview suite's host.)"""

    def test_the_childs_exit_code_and_output_come_through(self):
        with XServer(320, 240) as xserver:
            wine = Wine(xserver)
            try:
                codes = [wine.run("cmd", "/c", "exit", str(code)).returncode for code in (0, 7, 3)]
                echoed = wine.run("cmd", "/c", "echo", "through")
            finally:
                wine.stop_all()
        self.assertEqual(codes, [0, 7, 3])
        self.assertEqual(echoed.stdout.decode().strip(), "through")


if __name__ == "__main__":
    unittest.main()
