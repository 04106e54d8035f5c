#!/usr/bin/env bash
# Makes the release package: a zip named with the version, holding one folder
# that a musician unpacks anywhere on Windows:
#   scripts/package.sh [--out ZIP] [--screenshots DIR] [--keep-stage] [BUILD_DIR]
# BUILD_DIR   the 32-bit Windows build (default build/windows); the four
#             deliverables are built in it first if anything is out of date
# --out       the zip (default build/package/DRUV-VERSION.zip)
# --screenshots the screenshots for the manual (default BUILD_DIR/screenshots,
#             else build/windows64/screenshots where only 64-bit Wine ran)
# --keep-stage keeps the assembled folder (its path is printed)
# The folder DRUV-VERSION holds the programs, DRUV.dll, the document icon,
# Manual.pdf (made by scripts/manual.sh), Devices\ with every definition of
# examples/ and instruments/ and the files each names, README.txt and the
# licences of what the programs link. Two runs on the same commit give the
# same bytes: entries sorted, dated by the commit (or $SOURCE_DATE_EPOCH).
# Prints the zip's path, its size and the size of each file in it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
caller=$(pwd)
cd "$root"
# A path given on the command line is the caller's, who may be elsewhere.
from_caller() { case $1 in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$caller" "$1" ;; esac; }
say() { printf '[package] %s\n' "$*"; }
fail() { printf '[package] FAILED: %s\n' "$*" >&2; exit 1; }

out= screenshots= keep_stage= build=
while [ $# -gt 0 ]; do
  case $1 in
    --out) out=$(from_caller "$2"); shift 2 ;;
    --screenshots) screenshots=$(from_caller "$2"); shift 2 ;;
    --keep-stage) keep_stage=1; shift ;;
    -h|--help) sed -n '2,16s/^# \{0,1\}//p' "$0"; exit 0 ;;
    -*) fail "unknown option $1" ;;
    *) build=$(from_caller "$1"); shift ;;
  esac
done
start=$(date +%s.%N)
build=${build:-$root/build/windows}
[ -d "$build" ] || fail "no Windows build in $build: run scripts/test.sh windows (or cmake --preset windows) first"
build=$(cd "$build" && pwd)

# The deliverables are 32-bit programs, whatever Wine this machine can run:
# a 64-bit build is never packaged.
grep -q 'Toolchain-mingw-i686' "$build/CMakeCache.txt" 2>/dev/null ||
  fail "$build is not the 32-bit Windows build (cmake --preset windows makes build/windows)"

