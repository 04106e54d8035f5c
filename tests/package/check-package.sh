#!/usr/bin/env bash
# Checks what the release package holds, against the sources and the build
# rather than against what the packaging script meant to do:
#   tests/package/check-package.sh ZIP BUILD_DIR
# The zip is whole; it holds exactly one folder DRUV-VERSION (the version of
# CMakeLists.txt, also in the zip's name) with exactly these files: the four
# deliverables as built in BUILD_DIR (32-bit), the document icon, a PDF
# manual, README.txt and the licences with Windows line ends, and Devices\
# with every definition of examples/ and instruments/ and each file a
# definition names (HelpFile, ActivePNGFile, InactivePNGFile), byte for byte.
# Prints what each check got and ends with "N passed, M failed"; exit
# status 1 when a check failed.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
[ $# -eq 2 ] || { sed -n '2,12s/^# \{0,1\}//p' "$0" >&2; exit 2; }
zip=$1 build=$2

passed=0 failed=0
ok() { passed=$((passed + 1)); printf 'ok: %s\n' "$*"; }
bad() { failed=$((failed + 1)); printf 'FAILED: %s\n' "$*"; }
finish() { echo "$passed passed, $failed failed"; [ $failed -eq 0 ]; }

version=$(sed -nE 's/^project\(DRUV VERSION ([^ )]+).*/\1/p' "$root/CMakeLists.txt")
top="DRUV-$version"
if [ "$(basename "$zip")" = "$top.zip" ]; then ok "the zip is named $top.zip"; else bad "the zip is named $(basename "$zip"), not $top.zip"; fi
if unzip -tqq "$zip" >/dev/null 2>&1; then ok "every entry of the zip reads back with a good CRC"; else bad "unzip -t finds the zip damaged"; finish; exit 1; fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"
unzip -Z1 "$zip" | grep -v '/$' | sort >"$work/listed"

folders=$(ls -A "$work" | grep -vx listed)
if [ "$folders" = "$top" ]; then ok "one folder at the top: $top"; else bad "at the top: $(echo $folders)"; finish; exit 1; fi
release="$work/$top"

# The files expected, each with the file it must equal ("-" for none).
expected=()
expect() { expected+=("$1"$'\t'"$2"); }
expect "DRUV Manager.exe" "$build/manager/program/DRUV Manager.exe"
expect "DRUV Template Builder.exe" "$build/builder/program/DRUV Template Builder.exe"
expect "DRUV.dll" "$build/plugin/ui/DRUV.dll"
expect "druvhost.exe" "$build/druvhost/program/druvhost.exe"
expect "DRUV Host.exe" "$build/windowhost/program/DRUV Host.exe"
expect "DRUVManager.ico" "$root/manager/resources/DRUVManager.ico"
expect "Manual.pdf" -
expect "README.txt" -
expect "Licences/libxml2.txt" -
expect "Licences/gcc-runtime.txt" -
expect "Licences/mingw-w64-runtime.txt" -
for source in "$root"/examples/*.druv "$root"/instruments/*.druv; do
  [ -f "$source" ] || continue
  expect "Devices/${source##*/}" "$source"
  for field in HelpFile ActivePNGFile InactivePNGFile; do
    name=$(xmllint --xpath "string(/DRUVDevice/$field)" "$source" 2>/dev/null | tr '\\' /)
    [ -z "$name" ] || expect "Devices/$name" "$(dirname "$source")/$name"
  done
done
printf '%s\n' "${expected[@]}" | cut -f1 | sed "s|^|$top/|" | sort -u >"$work/wanted"
missing=$(comm -23 "$work/wanted" "$work/listed")
extra=$(comm -13 "$work/wanted" "$work/listed")
if [ -z "$missing" ]; then ok "all $(wc -l <"$work/wanted") files there"; else bad "missing: $(echo "$missing" | tr '\n' ';')"; fi
if [ -z "$extra" ]; then ok "no other files"; else bad "files nobody asked for: $(echo "$extra" | tr '\n' ';')"; fi

same=0 differ=()
for entry in "${expected[@]}"; do
  name=${entry%%$'\t'*} source=${entry#*$'\t'}
  [ "$source" != - ] && [ -f "$release/$name" ] || continue
  if [ -f "$source" ] && cmp -s "$source" "$release/$name"; then same=$((same + 1)); else differ+=("$name"); fi
done
if [ ${#differ[@]} -eq 0 ]; then ok "$same files are byte for byte those of the build and the sources"; else bad "differ from their sources: ${differ[*]}"; fi

# PE header: the machine field after "PE\0\0" is 0x014c for 32-bit x86.
machine() {
  local offset
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
for program in "DRUV Manager.exe" "DRUV Template Builder.exe" "DRUV.dll" "druvhost.exe" "DRUV Host.exe"; do
  if [ -f "$release/$program" ] && [ "$(machine "$release/$program")" = 014c ]; then ok "$program is a 32-bit x86 program"
  else bad "$program is not a 32-bit x86 program (machine ${release:+$(machine "$release/$program" 2>/dev/null)})"; fi
done

if [ "$(head -c 5 "$release/Manual.pdf" 2>/dev/null)" = "%PDF-" ]; then ok "Manual.pdf is a PDF ($(stat -c %s "$release/Manual.pdf") bytes)"
else bad "Manual.pdf is no PDF"; fi

# Windows line ends: no line feed without a carriage return before it.
for text in README.txt Licences/libxml2.txt Licences/gcc-runtime.txt Licences/mingw-w64-runtime.txt; do
  file="$release/$text"
  [ -s "$file" ] || { bad "$text is empty or missing"; continue; }
  lines=$(tr -cd '\n' <"$file" | wc -c)
  crlf=$(grep -c $'\r$' "$file" || true)
  if [ "$lines" -gt 0 ] && [ "$crlf" -eq "$lines" ] && [ "$(tail -c 2 "$file" | od -An -tx1 | tr -d ' ')" = 0d0a ]; then
    ok "$text: $lines lines, each ending in CRLF"
  else
    bad "$text: $crlf of $lines lines end in CRLF"
  fi
done
readme=$(tr -d '\r' <"$release/README.txt")
for phrase in "DRUV $version" "Manual.pdf" "Devices" "DRUV Manager.exe" "Add" "libxml2" "Runtime" "winpthreads"; do
  if grep -qF "$phrase" <<<"$readme"; then ok "README.txt mentions \"$phrase\""; else bad "README.txt does not mention \"$phrase\""; fi
done
if grep -q '@VERSION@' <<<"$readme"; then bad "README.txt still has @VERSION@"; fi
if grep -q 'Permission is hereby granted' "$release/Licences/libxml2.txt" &&
   grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$release/Licences/gcc-runtime.txt" &&
   grep -q 'winpthreads' "$release/Licences/mingw-w64-runtime.txt"; then
  ok "the licence files hold libxml2's licence, the GCC runtime library exception and winpthreads' terms"
else
  bad "a licence file lacks its licence"
fi

finish
