#!/usr/bin/env bash
# Checks a release zip before anyone downloads it:
#   scripts/check-release.sh <tarvo-VERSION.zip> <folder of the mingw and mingw64 build trees>
# The listing and the zip's fields, each exe's architecture, size and version,
# the texts' encoding, and that the exes are the very files the tests ran.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
zip=$1
builds=$2
version=$(cat "$builds/mingw/version.txt")
name=tarvo-$version
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
check() {
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
    echo "ok: $what"
  else
    failed=$((failed + 1))
    echo "FAILED: $what" >&2
  fi
}

same_text() { [ "$1" = "$2" ] || { printf 'got:\n%s\nexpected:\n%s\n' "$1" "$2" >&2; false; }; }

check "the zip is named for the build's version ($version)" \
  same_text "$(basename "$zip")" "$name.zip"
check "the listing is one folder with the two exes and the two texts" \
  same_text "$(unzip -Z1 "$zip")" "$(printf '%s\n' "$name/LICENSE.txt" "$name/README.txt" "$name/x64/tarvo.exe" "$name/x86/tarvo.exe")"
check "the zip reads back without error" bash -c 'unzip -tq "$1" >/dev/null' _ "$zip"

# Windows' own zip support reads the DOS fields only; zip rounds the commit's
# time up to its 2-second step.
stamp=$(TZ=UTC date -d "@$(( (epoch + 1) / 2 * 2 ))" +%Y%m%d.%H%M%S)
check "every entry is a plain file of mode 644 dated at the commit, with no extra field" \
  same_text "$(TZ=UTC zipinfo -T "$zip" | awk '$1 ~ /^-/ {print $1, $2, $3, $7}' | sort -u)
$(zipinfo -v "$zip" | grep 'length of extra field' | sort -u | sed 's/  */ /g')" \
  "-rw-r--r-- 3.0 unx $stamp
 length of extra field: 0 bytes"

unzip -q "$zip" -d "$work"
dir=$work/$name
copyright=$(grep '^Copyright' "$root/LICENSE")
while read -r folder preset format; do
  exe=$dir/$folder/tarvo.exe
  triplet=$( [ "$preset" = mingw ] && echo i686 || echo x86_64 )-w64-mingw32
  check "$folder/tarvo.exe is the file the $preset tests ran" \
    same_text "$(sha256sum "$exe" | cut -d' ' -f1)" "$(cat "$builds/$preset/tested-tarvo.sha256" 2>/dev/null)"
  check "$folder/tarvo.exe is a $format program" \
    same_text "$("$triplet-objdump" -f "$exe" | sed -n 's/.*file format //p')" "$format"
  check "$folder/tarvo.exe is at most 64 KiB" [ "$(stat -c %s "$exe")" -le 65536 ]
  "$triplet-windres" -i "$exe" -O rc -o "$work/$folder.rc"
  check "$folder/tarvo.exe carries version $version and the licence's copyright line" \
    same_text "$(grep -E '^ *(FILEVERSION|PRODUCTVERSION)|"(FileVersion|ProductVersion|LegalCopyright)"' "$work/$folder.rc" | sed 's/^ *//')" \
    "FILEVERSION ${version%%.*}, ${version#*.}, 0, 0
PRODUCTVERSION ${version%%.*}, ${version#*.}, 0, 0
VALUE \"FileVersion\", \"$version.0.0\"
VALUE \"LegalCopyright\", \"$copyright\"
VALUE \"ProductVersion\", \"1.0.0.0\""
  check "$folder/tarvo.exe shows Ver$version in its window" grep -qaF "Ver$version" "$exe"
  check "$folder/tarvo.exe holds no build path" \
    bash -c '! grep -qaF -e "$1" -e "$2" "$3"' _ "$root" "$builds" "$exe"
done <<EOF
x86 mingw pei-i386
x64 mingw64 pei-x86-64
EOF

# Text files: CRLF line ends only, and the source's text exactly; README.txt is
# UTF-8 with a byte order mark, LICENSE.txt plain ASCII.
crlf_only() { ! LC_ALL=C grep -q $'[^\r]$\|^$' "$1" && [ "$(tail -c 2 "$1" | od -An -c | tr -d ' ')" = '\r\n' ]; }
check "README.txt has CRLF line ends only" crlf_only "$dir/README.txt"
check "README.txt starts with the UTF-8 byte order mark" \
  same_text "$(head -c 3 "$dir/README.txt" | od -An -tx1 | tr -d ' ')" efbbbf
check "README.txt is valid UTF-8" iconv -f UTF-8 -t UTF-8 -o /dev/null "$dir/README.txt"
check "README.txt is docs/README.txt" \
  cmp <(tail -c +4 "$dir/README.txt" | tr -d '\r') "$root/docs/README.txt"
check "LICENSE.txt has CRLF line ends only" crlf_only "$dir/LICENSE.txt"
check "LICENSE.txt is plain ASCII" bash -c '! LC_ALL=C grep -qP "[^\x00-\x7f]" "$1"' _ "$dir/LICENSE.txt"
check "LICENSE.txt is LICENSE" cmp <(tr -d '\r' <"$dir/LICENSE.txt") "$root/LICENSE"

echo "release check: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
