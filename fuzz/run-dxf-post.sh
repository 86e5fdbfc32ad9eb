#!/bin/sh
# Runs the read + post-processing fuzz target for a while, each input under a time limit, so
# that an input that hangs is reported (as a timeout, with the input saved) rather than waited
# for. Build first: cmake --preset fuzz && cmake --build --preset fuzz --target fuzz_dxf_post
#   fuzz/run-dxf-post.sh [SECONDS] [extra libFuzzer flags...]
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
seconds=${1:-300}
[ $# -gt 0 ] && shift
work=${TMPDIR:-/tmp}/tesmar-fuzz-dxf-post
mkdir -p "$work/corpus" "$work/findings"
exec "$root/build/fuzz/fuzz/fuzz_dxf_post" "$work/corpus" "$here/corpus/dxf_post" \
  -dict="$here/dxf_read.dict" -timeout=5 -rss_limit_mb=2048 -max_len=65536 \
  -max_total_time="$seconds" -artifact_prefix="$work/findings/" -print_final_stats=1 "$@"
