#!/usr/bin/env bash
# Instructions the software renderer executes for one frame of a scene
# shader: a count that load elsewhere on the machine cannot blur.
#   bench/shader_instructions.sh SHADER.frag [WIDTHxHEIGHT] [SECONDS...]
# Runs gloamery-shader-compare on the shader against itself under callgrind,
# on one thread (LP_NUM_THREADS=0, so the rasterizer runs inside the draw),
# and counts only its timed frames, each the draw and the glFinish that waits
# for it: two frames per process, one process per time (callgrind's dumps
# after a function did not fire for the tool's frame function here).
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 SHADER.frag [WIDTHxHEIGHT] [SECONDS...]" >&2
  exit 2
fi
shader=$1
shift
size=160x90
if [ $# -gt 0 ] && [[ $1 == *x* ]]; then
  size=$1
  shift
fi
times=("$@")
[ ${#times[@]} -gt 0 ] || times=(1 6 13)
build=${BUILD_DIR:-$(dirname "$0")/../build}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
for t in "${times[@]}"; do
  LP_NUM_THREADS=0 valgrind --tool=callgrind --toggle-collect='*FrameMs*' --callgrind-out-file="$out/cg.$t" \
    "$build/bin/gloamery-shader-compare" "$shader" "$shader" "$size" --frames 1 "$t" >/dev/null 2>"$out/log.$t" &
done
wait
w=${size%x*} h=${size#*x}
for t in "${times[@]}"; do
  total=$(grep -m1 '^summary:' "$out/cg.$t" | awk '{print $2}')
  printf 't=%-6s %12d instructions per %s frame, %6.0f per pixel\n' "$t" $((total / 2)) "$size" \
    "$(echo "$total / 2 / ($w * $h)" | bc -l)"
done
