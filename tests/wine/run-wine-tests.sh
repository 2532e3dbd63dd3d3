#!/usr/bin/env bash
# Runs the Windows programs under Wine on a virtual X display:
#   (a) every golden script of tests/scripts through varnet-script.exe on the real Win32 dialog,
#       the Win32 host's own paths (host-check.exe), and the data file read by the Windows
#       runtime as drive c: reads it (data-file-check.exe);
#   (b) every control's rectangle and styles against the template (layout-check.exe);
#   (c) Windows 98 as the reported version: the dialog takes the 9x path;
#   (d) the Win32 serial layer on a COM port that Wine maps to a pseudo-terminal with a loop-back
#       echo on its master side (serial-check.exe);
#   (e) a screenshot of the dialog in a Wine desktop, saved as docs/dialog-win32.png;
#   (f) the zip of tools/build-windows.sh, unpacked: its programs answer --version and refuse an
#       unknown option there, its runner runs a golden script, and a failed open says why.
# Usage: tests/wine/run-wine-tests.sh [BUILD_DIR]   (default build-windows, built first when missing)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-$root/build-windows}")
bin=$build/bin
start=$(date +%s)

for tool in wine wineserver Xvfb timeout python3; do
  command -v "$tool" >/dev/null || { echo "run-wine-tests: $tool is missing" >&2; exit 2; }
done
if [ ! -x "$bin/varnet-script.exe" ]; then
  "$root/tools/build-windows.sh" "$build" >/dev/null || exit 2
fi

export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

failures=0
passes=0
pass() { passes=$((passes + 1)); }
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }

xvfb_pid=
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
  if [ -n "${echo_pid:-}" ]; then kill "$echo_pid" 2>/dev/null; wait "$echo_pid" 2>/dev/null; fi
}
trap cleanup EXIT

# A virtual display of our own, on the first free number.
display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"

# The prefix: made once per build folder. Times New Roman is absent: Liberation Serif stands in,
# so that the dialog's base units are those of a serif 9-point font. Debian's Wine does not find
# its own fonts, without which caption buttons draw as letters.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== setting up the Wine prefix"
  timeout 120 wineboot --init >/dev/null 2>&1
  timeout 60 wineserver -w
fi
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
for font in marlett.ttf tahoma.ttf tahomabd.ttf sserife.fon; do
  [ -f "/usr/share/wine/fonts/$font" ] && cp -f "/usr/share/wine/fonts/$font" "$WINEPREFIX/drive_c/windows/Fonts/"
done
timeout 60 wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1
timeout 60 wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1
# One Wine server for the whole run, kept up between the programs (a start costs seconds), with
# its own output (an object dump when it is killed) in a log rather than in a program's output.
mkdir -p "$build/wine-work"
timeout 30 wineserver -k >/dev/null 2>&1
wineserver -p >"$build/wine-work/wineserver.log" 2>&1

# Runs one script in an empty folder: compares standard output, standard error and exit status
# with NAME.out, NAME.err and NAME.status beside it.
run_script() {
  local script=$1 work=$2
  local dir name
  dir=$(dirname "$script")
  name=$(basename "$script" .bench)
  rm -rf "$work" && mkdir -p "$work" && cp "$script" "$work/"
  (cd "$work" && timeout 120 wine "$bin/varnet-script.exe" "$name.bench" >actual.out 2>actual.err)
  local status=$? expected_status=0
  [ -f "$dir/$name.status" ] && expected_status=$(tr -d '[:space:]' <"$dir/$name.status")
  local ok=1
  [ "$status" = "$expected_status" ] || { echo "exit status $status, expected $expected_status"; ok=0; }
  cmp -s "$dir/$name.out" "$work/actual.out" || { diff -u "$dir/$name.out" "$work/actual.out" | cut -c1-160 | head -40; ok=0; }
  if [ -f "$dir/$name.err" ]; then
    cmp -s "$dir/$name.err" "$work/actual.err" || { diff -u "$dir/$name.err" "$work/actual.err" | cut -c1-160 | head -20; ok=0; }
  fi
  [ $ok = 1 ]
}

