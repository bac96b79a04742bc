#!/usr/bin/env bash
# Renders the short loop shown in the README: frames of the real scene from
# gloamery-snapshot, a few seconds forward and the same frames back again, so
# that the loop has no jump, packed into an animated WebP by img2webp.
#   tools/make_animation.sh [BUILD_DIR] [OUT.webp]
# On a software renderer each 320x180 frame takes a few tens of milliseconds.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
out=${2:-docs/lantern-loop.webp}

size=320x180
fps=12
frames=48
# Well after the fade-in from black.
start_seconds=6

"$(dirname "$0")/../scripts/install-packages.sh" webp
[ -x "$build_dir/bin/gloamery-snapshot" ] || cmake --build "$build_dir" --target gloamery-snapshot

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
names=()
for ((i = 0; i < frames; i++)); do
  name=$(printf '%s/%03d.png' "$work" "$i")
  seconds=$(awk -v s="$start_seconds" -v i="$i" -v f="$fps" 'BEGIN { printf "%.4f", s + i / f }')
  "$build_dir/bin/gloamery-snapshot" --time "$seconds" --size "$size" --out "$name" >/dev/null
  names+=("$name")
done
# Forward, then back without repeating either end frame.
sequence=("${names[@]}")
for ((i = frames - 2; i > 0; i--)); do
  sequence+=("${names[i]}")
done

delay=$((1000 / fps))
img2webp -loop 0 -kmax 12 -lossy -q 70 -m 6 -d "$delay" "${sequence[@]}" -o "$out" >/dev/null
ls -l "$out"
