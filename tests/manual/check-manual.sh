#!/usr/bin/env bash
# Checks the manual build (scripts/manual.sh) end to end, one test per kind
# of fault:
#   tests/manual/check-manual.sh [--screenshots DIR]   (default build/windows/screenshots)
# DIR holds the screenshots that scripts/screenshots.sh takes. Ends with the
# line "manual: N passed, M failed" and exits non-zero when a test failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
shots="$root/build/windows/screenshots"
while [ $# -gt 0 ]; do
  case $1 in
    --screenshots) shots=$2; shift 2 ;;
    *) echo "usage: tests/manual/check-manual.sh [--screenshots DIR]" >&2; exit 2 ;;
  esac
done
manual="$root/scripts/manual.sh"
pictures=(manager-two-devices.png mixer-online.png synth-offline.png druvhost-page-mixer.png
          window-host-two-instruments.png window-host-receiving.png window-host-import-preview.png
          builder-mixer.png builder-advanced.png)
min_pages=15 max_pages=46

work=$(mktemp -d "${TMPDIR:-/tmp}/druv-manual-check.XXXXXX")
trap 'rm -rf "$work"' EXIT
passed=0 failed=0
pass() { passed=$((passed + 1)); printf 'PASS %s\n' "$1"; }
fail() { failed=$((failed + 1)); printf 'FAIL %s: %s\n' "$1" "$2"; }

# One build from the checkout's own source; the tests below inspect it.
export SOURCE_DATE_EPOCH=1700000000   # 2023-11-14T22:13:20Z
first="$work/first/Manual.pdf"
mkdir -p "$work/first" "$work/second"
if "$manual" --screenshots "$shots" --out "$first" 2>"$work/first.err"; then
  built=yes
else
  built=no
fi

# 1. The source builds without any warning (the build script fails on one).
test_builds() {
  local name="the manual builds without warnings"
  if [ $built = yes ] && [ -s "$first" ]; then pass "$name"
  else fail "$name" "$(tr '\n' ' ' <"$work/first.err")"; fi
}

# 2. Its length is in the expected range: a lost chapter or a runaway table
#    shows as a page count outside it.
test_page_count() {
  local name="page count within $min_pages to $max_pages" pages
  pages=$(pdfinfo "$first" 2>/dev/null | awk '/^Pages:/ { print $2 }')
  if [ -n "$pages" ] && [ "$pages" -ge $min_pages ] && [ "$pages" -le $max_pages ]; then
    pass "$name ($pages pages)"
  else fail "$name" "pdfinfo says '${pages:-nothing}'"; fi
}

# 3. Every screenshot is embedded as a picture of its own size.
test_pictures_embedded() {
  local name="each screenshot is embedded" list missing=() p size images
  list=$(pdfimages -list "$first" 2>/dev/null | awk 'NR > 2 && $3 == "image" { print $4 "x" $5 }')
  images=$(printf '%s\n' "$list" | grep -c x)
  for p in "${pictures[@]}"; do
    size=$(/usr/bin/python3 -c 'import struct,sys
d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]))' "$shots/$p" 2>/dev/null)
    printf '%s\n' "$list" | grep -qx "$size" || missing+=("$p ($size)")
  done
  if [ ${#missing[@]} -eq 0 ] && [ "$images" -ge ${#pictures[@]} ]; then pass "$name ($images pictures)"
  else fail "$name" "$images pictures; not found: ${missing[*]:-none}"; fi
}

# 4. The same inputs give the same bytes, dated from SOURCE_DATE_EPOCH.
test_reproducible() {
  local name="two builds are byte-identical and dated from SOURCE_DATE_EPOCH" second="$work/second/Manual.pdf" date
  if ! "$manual" --screenshots "$shots" --out "$second" 2>"$work/second.err"; then
    fail "$name" "second build failed: $(tr '\n' ' ' <"$work/second.err")"; return
  fi
  date=$(pdfinfo -isodates "$first" 2>/dev/null | awk '/^CreationDate:/ { print $2 }')
  if ! cmp -s "$first" "$second"; then fail "$name" "the two PDFs differ"
  elif [ "$date" != "2023-11-14T22:13:20Z" ] && [ "$date" != "2023-11-14T22:13:20+00" ]; then
    fail "$name" "CreationDate is '$date'"
  else pass "$name"; fi
}

# 5. A fault in the inputs fails the build, and the previous manual stays as
#    it was, with no partial file beside it. Table: case | how the input is spoilt.
spoil() {  # case source_dir shots_dir
  case $1 in
    "unknown style property") printf 'h1 { text-shadow-colour: red; }\n' >>"$2/manual.css" ;;
    "picture that cannot be loaded") printf '\n![Lost](pictures/no-such-picture.png)\n' >>"$2/manual.md" ;;
    "duplicate section identifier") printf '\n# One {#same}\n\n# Two {#same}\n' >>"$2/manual.md" ;;
    "screenshot missing") rm "$3/${pictures[2]}" ;;
  esac
}
test_faults_fail() {
  local name="a faulty input fails the build and keeps the old manual" c problems=()
  local cases=("unknown style property" "picture that cannot be loaded" "duplicate section identifier"
               "screenshot missing")
  for c in "${cases[@]}"; do
    local dir="$work/fault" ; rm -rf "$dir"; mkdir -p "$dir/out" "$dir/shots"
    cp -r "$root/docs/manual" "$dir/source"
    cp "${pictures[@]/#/$shots/}" "$dir/shots/" 2>/dev/null
    spoil "$c" "$dir/source" "$dir/shots"
    printf 'old manual\n' >"$dir/out/Manual.pdf"
    if "$manual" --source "$dir/source" --screenshots "$dir/shots" --out "$dir/out/Manual.pdf" 2>/dev/null; then
      problems+=("$c: reported success")
    elif [ "$(cat "$dir/out/Manual.pdf")" != "old manual" ]; then
      problems+=("$c: the old manual was replaced")
    elif [ -n "$(find "$dir/out" -name '.Manual.pdf.*')" ]; then
      problems+=("$c: a partial file was left")
    fi
  done
  if [ ${#problems[@]} -eq 0 ]; then pass "$name (${#cases[@]} cases)"
  else fail "$name" "$(printf '%s; ' "${problems[@]}")"; fi
}

# 6. Every program text the manual quotes is one that the programs show; a
#    text that is not must be reported (the checker's own control case).
test_quoted_texts() {
  local name="quoted program texts are the programs' own" out
  local sources=("$root/device" "$root/plugin" "$root/manager" "$root/builder" "$root/druvhost" "$root/windowhost"
                 "$root/platform")
  if ! out=$(python3 "$root/tests/manual/message_texts.py" "$root/docs/manual/manual.md" "${sources[@]}" 2>&1); then
    fail "$name" "$out"; return
  fi
  cp "$root/docs/manual/manual.md" "$work/control.md"
  printf '\n`Error! The MIDI cable is made of cheese`{.msg}\n' >>"$work/control.md"
  if python3 "$root/tests/manual/message_texts.py" "$work/control.md" "${sources[@]}" >/dev/null 2>&1; then
    fail "$name" "a text the programs never show was not reported"; return
  fi
  pass "$name (${out##*$'\n'})"
}

test_builds
if [ $built = yes ]; then
  test_page_count
  test_pictures_embedded
  test_reproducible
fi
test_faults_fail
test_quoted_texts
printf 'manual: %d passed, %d failed\n' "$passed" "$failed"
[ $failed -eq 0 ]
