#!/usr/bin/env bash
# Cross-builds the Windows programs with MinGW-w64 into build-windows/:
# Test.exe, TestVirtual.exe, varnet-script.exe and the programs of the Wine tests; then packs the
# three programs with how to start them and the documents into a zip (cpack), in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}
cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"${JOBS:-2}"
rm -f "$dir"/varnet-test-*-windows-x64.zip
(cd "$dir" && cpack -G ZIP >/dev/null)
echo "build-windows: $(ls "$dir"/varnet-test-*-windows-x64.zip)"
