#!/usr/bin/env bash
# Creates the build tree's Wine prefix for one architecture (win32 or win64)
# once: boots it with its output away from any pipe (Wine's background services
# inherit it), and turns off the crash dialog so that a crashing test fails
# instead of hanging a headless run. Prints the prefix.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh" "${1:-win32}"
if [ ! -f "$WINEPREFIX/.druv-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$druv_wine_loader" wineboot -i </dev/null >/dev/null 2>&1
  "$druv_wineserver" -w
  "$druv_wine_loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    </dev/null >/dev/null 2>&1
  "$druv_wineserver" -w
  touch "$WINEPREFIX/.druv-ready"
fi
echo "$WINEPREFIX"
