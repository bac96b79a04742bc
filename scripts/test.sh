#!/usr/bin/env bash
# Builds and runs every test: the plain build, then the whole suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, then the fuzzers for
# a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

./scripts/build.sh build
(cd build && ctest --output-on-failure -j"$jobs")

# Mesa and GTK keep caches alive until exit; leak reports from them are noise.
# The preloaded frame counter of the end-to-end tests is not instrumented.
export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
./scripts/build.sh build-sanitize -DGLOAMERY_SANITIZE=ON -DGLOAMERY_BENCH=OFF
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

# The Windows screensaver, cross-built and tested under Wine. Its suites share
# one Wine prefix, made once for this run in a folder of its own.
./scripts/build-windows.sh build-windows
wine_cache=$(mktemp -d)
trap 'rm -rf "$wine_cache"' EXIT
(cd build-windows && GLOAMERY_WINE_CACHE="$wine_cache" ctest --output-on-failure)

# The packages made from the trees above, checked as users get them: lintian,
# the manual pages, the programs unpacked from the .deb, and the installer's
# silent install and uninstall under Wine (in the same prefix).
./scripts/package.sh
(cd tests/package && PYTHONPATH="$PWD:$PWD/../support" GLOAMERY_BIN_DIR="$PWD/../../build" \
  GLOAMERY_WIN_BUILD_DIR="$PWD/../../build-windows" GLOAMERY_WINE_CACHE="$wine_cache" \
  python3 -m unittest -v test_deb test_installer)

if [ -x scripts/fuzz.sh ]; then
  ./scripts/fuzz.sh
fi
