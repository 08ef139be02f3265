#!/usr/bin/env bash
# Fuzzes the shortcut structure check for the given number of seconds (default
# 600): a native build with libFuzzer, AddressSanitizer and UndefinedBehavior-
# Sanitizer (Debian's clang), started on the real shortcut files in
# fuzz/lnk-samples and damaged copies of them. The corpus it grows stays in
# build/fuzz/corpus for the next run; an input that fails is written to
# build/fuzz/ and ends the run with a non-zero status.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-600}
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

mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root" "$root/fuzz/link_check_fuzz.cpp" "$root/support/link_check.cpp" -o "$out/link_check_fuzz"
rm -rf "$out/start"
python3 "$root/fuzz/damage.py" "$root/fuzz/lnk-samples" "$out/start"
cp "$root"/fuzz/lnk-samples/*.lnk "$out/start/"
"$out/link_check_fuzz" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/" \
  "$out/corpus" "$out/start"
