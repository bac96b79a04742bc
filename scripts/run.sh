#!/usr/bin/env bash
# Builds the screensaver and starts it full screen; any key or button ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh build
exec build/bin/gloamery /s