echo "== (a) golden scripts on the Win32 dialog"
while IFS= read -r script; do
  rel=${script#"$root/tests/scripts/"}
  if run_script "$script" "$build/wine-work/${rel%.bench}"; then pass; else fail "script $rel"; fi
done < <(find "$root/tests/scripts" -name '*.bench' | sort)

echo "== (a) the Win32 host's own paths: menus, lines from another thread, scrolling, posted actions, filters"
if timeout 60 wine "$bin/host-check.exe" >"$build/wine-work/host-check.txt" 2>&1; then
  pass
else
  fail "host-check"
  tr -d '\r' <"$build/wine-work/host-check.txt" | grep -v '^ok'
fi

echo "== (a) the data file read through the Windows runtime's text mode and through drive c:"
if timeout 60 wine "$bin/data-file-check.exe" >"$build/wine-work/data-file-check.txt" 2>&1; then
  pass
else
  fail "data-file-check"
  tr -d '\r' <"$build/wine-work/data-file-check.txt" | grep -v '^ok'
fi

echo "== (b) the dialog's controls against the template"
if timeout 60 wine "$bin/layout-check.exe" >"$build/wine-work/layout-check.txt" 2>&1; then
  pass
  head -n1 "$build/wine-work/layout-check.txt"
else
  fail "layout-check"
  grep -v '^common controls' "$build/wine-work/layout-check.txt"
fi

echo "== (c) the Windows family from GetVersion: the default version, then Windows 98"
family_run() {
  local family=$1
  local work=$build/wine-work/system-family-$family
  rm -rf "$work" && mkdir -p "$work" && cp "$root/tests/wine/scripts/system-family.bench" "$work/"
  local version
  version=$(timeout 60 wine "$bin/version-check.exe" | tr -d '\r')
  echo "   $version"
  if [[ "$version" != *"family $family" ]]; then
    fail "GetVersion does not give the $family family"
    return
  fi
  if (cd "$work" && timeout 60 wine "$bin/varnet-script.exe" system-family.bench >actual.out 2>actual.err) &&
    cmp -s "$root/tests/wine/scripts/system-family.$family.out" "$work/actual.out"; then
    pass
  else
    fail "the dialog on the $family family"
    diff -u "$root/tests/wine/scripts/system-family.$family.out" "$work/actual.out"
  fi
}
family_run nt
timeout 60 wine reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
family_run 9x
timeout 60 wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1

echo "== (d) the Win32 serial layer on COM5, a pseudo-terminal with a loop-back echo"
com5=$WINEPREFIX/dosdevices/com5
echo_fifo=$(mktemp -u)
mkfifo "$echo_fifo"
python3 "$root/tests/wine/pty_echo.py" "$com5" <"$echo_fifo" >"$build/wine-work/pty-echo.txt" 2>&1 &
echo_pid=$!
exec 7>"$echo_fifo"
for _ in $(seq 50); do grep -q ready "$build/wine-work/pty-echo.txt" 2>/dev/null && break; sleep 0.1; done
if timeout 60 wine "$bin/serial-check.exe" COM5 >"$build/wine-work/serial-check.txt" 2>&1; then
  pass
else
  fail "serial-check"
fi
tr -d '\r' <"$build/wine-work/serial-check.txt" | sed 's/^/   /'
exec 7>&-
wait "$echo_pid" 2>/dev/null
echo_pid=
rm -f "$echo_fifo"

echo "== (e) a screenshot of the dialog in a Wine desktop"
if command -v import >/dev/null && command -v convert >/dev/null; then
  shot=$build/wine-work/dialog-win32.png
  timeout 60 wine explorer /desktop=varnet,720x560 "$bin/Test.exe" >/dev/null 2>&1 &
  shot_pid=$!
  # Wait until the desktop with the dialog is on the screen (the root window is otherwise
  # black, and trims down to nothing), then give the dialog a moment to finish painting.
  rm -f "$shot"
  size=0x0
  for _ in $(seq 30); do
    sleep 1
    import -window root -display "$DISPLAY" png:- 2>/dev/null | convert png:- -trim +repage -strip "png24:$shot" 2>/dev/null
    size=$(identify -format '%wx%h' "$shot" 2>/dev/null || echo 0x0)
    if [ "${size%x*}" -ge 600 ] && [ "${size#*x}" -ge 400 ]; then
      sleep 2
      import -window root -display "$DISPLAY" png:- 2>/dev/null | convert png:- -trim +repage -strip "png24:$shot" 2>/dev/null
      size=$(identify -format '%wx%h' "$shot" 2>/dev/null || echo 0x0)
      break
    fi
  done
  timeout 30 wineserver -k >/dev/null 2>&1
  wait "$shot_pid" 2>/dev/null
  if [ "${size%x*}" -ge 600 ] && [ "${size#*x}" -ge 400 ]; then
    pass
    # The picture kept in docs/ is replaced only when a pixel has changed.
    kept=$root/docs/dialog-win32.png
    changed=$(compare -metric AE "$kept" "$shot" null: 2>&1 || true)
    if [ "$changed" != 0 ]; then
      mkdir -p "$root/docs"
      cp "$shot" "$kept"
    fi
    echo "   docs/dialog-win32.png: $(identify -format '%wx%h' "$shot" 2>/dev/null), pixels changed: ${changed:-all}"
  else
    fail "no screenshot of the dialog (the screen was $size after trimming)"
  fi
else
  echo "   skipped: imagemagick (import, convert) is not installed"
fi

echo "== (f) the Windows zip: unpacked, its programs run from there"
zip=$(ls "$build"/varnet-test-*-windows-x64.zip 2>/dev/null | head -n1)
if [ -z "$zip" ]; then
  fail "no zip in $build (tools/build-windows.sh makes it)"
else
  unpacked=$build/wine-work/zip
  rm -rf "$unpacked" && mkdir -p "$unpacked"
  (cd "$unpacked" && cmake -E tar xf "$zip")
  folder=$unpacked/$(basename "$zip" .zip)
  version=${folder##*/varnet-test-}
  version=${version%-windows-x64}
  for file in Test.exe TestVirtual.exe varnet-script.exe HOW-TO-START.txt README.md bench-script.md; do
    if [ -s "$folder/$file" ]; then pass; else fail "the zip has no $file"; fi
  done
  for program in Test.exe TestVirtual.exe varnet-script.exe; do
    answer=$(cd "$folder" && timeout 60 wine "./$program" --version 2>&1 | tr -d '\r')
    if [ "$answer" = "${program%.exe} $version" ] || [ "$answer" = "$program $version" ]; then
      pass
    else
      fail "$program --version answered '$answer'"
    fi
    (cd "$folder" && timeout 60 wine "./$program" --no-such-option >/dev/null 2>&1)
    status=$?
    if [ "$status" = 2 ]; then pass; else fail "$program with an unknown option ended with $status"; fi
  done
  # A golden script through the unpacked runner, from standard input.
  golden=$root/tests/scripts/examples/open-and-settings
  work=$build/wine-work/zip-script
  rm -rf "$work" && mkdir -p "$work"
  if (cd "$work" && timeout 120 wine "$folder/varnet-script.exe" - <"$golden.bench" >actual.out 2>actual.err) &&
    cmp -s "$golden.out" "$work/actual.out"; then
    pass
  else
    fail "the unpacked varnet-script.exe on open-and-settings.bench"
  fi
  # The reason behind a failed open, in the system's words, on the runner's standard error.
  printf 'bench system\nselect 1005 8\nclick 1003\n' >"$work/absent.bench"
  (cd "$work" && timeout 60 wine "$folder/varnet-script.exe" absent.bench >absent.out 2>absent.err)
  reason=$(tr -d '\r' <"$work/absent.err")
  if [[ "$reason" == 'varnet-script: open \\.\COM9: '*'(error '[0-9]*')' ]]; then
    pass
    echo "   $reason"
  else
    fail "no reason for a failed open on standard error: '$reason'"
  fi
fi

echo "== $passes passed, $failures failed in $(($(date +%s) - start)) s"
[ "$failures" = 0 ]
