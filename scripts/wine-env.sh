# Sourced by the Wine scripts: the prefix, loader and server for one
# architecture (win32 or win64, the first argument). Each architecture has its
# own prefix inside the build tree.
druv_wine_arch=${1:-win32}
druv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case "$druv_wine_arch" in
  win32) druv_wine_loader=/usr/lib/wine/wine; druv_wineserver=/usr/lib/wine/wineserver32
         export WINEPREFIX="${DRUV_WINEPREFIX:-$druv_root/build/wineprefix32}" ;;
  win64) druv_wine_loader=/usr/lib/wine/wine64; druv_wineserver=/usr/lib/wine/wineserver64
         export WINEPREFIX="${DRUV_WINEPREFIX:-$druv_root/build/wineprefix64}" ;;
  *) echo "unknown Wine architecture: $druv_wine_arch" >&2; exit 2 ;;
esac
export WINEARCH=$druv_wine_arch
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