version=$(sed -nE 's/^project\(DRUV VERSION ([^ )]+).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt's project()"

# DRUV_MANUAL_SCRIPT names another script with the same interface, for
# trying the packaging where the manual's tools are not installed.
manual_script=${DRUV_MANUAL_SCRIPT:-$root/scripts/manual.sh}
[ -z "${DRUV_MANUAL_SCRIPT:-}" ] || say "note: Manual.pdf comes from $manual_script (DRUV_MANUAL_SCRIPT), not scripts/manual.sh"
[ -x "$manual_script" ] || fail "$manual_script, which makes Manual.pdf, is missing (or not executable): no package without the manual"
if [ -z "$screenshots" ]; then
  screenshots="$build/screenshots"
  [ -d "$screenshots" ] || screenshots="$root/build/windows64/screenshots"
fi
[ -d "$screenshots" ] || fail "no screenshots for the manual in $screenshots: scripts/screenshots.sh makes them (the windows stage of scripts/test.sh runs it)"

# Builds what is out of date (nothing, after the windows stage).
say "building the deliverables in $build"
mkdir -p "$root/build/logs"
cmake --build "$build" --target druv_manager druv_template_builder druvhost druv_window_host DRUV \
  >"$root/build/logs/build-package.log" 2>&1 ||
  { tail -n 40 "$root/build/logs/build-package.log" >&2; fail "building the deliverables (the whole output is in build/logs/build-package.log)"; }

manager="$build/manager/program/DRUV Manager.exe"
builder="$build/builder/program/DRUV Template Builder.exe"
host="$build/druvhost/program/druvhost.exe"
window_host="$build/windowhost/program/DRUV Host.exe"
plugin="$build/plugin/ui/DRUV.dll"
icon="$root/manager/resources/DRUVManager.ico"
for file in "$manager" "$builder" "$host" "$window_host" "$plugin" "$icon"; do
  [ -f "$file" ] || fail "missing $file"
done

# The programs show their version in their About boxes and manifests; the
# package must not carry another.
manifest_version=$(sed -nE 's/.*assemblyIdentity version="([0-9.]+)".*/\1/p' "$build/manager/program/DRUVManager.manifest")
[ "$manifest_version" = "$version.0" ] || [ "$manifest_version" = "$version" ] ||
  fail "CMakeLists.txt says version $version but the manager's manifest says $manifest_version"

# The licences of what is linked in: libxml2 from its source, the compiler's
# runtime (libgcc, libstdc++) and the mingw-w64 runtime with winpthreads from
# their Debian packages.
work=$(mktemp -d "$root/build/package-work.XXXXXX")
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
libxml2_source=$(ls "$root"/third_party/downloads/libxml2_*.orig.tar.* 2>/dev/null | head -n 1 || true)
[ -n "$libxml2_source" ] || fail "libxml2's source is missing from third_party/downloads: run scripts/setup.sh"
tar -xOf "$libxml2_source" --wildcards --no-wildcards-match-slash 'libxml2-*/Copyright' >"$work/libxml2.txt" 2>/dev/null && [ -s "$work/libxml2.txt" ] ||
  fail "no Copyright file in $libxml2_source"
gcc_licence=/usr/share/doc/g++-mingw-w64-i686-posix/copyright
mingw_licence=/usr/share/doc/mingw-w64-i686-dev/copyright
for file in "$gcc_licence" "$mingw_licence"; do
  [ -s "$file" ] || fail "missing $file (packages g++-mingw-w64-i686-posix and mingw-w64-i686-dev)"
done

# One date for the zip's entries and the manual: the last commit's time.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || true)}
[[ $epoch =~ ^[0-9]+$ ]] || fail "no commit time to date the package with: set SOURCE_DATE_EPOCH"
export SOURCE_DATE_EPOCH=$epoch

say "making Manual.pdf (${manual_script#$root/}, screenshots from $screenshots)"
mkdir -p "$work/manual"
if ! "$manual_script" --screenshots "$screenshots" --out "$work/manual/Manual.pdf" >"$root/build/logs/manual.log" 2>&1; then
  tail -n 30 "$root/build/logs/manual.log" >&2
  fail "$manual_script failed (its output is in build/logs/manual.log)"
fi
[ -s "$work/manual/Manual.pdf" ] || fail "$manual_script made no Manual.pdf"

# The zip is dated by the commit; files that differ from it make a package
# that another checkout of the same commit would not reproduce.
changed=$(git -C "$root" status --porcelain -- examples instruments packaging docs/manual 2>/dev/null | wc -l)
[ "$changed" -eq 0 ] || say "note: $changed file(s) of examples/, instruments/, packaging/ or docs/manual/ differ from the last commit (git status shows them)"

devices=(--devices "$root/examples")
if compgen -G "$root/instruments/*.druv" >/dev/null; then devices+=(--devices "$root/instruments"); fi
out=${out:-$root/build/package/DRUV-$version.zip}
mkdir -p "$(dirname "$out")"
stage="$work/stage"
say "assembling DRUV-$version and writing $out"
python3 "$root/packaging/package.py" --version "$version" --stage "$stage" --out "$out" --epoch "$epoch" \
  --file "DRUV Manager.exe=$manager" --file "DRUV Template Builder.exe=$builder" \
  --file "druvhost.exe=$host" --file "DRUV Host.exe=$window_host" \
  --file "DRUV.dll=$plugin" --file "DRUVManager.ico=$icon" \
  --file "Manual.pdf=$work/manual/Manual.pdf" \
  --readme "$root/packaging/README.txt" \
  --text "Licences/libxml2.txt=$work/libxml2.txt" \
  --text "Licences/gcc-runtime.txt=$gcc_licence" \
  --text "Licences/mingw-w64-runtime.txt=$mingw_licence" \
  "${devices[@]}" || fail "assembling the package"
if [ -n "$keep_stage" ]; then
  kept="$(dirname "$out")/stage-$version"
  rm -rf "$kept" && mv "$stage" "$kept"
  say "the assembled folder is in $kept"
fi
say "$out: $(stat -c %s "$out") bytes, made in $(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s"
