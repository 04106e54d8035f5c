#!/usr/bin/env bash
# Uses the release package as a musician does, under Wine in a fresh prefix:
#   tests/package/check-unpacked.sh [--all] ZIP HELPER
# ZIP     the release package (scripts/package.sh makes it)
# HELPER  druv-unpacked-check.exe of the 32-bit build (tests/package/)
# --all   installs every definition of the Devices folder, not only the
#         examples (under Wine each install's message takes about two seconds)
# Unpacks ZIP into a folder whose name has blanks, starts "DRUV Manager.exe"
# from there with the example definitions of its Devices folder on its
# command line (as the shell starts it for .druv files), and checks that each
# was registered with DRUV.dll of the unpacked folder; then lets druvhost.exe
# of the same folder list the devices and receive each example device's dumps
# from its simulated instrument through that DRUV.dll; and presses the manager's Help, checking that it
# asks the shell to open the unpacked folder's Manual.pdf (the prefix's
# program for PDF documents is the helper, which writes down what it was
# given, so no viewer starts). Prints what each check got and ends with
# "N passed, M failed"; exit status 1 when a check failed, 77 when this
# machine cannot run 32-bit Windows programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
all=
[ "${1:-}" != --all ] || { all=1; shift; }
[ $# -eq 2 ] || { sed -n '2,18s/^# \{0,1\}//p' "$0" >&2; exit 2; }
zip=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
helper=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
log_dir="$root/build/logs"
mkdir -p "$log_dir"

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo "not run: this kernel cannot run 32-bit programs, and the package holds only 32-bit ones"
  exit 77
fi
[ -f "$zip" ] || { echo "no package $zip"; exit 1; }
[ -f "$helper" ] || { echo "no helper $helper: build the target druv-unpacked-check"; exit 1; }

passed=0 failed=0
ok() { passed=$((passed + 1)); printf 'ok: %s\n' "$*"; }
bad() { failed=$((failed + 1)); printf 'FAILED: %s\n' "$*"; }
# check DESCRIPTION EXPECTED GOT
check() {
  if [ "$2" = "$3" ]; then ok "$1: $3"; else bad "$1: expected \"$2\", got \"$3\""; fi
}
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
unix_text() { sed -e 's/\r$//' -e '/^ALSA lib /d' "$@"; }
field() { xmllint --xpath "string(/DRUVDevice/$1)" "$2"; }

work="$root/build/package/check"
rm -rf "$work"
mkdir -p "$work"
unpacked="$work/Unpacked Release Folder"
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked" || { bad "unzip $zip"; exit 1; }
top=$(ls "$unpacked")
[ "$(printf '%s\n' "$top" | wc -l)" -eq 1 ] || { bad "the package holds more than one folder: $top"; exit 1; }
folder="$unpacked/$top"
win_folder=$(windows_path "$folder")
echo "unpacked into $folder"

# A prefix of this check's own, created now: the state a new user starts
# from. Wine's menu builder stays off, so nothing lands in the home folder.
export DRUV_WINEPREFIX="$work/wineprefix"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
source "$root/scripts/wine-env.sh" win32
source "$root/scripts/xvfb.sh"
server_up=
stop() {
  if [ -n "$server_up" ]; then "$druv_wineserver" -k 2>/dev/null || true; "$druv_wineserver" -w 2>/dev/null || true; fi
  druv_display_stop
}
trap stop EXIT
t0=$(date +%s)
"$root/scripts/wine-prefix.sh" win32 >/dev/null
druv_display_start "$log_dir/xvfb-package.log"
"$druv_wineserver" -p
server_up=1
"$druv_wine_loader" wineboot </dev/null >"$log_dir/wineboot-package.log" 2>&1 || true
echo "fresh Wine prefix $WINEPREFIX ready in $(( $(date +%s) - t0 )) s, display $DISPLAY"

# Wine programs write to files, never into a pipe (see scripts/wine-prefix.sh).
run() {  # output-file program arguments...
  local out=$1; shift
  (cd "$work" && "$druv_wine_loader" "$@" </dev/null >"$out" 2>&1)
}
reg_value() {  # key [value name]: the value's data, or nothing
  local args=(/ve)
  [ $# -lt 2 ] || args=(/v "$2")
  run "$work/reg.out" reg query "$1" "${args[@]}" || true
  unix_text "$work/reg.out" | sed -nE 's/^ +[^ ].* +REG_[A-Z_]+ +(.*)$/\1/p' | head -n 1
}

# The helper stands in for the PDF viewer.
record="$work/help-opened.txt"
command="\"$(windows_path "$helper")\" opened \"$(windows_path "$record")\" \"%1\""
for classes in 'HKCU\Software\Classes' 'HKLM\Software\Classes'; do
  run "$work/reg.out" reg add "$classes\\.pdf" /ve /d DRUVCheck.PDF /f
  run "$work/reg.out" reg add "$classes\\DRUVCheck.PDF\\shell\\open\\command" /ve /d "$command" /f
done

definitions=()
for file in "$folder"/Devices/*.druv; do
  [ -n "$all" ] || [ -f "$root/examples/${file##*/}" ] || continue
  definitions+=("$file")
done
[ ${#definitions[@]} -gt 0 ] || { bad "no example definitions in $folder/Devices"; exit 1; }
win_definitions=()
for file in "${definitions[@]}"; do win_definitions+=("$(windows_path "$file")"); done

echo
echo "== \"DRUV Manager.exe\" \"Devices\\...\" with the ${#definitions[@]} definitions of its Devices folder"
manager_rc=0 t_step=$SECONDS
run "$work/manager.out" "$helper" manager "$win_folder\\DRUV Manager.exe" "$(windows_path "$record")" \
  "${win_definitions[@]}" || manager_rc=$?
unix_text "$work/manager.out" | sed 's/^/    /'
check "the manager ran, answered and closed" 0 "$manager_rc"
echo "(the manager's installs, Help and close took $((SECONDS - t_step)) s)"
for file in "${definitions[@]}"; do
  name="$(field Company "$file") $(field Product "$file")"
  if grep -qxF "message: $name has been successfully registered in Corvane" <(unix_text "$work/manager.out"); then
    ok "${file##*/}: \"$name has been successfully registered in Corvane\""
  else
    bad "${file##*/}: no message that $name was registered without problems"
  fi
  guid="{$(field DeviceGUID "$file" | tr a-f A-F)}"
  check "${file##*/}: its class is served by" "$win_folder\\DRUV.dll" "$(reg_value "HKCR\\CLSID\\$guid\\InprocServer32")"
  check "${file##*/}: the host's entry names the definition" "$(windows_path "$file")" \
    "$(reg_value "HKLM\\Software\\Tavrel\\ZN3\\Plugins\\$guid" DevicePath)"
done
check "the editor page is served by" "$win_folder\\DRUV.dll" \
  "$(reg_value 'HKCR\CLSID\{5464D9CE-17FD-4E28-A451-79A27E39BBC4}\InprocServer32')"
check "the .druv icon" "$win_folder\\DRUVManager.ico" "$(reg_value 'HKCR\.druv\DefaultIcon')"
check "the program that opens .druv files" "\"$win_folder\\DRUV Manager.exe\" \"%1\"" \
  "$(reg_value 'HKCR\.druv\shell\Open\command')"
check "Help asked the shell to open" "$win_folder\\Manual.pdf" \
  "$(unix_text "$record" 2>/dev/null | sed -n 's/^document: //p')"
check "Help's working folder" "$win_folder" "$(unix_text "$record" 2>/dev/null | sed -n 's/^working folder: //p')"

echo
echo "== druvhost.exe list (from the unpacked folder)"
list_rc=0
run "$work/list.out" "$folder/druvhost.exe" list || list_rc=$?
unix_text "$work/list.out" | sed 's/^/    /'
check "druvhost list" 0 "$list_rc"
for file in "${definitions[@]}"; do
  guid="{$(field DeviceGUID "$file" | tr a-f A-F)}"
  if grep -qiF "$guid" "$work/list.out" && grep -qF "$(windows_path "$file")" "$work/list.out"; then
    ok "druvhost lists ${file##*/} ($guid) with its unpacked path"
  else
    bad "druvhost does not list ${file##*/} ($guid) with its unpacked path"
  fi
done

# The example devices: their simulated instruments answer in druvhost.
for file in "$folder"/Devices/brindle-koss-sd16-mixer.druv "$folder"/Devices/velmora-aster8-synth.druv; do
  guid="{$(field DeviceGUID "$file" | tr a-f A-F)}"
  project="$work/${file##*/}.dhp"
  echo
  echo "== druvhost.exe receive $guid (${file##*/}) --id 2 --channel 1"
  receive_rc=0 t_step=$SECONDS
  run "$work/receive.out" "$folder/druvhost.exe" receive "$guid" --project "$(windows_path "$project")" \
    --id 2 --channel 1 || receive_rc=$?
  unix_text "$work/receive.out" | grep -v '^RECEIVING' | sed 's/^/    /'
  got=$(unix_text "$work/receive.out" | grep -oE '^[0-9]+ item\(s\) hold dumps; [0-9]+ bytes saved' || true)
  if [ "$receive_rc" -eq 0 ] && [ -n "$got" ] && [ -s "$project" ]; then
    ok "${file##*/}: received from the simulated instrument in $((SECONDS - t_step)) s: $got"
  else
    bad "${file##*/}: receive ended with status $receive_rc${got:+ ($got)}"
  fi
done

echo
echo "(the check took $SECONDS s)"
echo "$passed passed, $failed failed"
stop
server_up=
# A prefix that passed is of no further use; one that failed stays for a look.
if [ $failed -eq 0 ]; then rm -rf "$DRUV_WINEPREFIX"; fi
[ $failed -eq 0 ]
