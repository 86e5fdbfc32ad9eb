#!/usr/bin/env bash
# tests/viewer/real_pointer.sh WINE_RUN VIEWER_TESTS_EXE: runs the viewer's real-pointer test
# and moves the X display's pointer for it with xdotool: a wheel notch over the image, a drag
# with the left button, then a drag with the middle button, held while the test looks. The test and this script meet through hand-shake files.
set -euo pipefail
wine_run=$1 exe=$2
build=$(dirname "$wine_run")
hand=$(mktemp -u /tmp/tesmar-pointer-XXXXXX)
trap 'rm -f "$hand" "$hand".*' EXIT
TESMAR_POINTER_HANDSHAKE=$hand "$wine_run" "$exe" --gtest_filter=ZoomerPointerTest.RealWheelAndDragOverTheImage &
test_pid=$!
for _ in $(seq 600); do [ -s "$hand" ] && break; sleep 0.1; done
[ -s "$hand" ] || { echo "the test did not show its window"; wait "$test_pid" || true; exit 1; }
read -r x y < <(tr -d '\r' <"$hand")
DISPLAY=$(cat "$build/xvfb.display" 2>/dev/null || echo "${DISPLAY:-}")
export DISPLAY
xdotool mousemove "$x" "$y"
sleep 0.3
xdotool click 4
sleep 0.3
touch "$hand.wheeled"
for _ in $(seq 300); do [ -e "$hand.ready" ] && break; sleep 0.1; done
xdotool mousedown 1
sleep 0.1
xdotool mousemove "$((x + 30))" "$((y + 20))"
sleep 0.1
xdotool mousemove "$((x + 60))" "$((y + 40))"
sleep 0.1
xdotool mouseup 1
sleep 0.3
touch "$hand.dragged"
for _ in $(seq 300); do [ -e "$hand.pan" ] && break; sleep 0.1; done
xdotool mousemove "$x" "$y"
sleep 0.2
xdotool mousedown 2
sleep 0.1
xdotool mousemove "$((x + 20))" "$((y + 15))"
sleep 0.1
xdotool mousemove "$((x + 40))" "$((y + 30))"
sleep 0.3
touch "$hand.panning"
for _ in $(seq 300); do [ -e "$hand.release" ] && break; sleep 0.1; done
xdotool mouseup 2
sleep 0.3
touch "$hand.panned"
wait "$test_pid"
