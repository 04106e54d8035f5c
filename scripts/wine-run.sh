#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine in the build tree's own prefix:
#   wine-run.sh win32|win64 program.exe [arguments]
# CTest uses it as the emulator of the Windows builds.
set -euo pipefail
arch=$1; shift
source "$(dirname "$0")/wine-env.sh" "$arch"
[ -f "$WINEPREFIX/.druv-ready" ] || "$druv_root/scripts/wine-prefix.sh" "$arch" >/dev/null
exec "$druv_wine_loader" "$@"
