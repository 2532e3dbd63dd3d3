#!/usr/bin/env bash
# Unpacks the .deb that cpack made into a scratch root, checks that it holds what a user needs
# (the three programs, desktop entries with their icon, the manual page, the documents), and
# runs the installed varnet-script on a golden bench script, from a file and from standard input.
# Usage: tests/package/check-deb.sh PACKAGE.deb
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }

dpkg-deb --field "$deb" Package Version | grep -qx 'Package: varnet-test' || fail "package name"
version=$(sed -n 's/^project(VarnetTestProgram VERSION \([0-9.]*\).*/\1/p' "$root_dir/CMakeLists.txt")
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "package version is not $version"
dpkg -x "$deb" "$scratch/root"
usr=$scratch/root/usr

expected=(bin/varnet-script bin/varnet-test bin/varnet-test-virtual
  share/applications/varnet-test.desktop share/applications/varnet-test-virtual.desktop
  share/man/man1/varnet-test.1 share/man/man1/varnet-test-virtual.1 share/man/man1/varnet-script.1
  share/doc/varnet-test/README.md share/doc/varnet-test/bench-script.md)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/varnet-test.png")
done
for file in "${expected[@]}"; do
  [ -s "$usr/$file" ] || fail "missing /usr/$file"
done
for program in varnet-script varnet-test varnet-test-virtual; do
  [ -x "$usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
for entry in "$usr"/share/applications/*.desktop; do
  grep -qx 'Icon=varnet-test' "$entry" || fail "$(basename "$entry") names no icon varnet-test"
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$usr/bin/$exec_name" ] || fail "$(basename "$entry") starts $exec_name, which is not installed"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entries"
fi
if command -v man >/dev/null; then
  man -l "$usr/share/man/man1/varnet-test.1" >/dev/null 2>&1 || fail "the manual page does not format"
fi

# The installed programs answer --version with the package's version, without a display.
for program in varnet-script varnet-test varnet-test-virtual; do
  [ "$(env -u DISPLAY "$usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
done

# A golden script through the installed runner, from its file and from standard input.
golden=$root_dir/tests/scripts/examples/open-and-settings
mkdir "$scratch/work"
cp "$golden.bench" "$scratch/work/"
(cd "$scratch/work" && "$usr/bin/varnet-script" open-and-settings.bench >from-file.out) || fail "runner status"
cmp -s "$golden.out" "$scratch/work/from-file.out" || fail "the installed runner's output differs from $golden.out"
(cd "$scratch/work" && "$usr/bin/varnet-script" - <open-and-settings.bench >from-stdin.out) || fail "stdin status"
cmp -s "$golden.out" "$scratch/work/from-stdin.out" || fail "the runner's output from standard input differs"

if ((failures)); then
  echo "check-deb: $failures failures"
  exit 1
fi
echo "check-deb: $(basename "$deb") holds the programs, desktop entries, icons, manual and documents; its runner passes"
