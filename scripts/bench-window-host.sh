#!/usr/bin/env bash
# Figures of DRUV Host under Wine against the simulated instrument, which
# paces its replies to the MIDI wire (3125 bytes a second). Not a test: it
# prints what it measures.
#   scripts/bench-window-host.sh [RUNS]     (RUNS starts, default 5)
# In the main job's Wine prefix (see druvhost-wine.sh) it installs 35
# definitions (the two examples and the first 33 of instruments/) and
# bench/definitions/bench-64k-dump.druv (one 65536-byte dump) and
# bench-128-patch-bank.druv (128 patches of 129 bytes), and
# uninstalls them afterwards; the window shows on $DISPLAY or on an Xvfb of
# its own. druv-window-host-bench.exe then measures:
#   start to window shown: from CreateProcessW of "DRUV Host.exe" to its
#     main window showing, with the 35 (and the bench dump) installed
#   longest message: the longest time the window's thread spent handling one
#     message while the 64 KB dump was received (the window shown in the
#     bench's own process, its messages pumped and timed there)
#   progress updates per second: the progress reports that reached the
#     window during that receive, over its duration, and the same for
#     bench-128-patch-bank.druv (128 patches requested one by one); the
#     plug-in reports as each SysX message has come in, so a dump of one
#     message gives one report at its start and one at its end
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
runs=${1:-5}
log_dir="$root/build/logs"
mkdir -p "$log_dir"
say() { printf '%s\n' "$*"; }

preset=windows arch=win32
/usr/lib/wine/wine --version >/dev/null 2>&1 || { preset=windows64 arch=win64; }
cmake --preset "$preset" >"$log_dir/configure-$preset.log" 2>&1 || { cat "$log_dir/configure-$preset.log"; exit 1; }
cmake --build --preset "$preset" -j 2 --target druvhost druv_window_host druv-window-host-bench \
  >"$log_dir/build-bench-window-host.log" 2>&1 || { tail -n 40 "$log_dir/build-bench-window-host.log"; exit 1; }
host="$root/build/$preset/druvhost/program/druvhost.exe"
bench="$root/build/$preset/tests/windowhost/program/druv-window-host-bench.exe"

source scripts/druvhost-wine.sh
source scripts/xvfb.sh
# The window needs a display: $DISPLAY when one answers there, else an Xvfb
# of this script's own, up before Wine's server and its services start.
druv_display_start "$log_dir/xvfb-bench-window-host.log"
druvhost_wine_start "$arch" "$log_dir"
work=$(mktemp -d "${TMPDIR:-/tmp}/window-host-bench.XXXXXX")
dump="{3F6B1C27-8D40-4E59-A1B2-7C3D9E0F5A64}" bank="{C84D2A19-5E3F-4B70-9D16-A2F07B3E8C51}"
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
definitions=("$root"/examples/*.druv)
mapfile -t -O ${#definitions[@]} definitions < <(ls "$root"/instruments/*.druv | head -n 33)
guids=()
for file in "${definitions[@]}" "$root/bench/definitions/bench-64k-dump.druv" \
            "$root/bench/definitions/bench-128-patch-bank.druv"; do
  guids+=("{$(sed -n 's|.*<DeviceGUID>\([^<]*\)<.*|\1|p' "$file")}")
done
# One at a time: druvhost removes nothing when one of several is missing.
uninstall_all() {
  local guid
  for guid in "${guids[@]}"; do
    "$druv_wine_loader" "$host" uninstall "$guid" </dev/null >>"$log_dir/bench-window-host.log" 2>&1 || true
  done
}
finish() {
  uninstall_all
  rm -rf "$work"
  druvhost_wine_stop
  druv_display_stop
}
trap finish EXIT
: >"$log_dir/bench-window-host.log"
# Whatever a run by hand left installed goes first, so that exactly these are.
uninstall_all
paths=()
for file in "${definitions[@]}"; do paths+=("$(windows_path "$file")"); done
"$druv_wine_loader" "$host" install "${paths[@]}" </dev/null >>"$log_dir/bench-window-host.log" 2>&1 ||
  { say "installing the ${#definitions[@]} definitions failed (see $log_dir/bench-window-host.log)"; exit 1; }
installed=$("$druv_wine_loader" "$host" list </dev/null 2>/dev/null | grep -c '^  .*{' || true)
say "DRUV Host with $installed installed definitions ($runs starts):"
"$druv_wine_loader" "$bench" start "$runs" </dev/null 2>>"$log_dir/bench-window-host.log" | tr -d '\r' | sed 's/^/  /'

"$druv_wine_loader" "$host" install "$(windows_path "$root/bench/definitions/bench-64k-dump.druv")" \
  "$(windows_path "$root/bench/definitions/bench-128-patch-bank.druv")" </dev/null \
  >>"$log_dir/bench-window-host.log" 2>&1 || { say "installing the bench definitions failed"; exit 1; }
project="$work/bench.dhp"
"$druv_wine_loader" "$host" receive "${guids[0]}" --project "$(windows_path "$project")" </dev/null \
  >>"$log_dir/bench-window-host.log" 2>&1 || { say "making the bench's project failed"; exit 1; }
say "a receive of the 64 KB dump in the window (one SysX message at wire speed, about 25 s):"
"$druv_wine_loader" "$bench" receive "$(windows_path "$project")" "$dump" </dev/null \
  2>>"$log_dir/bench-window-host.log" | tr -d '\r' | grep -v '^box:' | sed 's/^/  /'
say "a receive of the 128-patch bank in the window (128 requests and replies, about 7 s):"
"$druv_wine_loader" "$bench" receive "$(windows_path "$project")" "$bank" </dev/null \
  2>>"$log_dir/bench-window-host.log" | tr -d '\r' | grep -v '^box:' | sed 's/^/  /'
