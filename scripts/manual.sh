#!/usr/bin/env bash
# Builds Manual.pdf from its source text in docs/manual/ and the screenshots
# that scripts/screenshots.sh takes:
#   scripts/manual.sh --screenshots DIR --out PATH/Manual.pdf [--source DIR]
# DIR must hold every picture the manual shows (the list below). --source
# names another copy of docs/manual (the tests use it). Markdown becomes HTML
# with pandoc and HTML becomes PDF with WeasyPrint; no network is needed.
#
# Any warning of either tool fails the build, and so does a missing picture:
# a manual that silently lost a table or a screenshot is worse than none.
# Nothing is written to PATH until the PDF is complete; it is then renamed
# into place, so a failed build leaves the old manual (or none) behind.
#
# The PDF is reproducible: the same inputs give the same bytes. Its creation
# date is SOURCE_DATE_EPOCH, by default the time of the last commit.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
say() { printf '[manual] %s\n' "$*" >&2; }
fail() { say "$*"; exit 1; }

# The pictures, in the order the manual first shows them.
pictures=(manager-two-devices.png mixer-online.png synth-offline.png druvhost-page-mixer.png
          window-host-two-instruments.png window-host-receiving.png window-host-import-preview.png
          builder-mixer.png builder-advanced.png)

screenshots= out= source="$root/docs/manual"
while [ $# -gt 0 ]; do
  case $1 in
    --screenshots) [ $# -ge 2 ] || fail "--screenshots needs a folder"; screenshots=$2; shift 2 ;;
    --out) [ $# -ge 2 ] || fail "--out needs a file name"; out=$2; shift 2 ;;
    --source) [ $# -ge 2 ] || fail "--source needs a folder"; source=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) fail "unknown argument $1 (usage: scripts/manual.sh --screenshots DIR --out PATH/Manual.pdf)" ;;
  esac
done
[ -n "$screenshots" ] && [ -n "$out" ] || fail "usage: scripts/manual.sh --screenshots DIR --out PATH/Manual.pdf"
[ -d "$screenshots" ] || fail "no screenshot folder $screenshots (scripts/screenshots.sh BUILD_DIR fills it)"
for f in manual.md manual.css template.html; do
  [ -f "$source/$f" ] || fail "missing $source/$f"
done
for tool in pandoc weasyprint; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/setup.sh installs it)"
done
missing=()
for p in "${pictures[@]}"; do [ -s "$screenshots/$p" ] || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] || fail "missing in $screenshots: ${missing[*]} (scripts/screenshots.sh BUILD_DIR takes them)"

out_dir=$(dirname "$out")
mkdir -p "$out_dir" || fail "cannot create the folder $out_dir for $out"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)
  # Outside a checkout the source text's own time stands in.
  [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=$(stat -c %Y "$source/manual.md")
fi
case $SOURCE_DATE_EPOCH in ''|*[!0-9]*) fail "SOURCE_DATE_EPOCH must be a number of seconds, not '$SOURCE_DATE_EPOCH'" ;; esac
export SOURCE_DATE_EPOCH
# Python's hash seed and the locale must not change what the tools write.
export PYTHONHASHSEED=0 LC_ALL=C.UTF-8 TZ=UTC
created=$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%dT%H:%M:%SZ')

work=$(mktemp -d "${TMPDIR:-/tmp}/druv-manual.XXXXXX")
partial=
cleanup() { rm -rf "$work"; [ -z "$partial" ] || rm -f "$partial"; }
trap cleanup EXIT
mkdir "$work/pictures"
for p in "${pictures[@]}"; do cp "$screenshots/$p" "$work/pictures/$p"; done
cp "$source/manual.css" "$work/manual.css"

# Runs one tool; whatever it prints on stderr counts as a failure.
run_quiet() {
  local name=$1; shift
  local rc=0
  "$@" 2>"$work/$name.err" || rc=$?
  if [ $rc -ne 0 ] || [ -s "$work/$name.err" ]; then
    say "$name failed (exit code $rc) or warned:"
    sed 's/^/    /' "$work/$name.err" >&2
    exit 1
  fi
}

# The pictures and the style sheet go into the HTML itself (data URLs): the
# renderer names each picture after its URL, so a file URL in the temporary
# folder would make every build's PDF differ.
run_quiet pandoc pandoc --fail-if-warnings --from markdown --to html5 --standalone --self-contained \
  --resource-path "$work" --template "$source/template.html" --toc --toc-depth=2 --section-divs \
  --metadata created="$created" --output "$work/manual.html" "$source/manual.md"
run_quiet weasyprint weasyprint --base-url "$work/" "$work/manual.html" "$work/Manual.pdf"
[ -s "$work/Manual.pdf" ] || fail "weasyprint wrote no PDF"
head -c 5 "$work/Manual.pdf" | grep -q '^%PDF-' || fail "weasyprint wrote something that is not a PDF"

partial=$(mktemp "$out_dir/.Manual.pdf.XXXXXX")
cp "$work/Manual.pdf" "$partial"
chmod 644 "$partial"
mv -f "$partial" "$out"
partial=
say "$out ($(stat -c %s "$out") bytes)"
