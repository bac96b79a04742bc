#!/usr/bin/env bash
# Builds the packages into dist/:
#   dist/gloamery_<version>_amd64.deb      for Debian and Ubuntu (CPack)
#   dist/Gloamery-<version>-setup.exe      the Windows installer (NSIS)
# from the trees that scripts/build.sh and scripts/build-windows.sh make
# (built first where needed, incrementally otherwise).
#   scripts/package.sh [deb|windows|all]
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}

packages=(dpkg-dev fakeroot file lintian desktop-file-utils man-db groff-base nsis)
./scripts/install-packages.sh "${packages[@]}"

mkdir -p dist

package_deb() {
  ./scripts/build.sh build
  # CPack's DEB generator runs the install rules into a staging folder,
  # strips the binaries and asks dpkg-shlibdeps for the dependencies.
  (cd build && cpack -G DEB >/dev/null)
  rm -rf dist/_CPack_Packages
  ls dist/gloamery_*_amd64.deb
}

package_windows() {
  ./scripts/build-windows.sh build-windows
  local version
  version=$(sed -n 's/^project(Gloamery VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  makensis -V2 -WX -DVERSION="$version" -DSCR="$PWD/build-windows/bin/Gloamery.scr" \
    -DICON="$PWD/build-windows/generated/Gloamery.ico" -DOUTFILE="$PWD/dist/Gloamery-$version-setup.exe" \
    packaging/gloamery.nsi
  ls "dist/Gloamery-$version-setup.exe"
}

case $what in
  deb) package_deb ;;
  windows) package_windows ;;
  all) package_deb && package_windows ;;
  *) echo "usage: $0 [deb|windows|all]" >&2; exit 2 ;;
esac
