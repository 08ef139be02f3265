#!/usr/bin/env bash
# Fuzzes the shortcut structure check: scripts/fuzz.sh [seconds] [target...].
# Two targets, each run for the given number of seconds (default 600):
#   check   the check alone answers every input without reading past it;
#   reader  a file the check accepts is followed as a reader follows it, and
#           reads nothing past any of its structures.
# Both by default. FUZZ_RUNS=n stops each after n inputs instead (seconds 0 then
# means no time limit). A native build with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (Debian's clang), started on the real shortcut
# files in fuzz/lnk-samples and damaged copies of them. The corpus each target
# grows stays in build/fuzz/<target>/corpus for the next run; an input that
# fails is written to build/fuzz/<target>/ and ends the run with a non-zero
# status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
shift || true
targets=${*:-check reader}
out=$root/build/fuzz

need=()
for p in clang libclang-rt-dev python3; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

rm -rf "$out/start"
python3 "$root/fuzz/damage.py" "$root/fuzz/lnk-samples" "$out/start"
cp "$root"/fuzz/lnk-samples/*.lnk "$out/start/"
for target in $targets; do
  dir=$out/$target
  mkdir -p "$dir/corpus"
  clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -I"$root" "$root/fuzz/link_${target}_fuzz.cpp" "$root/support/link_check.cpp" -o "$dir/fuzz"
  echo "== $target"
  "$dir/fuzz" -max_total_time="$seconds" ${FUZZ_RUNS:+-runs=$FUZZ_RUNS} -print_final_stats=1 \
    -artifact_prefix="$dir/" "$dir/corpus" "$out/start"
done
