#!/usr/bin/env bash
# Builds the Debian package of Zonara Manager, zonara-manager_1.0-1_amd64.deb: the program, its
# desktop entry, icons and AppStream metainfo under /usr, with the libraries it needs as the
# package's dependencies. Install it with: apt install ./zonara-manager_1.0-1_amd64.deb
# Usage: scripts/package.sh [BUILD_DIR]. BUILD_DIR defaults to build-package, a release build of
# the program alone; an existing build directory is used as it is configured. The last line
# printed is the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-package}

bash scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
  # Debian's hardening flags (fortify, stack protector, relro, bindnow, PIE), as dpkg-buildflags
  # gives them; CMake reads no CPPFLAGS, so they go with the compiler flags.
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
  export CXXFLAGS LDFLAGS
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZONARA_BUILD_TESTS=OFF \
    -DZONARA_BUILD_BENCHMARKS=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
fi
cmake --build "$build" --parallel "${ZONARA_JOBS:-$(nproc)}" --target zonara-manager zonara_package_docs
rm -f "$build"/zonara-manager_*.deb
(cd "$build" && cpack -G DEB > cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
debs=("$build"/zonara-manager_*.deb)
[ -f "${debs[0]}" ] || { echo "cpack made no package; see $build/cpack.log" >&2; exit 1; }
realpath "${debs[0]}"
