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


if __name__ == "__main__":
    unittest.main()
