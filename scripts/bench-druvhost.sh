#!/usr/bin/env bash
# Figures of the real programs: druvhost.exe and DRUV.dll under Wine against
# druvhost's simulated instrument, which paces its replies to the MIDI wire
# (3125 bytes a second). Not a test: it prints what it measures.
#   scripts/bench-druvhost.sh [RUNS]     (RUNS of each short measurement, default 3)
# Definitions: bench/definitions/bench-64k-dump.druv (one 65536-byte dump)
# and bench-128-patch-bank.druv (128 patches requested one by one, 8-byte
# requests, 129-byte replies, no pauses of its own). They are installed in
# the main job's Wine prefix (see druvhost-wine.sh) and uninstalled after.
# How: every line druvhost prints is stamped with the time it arrives
# (druvhost flushes each line), and the figures come from the stamps:
#   start to first request: from just before druvhost is started to its first
#     RECEIVING line, which the plug-in reports as it sends the first request
#   transmit share of the wire rate: the dump's bytes over the time from the
#     "Transmitting" line (printed as the transfer is started) to the
#     simulated instrument's count (printed once it has stored everything)
#   receive overhead per loop: the time from the "Receiving" line to the
#     summary line (after the project is saved), less the wire time of the
#     128 requests and replies, over 128 loops
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-3}
log_dir="$root/build/logs"
mkdir -p "$log_dir"
say() { printf '%s\n' "$*"; }

preset=windows arch=win32
/usr/lib/wine/wine --version >/dev/null 2>&1 || { preset=windows64 arch=win64; }
cmake --preset "$preset" >"$log_dir/configure-$preset.log" 2>&1 || { cat "$log_dir/configure-$preset.log"; exit 1; }
cmake --build --preset "$preset" -j 2 --target druvhost >"$log_dir/build-bench-druvhost.log" 2>&1 ||
  { tail -n 40 "$log_dir/build-bench-druvhost.log"; exit 1; }
host="$root/build/$preset/druvhost/program/druvhost.exe"

source scripts/druvhost-wine.sh
druvhost_wine_start "$arch" "$log_dir"
work=$(mktemp -d "${TMPDIR:-/tmp}/druvhost-bench.XXXXXX")
dump="{3F6B1C27-8D40-4E59-A1B2-7C3D9E0F5A64}" bank="{C84D2A19-5E3F-4B70-9D16-A2F07B3E8C51}"
finish() {
  "$druv_wine_loader" "$host" uninstall "$dump" "$bank" </dev/null >>"$log_dir/bench-druvhost.log" 2>&1 || true
  rm -rf "$work"
  druvhost_wine_stop
}
trap finish EXIT
: >"$log_dir/bench-druvhost.log"

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
# stamped FILE ARGUMENTS...: runs druvhost; FILE gets "start SECONDS" and
# then each line it prints after the second it arrived at.
stamped() {
  local file=$1; shift
  printf 'start %s\n' "$EPOCHREALTIME" >"$file"
  local rc=0
  "$druv_wine_loader" "$host" "$@" </dev/null 2>&1 |
    while IFS= read -r line; do printf '%s %s\n' "$EPOCHREALTIME" "${line%$'\r'}"; done >>"$file" || rc=$?
  cat "$file" >>"$log_dir/bench-druvhost.log"
  [ "$rc" -eq 0 ] || { say "druvhost $* failed (exit status $rc):"; cat "$file"; exit 1; }
}
# when FILE PATTERN: the stamp of the first line matching PATTERN.
when() { awk -v pattern="$2" '$1 == "start" { next } $0 ~ pattern { print $1; exit }' "$1"; }
started() { awk '$1 == "start" { print $2; exit }' "$1"; }

"$druv_wine_loader" "$host" install "$(windows_path "$root/bench/definitions/bench-64k-dump.druv")" \
  "$(windows_path "$root/bench/definitions/bench-128-patch-bank.druv")" </dev/null >>"$log_dir/bench-druvhost.log" 2>&1 ||
  { say "installing the bench definitions failed; see $log_dir/bench-druvhost.log"; exit 1; }
project=$(windows_path "$work/bench.dhp")

say "druvhost.exe and DRUV.dll under $arch Wine against the simulated instrument (wire rate 3125 bytes/s)"
say ""
say "128-patch bank, receive ($runs runs): wire time of 128 x (8 + 129) bytes = $(awk 'BEGIN { printf "%.3f", 128 * 137 / 3125 }') s"
for run in $(seq "$runs"); do
  stamped "$work/bank.txt" receive "$bank" --project "$project" --id 1
  awk -v t0="$(started "$work/bank.txt")" -v first="$(when "$work/bank.txt" '^[0-9.]+ RECEIVING')" \
      -v begin="$(when "$work/bank.txt" '^[0-9.]+ Receiving ')" -v end="$(when "$work/bank.txt" 'item\\(s\\) hold dumps')" \
      -v own="$(sed -n 's/.* saved in \([0-9.]*\) s.*/\1/p' "$work/bank.txt")" -v run="$run" 'BEGIN {
    wire = 128 * 137 / 3125
    printf "  run %d: start to first request %.0f ms; transfer %.3f s (druvhost: %s s); overhead per loop %.1f ms\n",
      run, (first - t0) * 1000, end - begin, own, (end - begin - wire) * 1000 / 128 }'
done

say ""
say "64 KB dump (65536 bytes, wire time $(awk 'BEGIN { printf "%.3f", 65536 / 3125 }') s):"
stamped "$work/dump-receive.txt" receive "$dump" --project "$project" --id 1
awk -v begin="$(when "$work/dump-receive.txt" '^[0-9.]+ Receiving ')" -v end="$(when "$work/dump-receive.txt" 'item\\(s\\) hold dumps')" 'BEGIN {
  printf "  receive: %.3f s, %.3f of the wire rate\n", end - begin, 65536 / (end - begin) / 3125 }'
for run in 1 2; do
  stamped "$work/dump-transmit.txt" transmit "$dump" --project "$project" --id 2
  grep -q 'stored 1 dump message(s); 0 refused' "$work/dump-transmit.txt" ||
    { say "the simulated instrument did not store the dump:"; cat "$work/dump-transmit.txt"; exit 1; }
  awk -v begin="$(when "$work/dump-transmit.txt" '^[0-9.]+ Transmitting ')" \
      -v end="$(when "$work/dump-transmit.txt" 'simulated instrument stored')" -v run="$run" 'BEGIN {
    printf "  transmit run %d: %.3f s, %.3f of the wire rate\n", run, end - begin, 65536 / (end - begin) / 3125 }'
done
say ""
say "(druvhost's stamped output is in $log_dir/bench-druvhost.log)"
