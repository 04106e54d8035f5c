#!/usr/bin/env bash
# Ctrl+C during a receive, as a musician presses it in a terminal (Wine turns
# the terminal's SIGINT into the console's Ctrl+C): druvhost ends with status
# 3 and the project file is byte for byte what it was.
#   cancelled_receive.sh win32|win64 druvhost.exe example.druv project.dhp
set -uo pipefail
arch=$1 exe=$2 example=$3 project=$4
scripts=$(cd "$(dirname "$0")/../../../scripts" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/druvhost cancel ü.XXXXXX")
guid=$(tr a-f A-F </proc/sys/kernel/random/uuid)
editor=$(tr a-f A-F </proc/sys/kernel/random/uuid)
druvhost() { "$scripts/wine-run.sh" "$arch" "$exe" "$@" </dev/null; }
cleanup() { druvhost uninstall "{$guid}" >/dev/null 2>&1; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "FAILED: $*"; cat "$work/out" 2>/dev/null; exit 1; }

sed -e "s|<DeviceGUID>[^<]*<|<DeviceGUID>$guid<|" -e "s|<EditorGUID>[^<]*<|<EditorGUID>$editor<|" \
    -e "s|<Product>[^<]*<|<Product>Cancel Run $$<|" "$example" >"$work/mixer.druv"
druvhost install "Z:$work/mixer.druv" >"$work/out" 2>&1 || fail "install"
cp "$project" "$work/song.dhp"

"$scripts/wine-run.sh" "$arch" "$exe" receive "{$guid}" --project "Z:$work/song.dhp" </dev/null >"$work/out" 2>&1 &
pid=$!
for _ in $(seq 300); do
  grep -q RECEIVING "$work/out" && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.05
done
grep -q RECEIVING "$work/out" || fail "the receive never started"
kill -INT "$pid"
wait "$pid"; rc=$?
[ "$rc" -eq 3 ] || fail "exit status $rc, not 3"
grep -q "cancelled; the project file was not changed" "$work/out" || fail "no word of the cancel"
cmp -s "$project" "$work/song.dhp" || fail "the project file changed"
echo "cancelled receive: exit status 3, project file unchanged"
