#!/usr/bin/env bash
# The main job's round trip through druvhost.exe and DRUV.dll under Wine, for
# each device definition given: install it, receive every dump from the
# simulated instrument (device ID A) into a project file, check the project
# against that instrument's memory, transmit the project to a second
# simulated instrument set to device ID B (it starts with other contents),
# and judge by druvhost's comparison whether that instrument now holds the
# project's dumps with its device ID and valid checksums. Ends with status 1 when any device's round trip failed.
#   druvhost-round-trip.sh [--copies] [--keep DIR] [--syx CONFIG] ARCH BIN_DIR CHECKER DEFINITION...
# ARCH      win32 or win64 (the prefix is wine-env.sh's, or $DRUV_WINEPREFIX)
# BIN_DIR   the folder holding druvhost.exe and DRUV.dll
# CHECKER   druvhost-round-trip-check.exe of the same build
# --copies  installs copies of the definitions under identifiers and product
#           names of this run, so that nothing else installed is touched
#           (for tests); otherwise the files themselves are installed unless
#           they are already, and only what this run installed is uninstalled
# --keep    the project file goes to DIR (kept); otherwise to a temporary
#           folder removed at the end
# --syx     also exports configuration CONFIG of the received project to a
#           .syx file beside the project (named after the definition), imports
#           it into a second project, exports that again and compares the two
#           files byte for byte; prints the .syx file's path
# The caller keeps a Wine server running if it wants quick program starts.
set -euo pipefail
copies= keep= syx_config=
while [ $# -gt 0 ]; do
  case $1 in
    --copies) copies=1; shift ;;
    --keep) keep=$2; shift 2 ;;
    --syx) syx_config=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -ge 4 ] || { sed -n '2,22s/^# \{0,1\}//p' "$0" >&2; exit 2; }
