#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows
# screensaver under Wine, the packages, and the fuzzers for a bounded time.
#   scripts/test.sh [unit|e2e|windows|package|fuzz]
# One part runs only that part; with none, everything runs, in that order.
#   unit     the unit and GL tests, plain and sanitized
#   e2e      the end-to-end tests (the real programs under Xvfb and Xorg), plain and sanitized
#   windows  Gloamery.scr and its suites under Wine
#   package  the .deb and the installer, checked as users get them
#   fuzz     the parsers' fuzz targets
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
part=${1:-all}
case "$part" in
  all | unit | e2e | windows | package | fuzz) ;;
  *) echo "usage: $0 [unit|e2e|windows|package|fuzz]" >&2; exit 2 ;;
esac

# ctest's selection for a part of the Linux suites: all of them, or those
# with or without the e2e label.
ctest_selection() {
  case "$part" in
    unit) echo -LE e2e ;;
    e2e) echo -L e2e ;;
  esac
}

linux_suites() {
  ./scripts/build.sh build
  (cd build && ctest --output-on-failure -j"$jobs" $(ctest_selection))

  # Mesa and GTK keep caches alive until exit; leak reports from them are
  # noise. The preloaded frame counter of the end-to-end tests is not
  # instrumented.
  export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0:abort_on_error=1
  export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  ./scripts/build.sh build-sanitize -DGLOAMERY_SANITIZE=ON -DGLOAMERY_BENCH=OFF
  (cd build-sanitize && ctest --output-on-failure -j"$jobs" $(ctest_selection))
  unset ASAN_OPTIONS UBSAN_OPTIONS
}

# The Wine suites and the installer's share one Wine prefix, made once for
# this run in a folder of its own.
wine_cache=$(mktemp -d)
trap 'rm -rf "$wine_cache"' EXIT

# The Windows screensaver, cross-built and tested under Wine.
windows_suites() {
  ./scripts/build-windows.sh build-windows
  (cd build-windows && GLOAMERY_WINE_CACHE="$wine_cache" ctest --output-on-failure)
}

# The packages made from the trees above, checked as users get them: lintian,
# the manual pages, the programs unpacked from the .deb, and the installer's
# silent install and uninstall under Wine.
package_checks() {
  ./scripts/package.sh
  (cd tests/package && PYTHONPATH="$PWD:$PWD/../support" GLOAMERY_BIN_DIR="$PWD/../../build" \
    GLOAMERY_WIN_BUILD_DIR="$PWD/../../build-windows" GLOAMERY_WINE_CACHE="$wine_cache" \
    python3 -m unittest -v test_deb test_installer)
}

case "$part" in
  unit | e2e) linux_suites ;;
  windows) windows_suites ;;
  package) package_checks ;;
  fuzz) ./scripts/fuzz.sh ;;
  all)
    linux_suites
    windows_suites
    package_checks
    ./scripts/fuzz.sh
    ;;
esac
