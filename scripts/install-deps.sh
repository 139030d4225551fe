#!/bin/sh
# Installs the Debian 12 packages the build and the tests need.
set -eu
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends \
  cmake ninja-build g++ make binutils \
  googletest libbenchmark-dev \
  libstb-dev fonts-liberation \
  libx11-dev xvfb xdotool x11-utils openbox \
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
  wine wine64 \
  clang libclang-rt-14-dev valgrind \
  ardour python3
