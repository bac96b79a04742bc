#!/usr/bin/env bash
# Cross-builds the Windows screensaver, build-windows/bin/Gloamery.scr, and its
# tests with MinGW-w64. GLFW is built from Debian's own glfw3 source package,
# fetched into the build folder; nothing is vendored and the system's apt
# configuration is left alone.
#   scripts/build-windows.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build_dir=${1:-build-windows}
shift || true
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

packages=(
  build-essential cmake ninja-build python3 python3-glad dpkg-dev
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 fonts-wine googletest
  xvfb xdotool x11-utils imagemagick
)
./scripts/install-packages.sh "${packages[@]}"

toolchain=$root/cmake/mingw-w64-x86_64.cmake
glfw_version=3.3.8
glfw_prefix=$build_dir/glfw-install

# A deb-src copy of the machine's own package sources, with private lists, so
# that `apt-get source` works without a deb-src line in the system's config.
fetch_glfw_source() {
  local apt_dir=$build_dir/apt
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt_dir/sources.list"
  else
    : >"$apt_dir/sources.list"
  fi
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed 's/^Types:.*$/Types: deb-src/' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >"$apt_dir/sources.list.d/$(basename "$f")"
  done
  local options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
                 -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
                 -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
                 -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
  apt-get "${options[@]}" -q update >/dev/null
  mkdir -p "$build_dir/glfw-source"
  (cd "$build_dir/glfw-source" && apt-get "${options[@]}" -q source --download-only glfw3 >/dev/null)
  local dsc
  dsc=$(ls "$build_dir"/glfw-source/glfw3_"$glfw_version"*.dsc | head -n 1)
  rm -rf "$build_dir/glfw-source/tree"
  dpkg-source --no-check -x "$dsc" "$build_dir/glfw-source/tree" >/dev/null
}

build_glfw() {
  cmake -S "$build_dir/glfw-source/tree" -B "$build_dir/glfw-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$glfw_prefix" -DBUILD_SHARED_LIBS=OFF \
    -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF >/dev/null
  cmake --build "$build_dir/glfw-build" -j2 >/dev/null
  cmake --install "$build_dir/glfw-build" >/dev/null
}

if [ ! -f "$glfw_prefix/lib/cmake/glfw3/glfw3Config.cmake" ]; then
  [ -d "$build_dir/glfw-source/tree" ] || fetch_glfw_source
  build_glfw
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$glfw_prefix" "$@" >/dev/null
cmake --build "$build_dir" -j2
