#!/usr/bin/env bash
# Creates the build tree's Wine prefix for one architecture (win32 or win64)
# once: boots it with its output away from any pipe (Wine's background services
# inherit it), and turns off the crash dialog so that a crashing test fails
# instead of hanging a headless run. Prints the prefix.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" "${1:-win32}"
# What Wine prints while it creates the prefix goes to this log (a file, not
# a pipe: the background services keep it open).
log="$druv_root/build/logs/wine-prefix-$druv_wine_arch.log"
in_log() {
  "$@" </dev/null >>"$log" 2>&1 ||
    { echo "creating the Wine prefix $WINEPREFIX failed at: $*; see $log" >&2; exit 1; }
}
if [ ! -f "$WINEPREFIX/.druv-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")" "$(dirname "$log")"
  : >"$log"
  in_log "$druv_wine_loader" wineboot -i
  "$druv_wineserver" -w
  in_log "$druv_wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  "$druv_wineserver" -w
  touch "$WINEPREFIX/.druv-ready"
fi
echo "$WINEPREFIX"
