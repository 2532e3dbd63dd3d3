#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-windows/:
# Test.exe, TestVirtual.exe, varnet-script.exe and the programs of the Wine tests.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"${JOBS:-2}"
