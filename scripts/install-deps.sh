#!/usr/bin/env bash
# Installs everything the build, the demo and the tests need, from Debian 12's packages.
# Runs as root or through sudo; safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgumbo-dev libcurl4-openssl-dev libcpp-httplib-dev libssl-dev zlib1g-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  libxcb1-dev libwayland-dev xvfb xauth xdotool weston qt6-wayland x11-apps imagemagick fonts-dejavu-core fonts-liberation2
  curl squid openssl sway wtype grim jq
  # The Debian package (CPack works out its dependencies with file, readelf and dpkg-shlibdeps)
  # and the checks of its desktop entry, metainfo and window class.
  dpkg-dev binutils file desktop-file-utils appstream x11-utils
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
