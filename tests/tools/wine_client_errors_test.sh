#!/usr/bin/env bash
# tests/tools/wine_client_errors_test.sh
# tools/wine-client-errors on a ctest JUnit report: only a failed test whose output holds Wine's
# own line for a lost wineserver connection is picked to run again; every other failure stands.
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
report="$work/report.xml"
cat >"$report" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<testsuite name="Windows" tests="5" failures="4">
  <testcase name="Passed.Test" classname="Passed.Test" time="1" status="run"><system-out>wine client error:0124: recvmsg: Connection reset by peer
</system-out></testcase>
  <testcase name="Lost.Connection" classname="Lost.Connection" time="1" status="fail"><system-out>Running main()
wine client error:0124: recvmsg: Connection reset by peer
</system-out></testcase>
  <testcase name="Quoted.Line" classname="Quoted.Line" time="1" status="fail"><system-out>Expected: the text &quot;wine client error:0124: &quot; in the log
</system-out></testcase>
  <testcase name="Plain.Failure" classname="Plain.Failure" time="1" status="fail"><system-out>Value of: x
  Actual: false
</system-out></testcase>
  <testcase name="Other.Wine.Error" classname="Other.Wine.Error" time="1" status="fail"><system-out>err:ole:CoGetClassObject no class object
</system-out></testcase>
</testsuite>
XML
tool="$src/tools/wine-client-errors"
[ "$("$tool" "$report")" = "Lost.Connection" ] || fail "lost: $("$tool" "$report")"
[ "$("$tool" --other "$report" | tr '\n' ' ')" = "Quoted.Line Plain.Failure Other.Wine.Error " ] ||
  fail "other: $("$tool" --other "$report" | tr '\n' ' ')"
[ "$("$tool" --regex "$report")" = '^Lost\.Connection$' ] || fail "regex: $("$tool" --regex "$report")"
echo "ok"