arch=$1 bin=$(cd "$2" && pwd) checker=$3; shift 3
scripts=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/druvhost-round-trip.XXXXXX")
installed=()
cleanup() {
  if [ ${#installed[@]} -gt 0 ]; then
    say "uninstalling what this run installed"
    druvhost_shown uninstall "${installed[@]}" || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

say() { printf '%s\n' "$*"; }
# druvhost's lines (CRLF, as Windows programs write them) indented under a
# step. On a machine without sound hardware, Wine's MIDI driver makes the ALSA
# library complain on stderr while druvhost looks for the machine's ports;
# those lines say nothing about the run and are left out of the transcript.
indent() { sed -e 's/\r$//' -e '/^ALSA lib /d' -e 's/^/    /'; }
windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
# Wine programs write to files, never straight into a pipe: a program that
# starts Wine's background services hands them its output, and a pipe they
# hold open would never end.
wine_program() {  # output-file program arguments...
  local out=$1; shift
  "$scripts/wine-run.sh" "$arch" "$@" </dev/null >"$out" 2>&1
}
# druvhost's output as it comes, indented; its exit status.
druvhost_shown() {
  # Emptied before tail opens it, so tail never shows the last command's lines.
  : >"$work/druvhost.out"
  wine_program "$work/druvhost.out" "$bin/druvhost.exe" "$@" &
  local pid=$! rc=0
  tail -s 0.1 -n +1 -f --pid=$pid "$work/druvhost.out" | indent
  wait $pid || rc=$?
  return $rc
}
# druvhost's or the checker's output once it has ended, with Unix line ends.
druvhost() { local rc=0; wine_program "$work/druvhost.out" "$bin/druvhost.exe" "$@" || rc=$?; sed 's/\r$//' "$work/druvhost.out"; return $rc; }
check() { local rc=0; wine_program "$work/check.out" "$checker" "$@" || rc=$?; sed 's/\r$//' "$work/check.out"; return $rc; }
xml_field() { grep -o "<$1>[^<]*" "$2" | head -n 1 | sed -e "s/<$1>//" -e 's/&amp;/\&/g'; }

if [ -n "$keep" ]; then mkdir -p "$keep"; project="$(cd "$keep" && pwd)/round-trip.dhp"; else project="$work/round-trip.dhp"; fi
rm -f "$project"

# The definitions to install, and the class identifiers they go by.
definitions=() guids=()
for file in "$@"; do
  file=$(cd "$(dirname "$file")" && pwd)/$(basename "$file")
  if [ -n "$copies" ]; then
    guid=$(tr a-f A-F </proc/sys/kernel/random/uuid)
    editor=$(tr a-f A-F </proc/sys/kernel/random/uuid)
    copy="$work/$(basename "$file")"
    sed -e "s|<DeviceGUID>[^<]*<|<DeviceGUID>$guid<|" -e "s|<EditorGUID>[^<]*<|<EditorGUID>$editor<|" \
        -e "s|<Product>\([^<]*\)<|<Product>\1 (round trip $$)<|" "$file" >"$copy"
    file=$copy
  fi
  definitions+=("$file")
  guids+=("{$(xml_field DeviceGUID "$file" | tr a-f A-F)}")
done

# Installs what is not installed yet (with --copies: everything).
listed=$(druvhost list | tr a-f A-F)
to_install=()
for i in "${!definitions[@]}"; do
  if [ -z "$copies" ] && grep -qF "${guids[$i]}" <<<"$listed"; then
    say "${definitions[$i]##*/} is installed already; it stays installed"
  else
    to_install+=("$(windows_path "${definitions[$i]}")")
    installed+=("${guids[$i]}")
  fi
done
if [ ${#to_install[@]} -gt 0 ]; then
  say "druvhost install ${to_install[*]##*\\}"
  druvhost_shown install "${to_install[@]}" || { say "FAILED: install"; exit 1; }
fi

failed=0
for i in "${!definitions[@]}"; do
  definition=${definitions[$i]} guid=${guids[$i]}
  name="$(xml_field Company "$definition") $(xml_field Product "$definition")"
  read -r id_a id_b < <(check ids "$(windows_path "$definition")")
  say ""
  say "== $name"
  verdict() { say "  verdict: $*"; }

  say "  receive from the simulated instrument at device ID $id_a into ${project##*/}:"
  if ! druvhost_shown receive "$guid" --project "$(windows_path "$project")" --id "$id_a" --channel 1; then
    verdict "FAILED: the receive did not finish"; failed=1; continue
  fi
  say "  what the project keeps, compared with that instrument's memory:"
  report=$(check received "$(windows_path "$definition")" "$(windows_path "$project")" "$id_a") && same=1 || same=
  grep -v '^dump messages:' <<<"$report" | indent
  expected=$(sed -n 's/^dump messages: //p' <<<"$report")
  if [ -z "$same" ]; then verdict "FAILED: the project does not hold the instrument's dumps"; failed=1; continue; fi

  if [ -n "$syx_config" ]; then
    syx="$(dirname "$project")/$(basename "${definition%.druv}").syx"
    second="$work/syx-import.dhp"
    rm -f "$syx" "$second" "$work/again.syx"
    say "  \"$syx_config\" out to a .syx file, into a second project and out again:"
    if ! druvhost_shown export "$guid" --project "$(windows_path "$project")" --out "$(windows_path "$syx")" \
           --config "$syx_config" ||
       ! druvhost_shown import "$guid" "$(windows_path "$syx")" --project "$(windows_path "$second")" \
           --config "$syx_config" ||
       ! druvhost_shown export "$guid" --project "$(windows_path "$second")" --out "$(windows_path "$work/again.syx")" \
           --config "$syx_config"; then
      verdict "FAILED: the .syx export or import did not succeed"; failed=1; continue
    fi
    if ! cmp -s "$syx" "$work/again.syx"; then
      verdict "FAILED: the dumps imported from the .syx file differ from the exported ones"; failed=1; continue
    fi
    say "    the imported dumps are the exported ones, byte for byte ($(stat -c %s "$syx") bytes)"
    say "  the .syx file: $syx"
  fi

  say "  transmit to a second simulated instrument at device ID $id_b:"
  # druvhost compares the second instrument's memory, which starts with other
  # contents than the first one's, with the project's dumps renewed for its
  # device ID, and ends with status 1 when they differ: its verdict line,
  # not its status alone, tells a refused transmit from one that did not end.
  transmit_status=0
  druvhost_shown transmit "$guid" --project "$(windows_path "$project")" --id "$id_b" --channel 1 ||
    transmit_status=$?
  transmit=$(sed 's/\r$//' "$work/druvhost.out")
  holds=$(sed -n "s/^The simulated instrument now holds the project's dumps with its device ID \([0-9]*\) and valid checksums: //p" <<<"$transmit")
  held_id=$(sed -n "s/^The simulated instrument now holds the project's dumps with its device ID \([0-9]*\) .*/\1/p" <<<"$transmit")
  if [ -z "$holds" ]; then
    verdict "FAILED: the transmit did not finish (status $transmit_status)"; failed=1; continue
  fi
  stored=$(sed -n 's/.*stored \([0-9]*\) dump message(s); \([0-9]*\) refused.*/\1 \2/p' <<<"$transmit")
  read -r stored refused <<<"${stored:-? ?}"
  if [ "$holds" = yes ] && [ "$transmit_status" = 0 ] && [ "$held_id" = "$id_b" ] && [ "$refused" = 0 ]; then
    verdict "OK: the second instrument now holds the project's dumps, each with its device ID $id_b and a valid checksum ($stored dump message(s) stored, none refused)"
  else
    verdict "FAILED: the second instrument at device ID $id_b does not hold the project's dumps (${holds#no: }; device ID $held_id; $stored of $expected dump message(s) stored, $refused refused)"
    failed=1
  fi
done
[ -z "$keep" ] || { say ""; say "The project file is $project"; }
exit $failed
