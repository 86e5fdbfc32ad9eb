#!/usr/bin/env bash
# tests/package/install_test.sh TESMAR.EXE
# The release files as a user gets them, in a fresh Wine prefix: the installer runs silently
# into the per-user folder with its shortcut and Apps & Features entry; the program starts from
# there and writes its settings at exit; a newer install keeps them; the silent uninstaller
# removes the program, the shortcut and the entry and keeps the settings (removes them with
# /PURGE); the portable zip unpacks to a Tesmar.exe that starts.
set -euo pipefail
exe=$(readlink -f "$1")
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
source "$src/tools/wine-env.sh"
cleanup() { tesmar_wine_stop "$work/wine" || true; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The Debug build's program carries tens of MB of debug information that a released one has
# not; packing and unpacking them took most of this test. The packages hold a stripped copy.
x86_64-w64-mingw32-strip -o "$work/Tesmar.exe" "$exe"
exe="$work/Tesmar.exe"
"$src/tools/package" --exe "$exe" --out "$work/dist" >/dev/null
setup=$(ls "$work/dist"/Tesmar-*-setup.exe 2>/dev/null | head -n 1)
version=${setup##*/Tesmar-}; version=${version%-setup.exe}
zip="$work/dist/Tesmar-$version-portable.zip"
[ -s "$setup" ] && [ -s "$zip" ] || fail "tools/package did not write both files"

unset DISPLAY WINEPREFIX
tesmar_wine_env "$work/wine"
wine=/usr/lib/wine/wine64
users="$WINEPREFIX/drive_c/users/$(whoami)"
dir="$users/AppData/Local/Programs/Tesmar"
link="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tesmar.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tesmar'

# Starts a Tesmar.exe, waits for its window, closes it as a user would (WM_CLOSE) and waits for
# the exit, so that the program writes its settings.
run_and_close() {
  "$wine" "$1" </dev/null >/dev/null 2>&1 &
  local pid=$! i
  for i in $(seq 1 100); do
    if "$wine" tasklist 2>/dev/null | grep -qi '^Tesmar.exe'; then break; fi
    sleep 0.2
  done
  sleep 2
  "$wine" taskkill /im Tesmar.exe >/dev/null 2>&1 || true
  for i in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "Tesmar.exe did not end after WM_CLOSE"; }
  return 0
}

# Waits until no installer or uninstaller runs. The uninstaller starts again from a copy in the
# temporary folder (Au_.exe), so the process started here ends before its work does; the
# wineserver is persistent, so its end tells nothing.
installers_done() {
  local i
  for i in $(seq 1 300); do
    "$wine" tasklist 2>/dev/null | grep -qiE '^(Tesmar-.*-setup|uninstall|Au_)\.exe' || return 0
    sleep 0.2
  done
  fail "the installer or uninstaller did not end"
}

# Waits for an uninstall started with "$@": the copy it runs from ends its work by deleting
# uninstall.exe, which may come after the started process and its listing are gone.
uninstall() {
  local i
  "$wine" "$(winepath_w "$dir/uninstall.exe")" "$@"
  for i in $(seq 1 300); do
    [ -e "$dir/uninstall.exe" ] || break
    sleep 0.2
  done
  installers_done
}

echo "== silent install"
"$wine" "$(winepath_w "$setup")" /S
installers_done
[ -f "$dir/Tesmar.exe" ] || fail "no Tesmar.exe in the per-user folder"
[ -f "$dir/guide-ja.html" ] && [ -f "$dir/LICENSE.txt" ] && [ -f "$dir/uninstall.exe" ] || fail "guide, licence or uninstaller missing"
[ ! -e "$dir/Tesmar.ini" ] && [ ! -e "$dir/TesmarTopDirs.txt" ] || fail "the installer wrote settings"
grep -q "BricscadApp.AcadApplication" "$dir/TargetCAD_APIVersion.txt" || fail "no list of target CAD programs"
[ -f "$link" ] || fail "no Start-menu shortcut"
# The shortcut's target is the installed program (the path is stored as text in the link).
target='AppData\Local\Programs\Tesmar\Tesmar.exe'
LC_ALL=C grep -qaF "$target" "$link" || iconv -f UTF-16LE -t UTF-8 "$link" 2>/dev/null | grep -qaF "$target" ||
  fail "the shortcut does not point at the installed Tesmar.exe"
"$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" || fail "no Apps & Features entry with the version"
"$wine" reg query "$key" /v UninstallString 2>/dev/null | grep -qi 'uninstall.exe' || fail "the entry has no uninstaller"

echo "== the installed program starts and writes its settings at exit"
run_and_close "$(winepath_w "$dir/Tesmar.exe")"
[ -s "$dir/Tesmar.ini" ] || fail "no Tesmar.ini after the first exit"
printf 'Z:\\drawings\r\n' >"$dir/TesmarTopDirs.txt"
before=$(cat "$dir/Tesmar.ini" "$dir/TesmarTopDirs.txt" | md5sum)

echo "== a newer version installed over it keeps the settings"
"$src/tools/package" --exe "$exe" --out "$work/dist2" --version 9999.1.1 >/dev/null
"$wine" "$(winepath_w "$work/dist2/Tesmar-9999.1.1-setup.exe")" /S
installers_done
[ "$(cat "$dir/Tesmar.ini" "$dir/TesmarTopDirs.txt" | md5sum)" = "$before" ] || fail "the second install changed the settings"
"$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q '9999.1.1' || fail "the entry keeps the old version"

echo "== silent uninstall keeps the settings"
uninstall /S
[ ! -e "$dir/Tesmar.exe" ] && [ ! -e "$dir/uninstall.exe" ] || fail "the program is still there"
[ ! -e "$link" ] || fail "the shortcut is still there"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the Apps & Features entry is still there"
[ "$(cat "$dir/Tesmar.ini" "$dir/TesmarTopDirs.txt" | md5sum)" = "$before" ] || fail "the uninstaller touched the settings"

echo "== install again and uninstall with /PURGE removes the settings"
"$wine" "$(winepath_w "$setup")" /S
installers_done
uninstall /S /PURGE
[ ! -e "$dir" ] || fail "the program folder is left: $(ls -A "$dir" | tr '\n' ' ')"

echo "== the portable zip unpacks to a Tesmar.exe that starts"
mkdir -p "$work/portable"
(cd "$work/portable" && unzip -q "$zip")
[ "$(cd "$work/portable/Tesmar" && ls | sort | tr '\n' ' ')" = "LICENSE.txt TargetCAD_APIVersion.txt Tesmar.exe guide-images guide-ja.html " ] ||
  fail "unexpected zip contents: $(ls "$work/portable/Tesmar")"
run_and_close "$(winepath_w "$work/portable/Tesmar/Tesmar.exe")"
[ -s "$work/portable/Tesmar/Tesmar.ini" ] || fail "the unpacked program wrote no settings"
echo "PASS"
