#!/usr/bin/env bash
# Builds and runs the whole test suite three times: plain, under AddressSanitizer with
# UndefinedBehaviorSanitizer, and under ThreadSanitizer; the .deb from the plain build; then the
# fuzz targets' bounded runs, the Windows programs under Wine and the Linux program on real serial
# drivers in QEMU guests. Checks the formatting first.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
jobs=${JOBS:-2}

if command -v clang-format >/dev/null; then
  git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror
fi

# run NAME BUILD_TYPE [CMAKE_ARGS...]
run() {
  local name=$1 type=$2
  shift 2
  local dir=build-tests/$name
  echo "== $name ($type)"
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" >/dev/null
  (cd "$dir" && ctest --output-on-failure -j"$jobs")
}

# The plain run is a Release build, as a packager builds the programs, so that GCC's warnings
# at its highest optimisation stop the suite; the sanitizer runs keep their debug information.
run plain Release
# The .deb, made by cpack from the plain build, unpacked into a scratch root and tried there.
echo "== package"
rm -f build-tests/plain/varnet-test_*.deb
(cd build-tests/plain && cpack -G DEB >/dev/null)
tests/package/check-deb.sh build-tests/plain/varnet-test_*.deb
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run address RelWithDebInfo -DVARNET_SANITIZE=address
TSAN_OPTIONS=halt_on_error=1 run thread RelWithDebInfo -DVARNET_SANITIZE=thread

# Every parser of outside input under libFuzzer (tests/fuzz): each target over its kept corpus,
# then new inputs for FUZZ_SECONDS (25 by default) of its own. The tree is the whole program built
# by clang in Release (warnings as errors); the fuzz targets set their own optimisation.
if command -v clang++ >/dev/null; then
  echo "== fuzz (clang, Release)"
  cmake -S . -B build-tests/fuzz -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
    -DVARNET_FUZZ=ON -DVARNET_FUZZ_SECONDS="${FUZZ_SECONDS:-25}" >/dev/null
  cmake --build build-tests/fuzz -j"$jobs" >/dev/null
  (cd build-tests/fuzz && ctest --output-on-failure -j"$jobs" -R '^fuzz\.')
fi
# The Windows programs, cross-built with MinGW-w64 and run under Wine on a virtual display.
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v wine >/dev/null; then
  echo "== windows"
  tools/build-windows.sh build-tests/windows >/dev/null
  tests/wine/run-wine-tests.sh build-tests/windows
fi

# The Linux program on real kernel serial drivers (ftdi_sio, cdc_acm, a 16550) in QEMU guests
# running Debian's kernel; skipped where QEMU is missing.
echo "== vm"
tests/vm/run-vm-tests.sh build-tests/plain

echo "== all test runs passed in $(($(date +%s) - start)) s"
