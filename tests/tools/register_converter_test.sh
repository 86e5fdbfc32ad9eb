#!/usr/bin/env bash
# tests/tools/register_converter_test.sh BUILD_DIR
# tools/register-converter on settings files the program wrote: a UTF-16 file keeps its
# encoding and every other key; a converter that exists on another drive stays registered.
set -euo pipefail
build=$(cd "$1" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# A build folder of its own that shares this build's Wine prefix and display.
mkdir -p "$work/app" "$work/cli" "$work/standins/converter"
ln -s "$build/wineprefix" "$work/wineprefix"
cp "$build/cli/tesmar-tool.exe" "$work/cli/"
touch "$work/standins/converter/tesmar-converter-standin.exe"
[ -n "${DISPLAY:-}" ] || { DISPLAY=$(cat "$build/xvfb.display"); export DISPLAY; }
ini="$work/app/Tesmar.ini"
utf16() { iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; }; }

printf '[CAD]\r\nLspName=ロード テスト 1.lsp\r\nProgID=BricscadApp.AcadApplication\r\n[Dir]\r\nTopDir=Z:\\Ärger\\図面\r\n' | utf16 >"$ini"
"$src/tools/register-converter" "$work" >/dev/null
[ "$(head -c2 "$ini" | od -An -tx1 | tr -d ' ')" = "fffe" ] || fail "the file lost its byte-order mark"
text=$(tail -c +3 "$ini" | iconv -f UTF-16LE -t UTF-8) || fail "the file is no longer UTF-16"
for line in 'LspName=ロード テスト 1.lsp' 'ProgID=BricscadApp.AcadApplication' 'TopDir=Z:\Ärger\図面' \
            "FullName=Z:${work//\//\\}\\standins\\converter\\tesmar-converter-standin.exe"; do
  printf '%s' "$text" | tr -d '\r' | grep -qxF "$line" || fail "missing line: $line"
done

# A converter that exists on C: is kept.
prefix_c="$build/wineprefix/drive_c"
conv="$prefix_c/tesmar-test-converter-$$/ODAFileConverter.exe"
mkdir -p "$(dirname "$conv")" && touch "$conv"
trap 'rm -rf "$work" "$(dirname "$conv")"' EXIT
printf '[ODA]\r\nFullName=C:\\tesmar-test-converter-%s\\ODAFileConverter.exe\r\n' $$ >"$ini"
"$src/tools/register-converter" "$work" >/dev/null
grep -qF "FullName=C:\\tesmar-test-converter-$$\\ODAFileConverter.exe" "$ini" || fail "an existing converter on C: was replaced"
echo PASS
