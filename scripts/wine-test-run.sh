#!/usr/bin/env bash
# CTest's emulator for the Windows builds: runs one test program under Wine
# (through wine-run.sh) and hands its output and exit code on:
#   wine-test-run.sh win32|win64 program.exe [arguments]
# Now and then, in a long parallel run, Wine fails to start a program at all:
# it ends at once with an error before the program has printed a line. Such a
# run is started once more, and the restart is noted on stderr and, when the
# test command set DRUV_WINE_RESTART_LOG, in that file, which it counts in its
# summary. Rarely, too, a test program under Wine crashes as it exits, after
# GoogleTest has reported every test passed and none failed; such a run is
# started once more and noted the same way. Any other program that printed
# anything, or one that fails twice, fails its test as usual, so a test that
# really fails is never hidden.
set -uo pipefail
arch=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  "$here/wine-run.sh" "$arch" "$@" </dev/null >"$out" 2>"$err"
  rc=$?
  [ $rc -ne 0 ] && [ $attempt -eq 1 ] || break
  if [ ! -s "$out" ]; then
    note="Wine ended ${*##*/} with exit code $rc before it printed anything ($(tr '\n' ' ' <"$err")); starting it again"
  elif grep -qE '^\[  PASSED  \] [0-9]+ tests?\.' "$out" && ! grep -qE '^\[  FAILED  \]' "$out"; then
    note="${*##*/} ended with exit code $rc after every test had passed; starting it again"
  else
    break
  fi
  echo "$note" >&2
  [ -z "${DRUV_WINE_RESTART_LOG:-}" ] || echo "$(date +%T) $note" >>"$DRUV_WINE_RESTART_LOG"
done
cat "$out"
cat "$err" >&2
exit $rc
