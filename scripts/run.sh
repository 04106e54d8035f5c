#!/usr/bin/env bash
# The main job, through the real programs: builds DRUV.dll and druvhost.exe
# for 32-bit Windows and, under Wine, installs each device definition (by
# default every example), receives every dump from druvhost's simulated
# instrument at one device ID into a project file, transmits the project to
# a second simulated instrument at another device ID, prints the verdict
# (druvhost's own: whether that instrument now holds the project's dumps) and
# uninstalls what it installed. Without definitions given, it then does the
# same for one real instrument, the Yamaha TX7, and also takes its voice bank
# out to a .syx file, into a second project and out again; the .syx file stays
# in build/main-job/tx7/ and its path is printed.
#   scripts/run.sh [DEFINITION...]
#   scripts/run.sh --native [DEFINITION...]
# --native plays the same session natively instead, through our test host
# and the plug-in's portable core (druv-session), after a summary of each
# definition (druv-inspect); no Wine needed.
# Wine runs in a prefix of its own (build/wineprefix-main-ARCH, see
# druvhost-wine.sh), kept between runs so that only the first run boots it,
# with a Wine server of its own that ends with the script: the tests' prefix
# and server are left alone. The project file stays in build/main-job/; the
# transcript is also in build/logs/main-job.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
log_dir="$root/build/logs"

native=
if [ "${1:-}" = --native ]; then native=1; shift; fi
# Definitions named relative to where the script was started from.
definitions=()
for file in "$@"; do
  [ -f "$file" ] || { echo "no definition file $file" >&2; exit 2; }
  definitions+=("$(cd "$(dirname "$file")" && pwd)/$(basename "$file")")
done
cd "$root"
if [ ${#definitions[@]} -eq 0 ]; then set -- examples/*.druv; else set -- "${definitions[@]}"; fi

# build PRESET TARGET...: quiet unless it fails.
build() {
  local preset=$1; shift
  cmake --preset "$preset" >"$log_dir/configure-$preset.log" 2>&1 ||
    { cat "$log_dir/configure-$preset.log"; exit 1; }
  cmake --build --preset "$preset" -j 2 --target "$@" >"$log_dir/build-main-$preset.log" 2>&1 ||
    { tail -n 40 "$log_dir/build-main-$preset.log"; echo "(the whole output is in $log_dir/build-main-$preset.log)"; exit 1; }
}

scripts/setup.sh >/dev/null
mkdir -p "$log_dir"

if [ -n "$native" ]; then
  build native druv-inspect druv-session
  build/native/tools/druv-inspect "$@"
  echo
  exec build/native/tools/druv-session "$@"
fi

start=$(date +%s)
# The deliverables are 32-bit; where this kernel cannot run 32-bit programs
# the same programs are built for 64-bit Windows and run under 64-bit Wine.
preset=windows arch=win32
/usr/lib/wine/wine --version >/dev/null 2>&1 || { preset=windows64 arch=win64; }
echo "Building DRUV.dll and druvhost.exe ($preset; the output is in $log_dir/build-main-$preset.log)"
build "$preset" druvhost druvhost-round-trip-check
bin="build/$preset/druvhost/program"

source scripts/druvhost-wine.sh
druvhost_wine_start "$arch" "$log_dir"
echo "Wine $arch, prefix $WINEPREFIX"
echo
status=0
checker="build/$preset/tests/druvhost/main_job/druvhost-round-trip-check.exe"
(
  rc=0
  scripts/druvhost-round-trip.sh --keep build/main-job "$arch" "$bin" "$checker" "$@" || rc=1
  if [ ${#definitions[@]} -eq 0 ]; then
    echo
    echo "One real instrument, with its voice bank as a .syx file:"
    scripts/druvhost-round-trip.sh --keep build/main-job/tx7 --syx "All Voices" "$arch" "$bin" "$checker" \
      instruments/yamaha-tx7.druv || rc=1
  fi
  exit $rc
) 2>&1 | tee "$log_dir/main-job.log" || status=1
echo
echo "($(( $(date +%s) - start )) s; this transcript is in $log_dir/main-job.log)"
exit $status
