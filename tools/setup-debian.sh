#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine.
set -euo pipefail
sudo=""
if [ "$(id -u)" != 0 ]; then sudo=sudo; fi
packages=(cmake g++ make dpkg-dev file libgtest-dev libgmock-dev clang-format qt6-base-dev fonts-liberation clang libclang-rt-14-dev python3
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools wine64 wine xvfb fonts-wine imagemagick
  qemu-system-x86 busybox-static cpio)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The QEMU guests' kernel is fetched by the tests with apt-get download: it needs the package lists.
if ! apt-cache show linux-image-amd64 >/dev/null 2>&1; then
  $sudo apt-get update -qq
fi
