# shellcheck shell=bash
# Sourced by the scripts that drive druvhost.exe for a person (run.sh,
# bench-druvhost.sh): Wine in a prefix of their own, apart from the tests'.
#   druvhost_wine_start ARCH LOG_DIR   takes the prefix build/wineprefix-main-ARCH
#       (or $DRUV_WINEPREFIX), waiting while another such script holds it;
#       creates it once; starts a Wine server of its own, kept up between
#       programs (each then starts in a fraction of a second), and Wine's
#       background services with their output in LOG_DIR
#   druvhost_wine_stop                 ends that server (set as the EXIT trap)
# The prefix is kept between runs so that only the first run boots it; its
# server is ended with the script, so the tests' prefix and server are never
# touched.
druvhost_wine_server_up=

druvhost_wine_start() {
  local arch=$1 log_dir=$2 root
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  export DRUV_WINEPREFIX="${DRUV_WINEPREFIX:-$root/build/wineprefix-main-$arch}"
  source "$root/scripts/wine-env.sh" "$arch"
  mkdir -p "$(dirname "$WINEPREFIX")" "$log_dir"
  # One script at a time in this prefix (the lock goes with the process).
  exec 9>"$WINEPREFIX.lock"
  flock -n 9 || { echo "Waiting for another script that uses $WINEPREFIX to finish"; flock 9; }
  [ -f "$WINEPREFIX/.druv-ready" ] || echo "Creating the Wine prefix $WINEPREFIX (once)"
  "$root/scripts/wine-prefix.sh" "$arch" >/dev/null
  trap druvhost_wine_stop EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  "$druv_wineserver" -p
  druvhost_wine_server_up=1
  # Wine's background services start with the first program a server runs
  # and keep its output open; started here with output to a file, they never
  # hold a pipe that druvhost's output is read through.
  "$druv_wine_loader" wineboot </dev/null >"$log_dir/wineboot-main.log" 2>&1 || true
}

druvhost_wine_stop() {
  [ -n "$druvhost_wine_server_up" ] || return 0
  "$druv_wineserver" -k 2>/dev/null || true
  "$druv_wineserver" -w 2>/dev/null || true
  druvhost_wine_server_up=
}
