#!/usr/bin/env bash
# Makes the release a user downloads: from a clean tree, builds both programs
# with the release settings (the presets), runs every test on exactly those
# files (scripts/test.sh), packs them with LICENSE and docs/README.txt into
# dist/tarvo-<version>.zip, checks the zip (scripts/check-release.sh) and
# writes dist/SHA256SUMS.
# The same commit gives the same zip in any folder, at any time, on any machine
# of this kind: the exes carry no time stamp and no build path, and the zip's
# times (the commit's), order, modes and fields are fixed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds=$root/build/release
dist=$root/dist

"$root/scripts/setup-machine.sh"
changes=$(git -C "$root" status --porcelain)
if [ -n "$changes" ]; then
  echo "release.sh: the tree has uncommitted changes; a release is made from a commit." >&2
  exit 1
fi
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH

rm -rf "$builds"
TARVO_BUILD_DIR=$builds TARVO_PRESETS="mingw mingw64" "$root/scripts/test.sh"

version=$(cat "$builds/mingw/version.txt")
name=tarvo-$version
stage=$builds/stage
mkdir -p "$stage/$name/x86" "$stage/$name/x64"
cp "$builds/mingw/app/tarvo.exe" "$stage/$name/x86/tarvo.exe"
cp "$builds/mingw64/app/tarvo.exe" "$stage/$name/x64/tarvo.exe"
# Notepad on any Windows reads CRLF, and UTF-8 only with its byte order mark.
sed 's/$/\r/' "$root/LICENSE" >"$stage/$name/LICENSE.txt"
{ printf '\357\273\277'; sed 's/$/\r/' "$root/docs/README.txt"; } >"$stage/$name/README.txt"

find "$stage/$name" -type d -exec chmod 755 {} +
find "$stage/$name" -type f -exec chmod 644 {} +
find "$stage/$name" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
# -X leaves out the Unix extra fields (owner, exact times), -D the folder
# entries; zip writes the names in the order given, and DOS times in local time.
zip=$builds/$name.zip
rm -f "$zip"
(cd "$stage" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 -@ "$zip")

"$root/scripts/check-release.sh" "$zip" "$builds"

mkdir -p "$dist"
cp "$zip" "$dist/$name.zip"
(cd "$dist" && sha256sum "$name.zip" >SHA256SUMS)
echo "== Release: $dist/$name.zip ($(stat -c %s "$dist/$name.zip") bytes)"
cat "$dist/SHA256SUMS"
