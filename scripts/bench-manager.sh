#!/usr/bin/env bash
# Measures how fast the manager installs and removes instruments (100 distinct
# definitions, then Remove All):
#   native  over the in-memory registry, with Google Benchmark
#           (build/native/bench/manager_bench);
#   wine    over the system registry, the 32-bit Windows build under Wine
#           (build/windows/bench/win32/manager_registry_bench.exe), in a
#           throw-away Wine prefix made here under /tmp with a Wine server of
#           its own; the server is ended and the prefix deleted afterwards.
# A measurement, not a test: nothing here decides pass or fail on speed.
# Builds only these two targets, two jobs at a time.
#
# Usage: scripts/bench-manager.sh [--native | --wine] [rounds, default 3]
# (rounds: repetitions of the native benchmark, counted rounds under Wine)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

run_native=1 run_wine=1 rounds=3
for argument in "$@"; do
  case "$argument" in
    --native) run_wine= ;;
    --wine) run_native= ;;
    [1-9]*) rounds=$argument ;;
    *) echo "usage: $0 [--native | --wine] [rounds]" >&2; exit 2 ;;
  esac
done

machine_load() { echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"; }

if [ -n "$run_native" ]; then
  cmake --preset native >/dev/null
  cmake --build build/native -j2 --target manager_bench >/dev/null
  machine_load
  # As many repetitions as rounds under Wine, so that both report a median.
  build/native/bench/manager_bench --benchmark_repetitions="$rounds" --benchmark_report_aggregates_only=true
fi

if [ -n "$run_wine" ]; then
  if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "32-bit Wine cannot start on this machine: no measurement over the system registry" >&2
    exit 1
  fi
  cmake --preset windows >/dev/null
  cmake --build build/windows -j2 --target manager_registry_bench >/dev/null
  scratch=$(mktemp -d /tmp/druv-manager-bench-wine.XXXXXX)
  export DRUV_WINEPREFIX="$scratch/prefix"
  source scripts/wine-env.sh win32
  # Ends the server of this prefix only (if one runs: also after a failed
  # boot), then deletes the prefix.
  end_wine() {
    "$druv_wineserver" -k 2>/dev/null || true
    "$druv_wineserver" -w 2>/dev/null || true
    rm -rf "$scratch"
  }
  trap end_wine EXIT
  scripts/wine-prefix.sh win32 >/dev/null
  "$druv_wineserver" -p
  # Wine's background services start with the first program a server runs
  # and keep its output open; start them with theirs going to a file.
  "$druv_wine_loader" wineboot </dev/null >"$scratch/wineboot.log" 2>&1 || true
  machine_load
  "$druv_wine_loader" build/windows/bench/win32/manager_registry_bench.exe "$rounds"
fi
