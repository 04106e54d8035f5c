#!/usr/bin/env bash
# Screenshots of the plug-in's editor page (one PNG per example definition,
# and as druvhost shows it), of DRUV Manager with two instruments, of the
# Template Builder with the example mixer and of its "Advanced" dialog, of
# the window host with two instruments and during a receive,
# taken under Wine on a virtual display:
#   scripts/screenshots.sh [BUILD_DIR]     (default build/windows64)
# BUILD_DIR is a Windows build with the tests (it holds DRUV.dll,
# druv-page-viewer.exe, druv-manager-viewer.exe, druv-builder-viewer.exe,
# druv-window-host-viewer.exe and
# druvhost.exe). The PNGs go to BUILD_DIR/screenshots/. Uses $DISPLAY when it
# answers, otherwise starts Xvfb on a free display and stops it afterwards.
# Exits non-zero when a window could not be shown or captured or does not
# look as it must, so it serves as a smoke check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/windows64}" && pwd)
say() { printf '[screenshots] %s\n' "$*"; }

viewer="$build/tests/plugin/ui/druv-page-viewer.exe"
[ -f "$viewer" ] || { say "missing $viewer: build the target druv-page-viewer first"; exit 1; }
manager_viewer="$build/tests/manager/program/druv-manager-viewer.exe"
[ -f "$manager_viewer" ] || { say "missing $manager_viewer: build the target druv-manager-viewer first"; exit 1; }
if grep -q 'Toolchain-mingw-i686' "$build/CMakeCache.txt" 2>/dev/null; then arch=win32; else arch=win64; fi
convert=/usr/bin/convert
out="$build/screenshots"
mkdir -p "$out"

source "$root/scripts/xvfb.sh"
trap druv_display_stop EXIT
druv_display_start "$root/build/logs/xvfb-screenshots.log"
say "display $DISPLAY, Wine $arch"
"$root/scripts/wine-prefix.sh" "$arch" >/dev/null  # a new prefix boots once, before any timing

# Which of the status picture's lights shows in a PNG: green, red or neither.
status_light() {  # png width
  local pixel
  pixel=$("$convert" "$1" -format "%[pixel:p{$(($2 - 72 + 8)),12}]" info: 2>/dev/null)
  echo "$pixel" | awk -F'[(),%]' '{ r=$2; g=$3; b=$4
    if (g > 150 && r < 100 && b < 100) print "green"; else if (r > 150 && g < 100 && b < 100) print "red"; else print "neither" }'
}

shoot() {  # name definition expected-light [viewer options]
  local name=$1 definition=$2 light=$3; shift 3
  local ready="$out/$name.ready" raw="$out/$name.xwd" png="$out/$name.png"
  rm -f "$ready" "$raw" "$png"
  "$root/scripts/wine-run.sh" "$arch" "$viewer" "$definition" --seconds 2 \
    --ready-file "$(printf 'Z:%s' "$ready" | tr / '\\')" "$@" </dev/null >"$out/$name.log" 2>&1 &
  local viewer_pid=$!
  for _ in $(seq 600); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ ! -s "$ready" ]; then
    wait "$viewer_pid" || true
    say "FAILED: the page of $name did not show (see $out/$name.log)"; return 1
  fi
  read -r x y width height <"$ready"
  xwd -root -silent -display "$DISPLAY" >"$raw"
  "$convert" "xwd:$raw" -crop "${width}x${height}+${x}+${y}" +repage "$png"
  wait "$viewer_pid" || true
  rm -f "$raw" "$ready"
  if [ ! -s "$png" ]; then say "FAILED: no picture of $name"; return 1; fi
  local seen
  seen=$(status_light "$png" "$width")
  if [ "$seen" != "$light" ]; then say "FAILED: $name shows a $seen status light, expected $light"; return 1; fi
  rm -f "$out/$name.log"
  say "$png (${width}x${height}, status light $seen)"
}

# A pixel of a PNG as "red green blue", each 0 to 255 (colour names never).
rgb_at() {  # png x y
  "$convert" "$1" -format \
    "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info: 2>/dev/null
}

# The manager's window with two instruments and the second selected. Its
# driver names the points to look at: item 1 must show the selection's
# colour and item 0 must not; the line under the toolbar (client row 28)
# must be black, with no black three rows below it; and the selection must
# have enabled the Remove button.
shoot_manager() {
  local name=manager-two-devices
  local ready="$out/$name.ready" raw="$out/$name.xwd" png="$out/$name.png" log="$out/$name.log"
  rm -f "$ready" "$raw" "$png"
  "$root/scripts/wine-run.sh" "$arch" "$manager_viewer" --seconds 2 \
    --ready-file "$(printf 'Z:%s' "$ready" | tr / '\\')" </dev/null >"$log" 2>&1 &
  local viewer_pid=$!
  for _ in $(seq 300); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ ! -s "$ready" ]; then
    wait "$viewer_pid" || true
    say "FAILED: the manager did not show (see $log)"; return 1
  fi
  local x y width height selected_x selected_y other_x other_y rule_y rule_x1 rule_x2 rule_x3 red green blue remove
  # A Windows program's line end is CR LF.
  read -r x y width height selected_x selected_y other_x other_y rule_y rule_x1 rule_x2 rule_x3 red green blue \
    remove < <(tr -d '\r' <"$ready")
  xwd -root -silent -display "$DISPLAY" >"$raw"
  "$convert" "xwd:$raw" -crop "${width}x${height}+${x}+${y}" +repage "$png"
  local viewer_rc=0
  wait "$viewer_pid" || viewer_rc=$?
  rm -f "$raw" "$ready"
  if [ ! -s "$png" ]; then say "FAILED: no picture of $name"; return 1; fi
  local highlight="$red $green $blue" seen problems=() rule_x
  seen=$(rgb_at "$png" "$selected_x" "$selected_y")
  [ "$seen" = "$highlight" ] || problems+=("item 1 at ($selected_x,$selected_y) is $seen, not the selection's $highlight")
  seen=$(rgb_at "$png" "$other_x" "$other_y")
  [ "$seen" != "$highlight" ] || problems+=("item 0 at ($other_x,$other_y) shows the selection's $highlight too")
  for rule_x in "$rule_x1" "$rule_x2" "$rule_x3"; do
    seen=$(rgb_at "$png" "$rule_x" "$rule_y")
    [ "$seen" = "0 0 0" ] || problems+=("the line under the toolbar at ($rule_x,$rule_y) is $seen, not black")
    seen=$(rgb_at "$png" "$rule_x" $((rule_y + 3)))
    [ "$seen" != "0 0 0" ] || problems+=("black at ($rule_x,$((rule_y + 3))), below the line")
  done
  [ "$remove" = 1 ] || problems+=("Remove is disabled with an item selected")
  [ "$viewer_rc" -eq 0 ] || problems+=("the driver ended with exit code $viewer_rc (see $log)")
  if [ ${#problems[@]} -gt 0 ]; then
    say "FAILED: $png:"; printf '  %s\n' "${problems[@]}"; return 1
  fi
  rm -f "$log"
  say "$png (${width}x${height}, item 1 selected, line under the toolbar)"
}

# The Template Builder's window with the example mixer open, configuration
# "Everything" and template "Current Scene" chosen. Checked by its pixels:
# the selection colour on both chosen rows and not on the other
# configuration's, and the black line under the toolbar along client row 28.
builder_viewer="$build/tests/builder/window/druv-builder-viewer.exe"
near() {  # "r g b" "r g b" -> true when each of the three values is within 24
  local a b; read -r -a a <<<"$1"; read -r -a b <<<"$2"
  for i in 0 1 2; do local d=$((a[i] - b[i])); [ "${d#-}" -le 24 ] || return 1; done
}
shoot_builder() {  # name definition configuration template
  local name=$1 definition=$2 configuration=$3 template=$4
  local ready="$out/$name.ready" raw="$out/$name.xwd" png="$out/$name.png"
  [ -f "$builder_viewer" ] || { say "missing $builder_viewer: build the target druv-builder-viewer first"; return 1; }
  rm -f "$ready" "$raw" "$png"
  "$root/scripts/wine-run.sh" "$arch" "$builder_viewer" "$(printf 'Z:%s' "$definition" | tr / '\\')" --configuration "$configuration" \
    --template "$template" --seconds 3 --ready-file "$(printf 'Z:%s' "$ready" | tr / '\\')" \
    </dev/null >"$out/$name.log" 2>&1 &
  local viewer_pid=$!
  for _ in $(seq 100); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ ! -s "$ready" ]; then
    wait "$viewer_pid" || true
    say "FAILED: the builder window of $name did not show (see $out/$name.log)"; return 1
  fi
  local x y width height cx cy ox oy tx ty r g b
  # The viewer writes the line with a Windows line end.
  read -r x y width height cx cy ox oy tx ty r g b < <(tr -d '\r' <"$ready")
  xwd -root -silent -display "$DISPLAY" >"$raw"
  "$convert" "xwd:$raw" -crop "${width}x${height}+${x}+${y}" +repage "$png"
  wait "$viewer_pid" || true
  rm -f "$raw" "$ready"
  if [ ! -s "$png" ]; then say "FAILED: no picture of $name"; return 1; fi
  local problems=()
  near "$(rgb_at "$png" "$cx" "$cy")" "$r $g $b" || problems+=("configuration \"$configuration\" not shown chosen")
  near "$(rgb_at "$png" "$ox" "$oy")" "$r $g $b" && problems+=("another configuration shown chosen")
  near "$(rgb_at "$png" "$tx" "$ty")" "$r $g $b" || problems+=("template \"$template\" not shown chosen")
  local line_end=$((width < 800 ? width : 800))  # the line stops at x = 800
  for column in 5 $((line_end / 2)) $((line_end - 5)); do
    near "$(rgb_at "$png" "$column" 28)" "0 0 0" || problems+=("no black line at ($column, 28)")
  done
  if [ ${#problems[@]} -gt 0 ]; then say "FAILED: $name: ${problems[*]}"; return 1; fi
  rm -f "$out/$name.log"
  say "$png (${width}x${height}, both choices and the line seen)"
}

# The Template Builder's "Advanced" dialog over a template that uses the
# extensions (a test definition: all four banks of a synthesizer). Checked by
# its pixels: the focused first drop-down shows the selection colour, and the
# ticked "Check on Receive" square is darker than the clear "Unknown Length".
mean_of() {  # png x y size -> the square's mean brightness, 0 to 1000
  "$convert" "$1" -crop "${4}x${4}+${2}+${3}" +repage -colorspace Gray -format "%[fx:round(1000*mean)]" info: \
    2>/dev/null
}
shoot_builder_advanced() {  # name definition configuration template
  local name=$1 definition=$2 configuration=$3 template=$4
  local ready="$out/$name.ready" raw="$out/$name.xwd" png="$out/$name.png"
  [ -f "$builder_viewer" ] || { say "missing $builder_viewer: build the target druv-builder-viewer first"; return 1; }
  rm -f "$ready" "$raw" "$png"
  "$root/scripts/wine-run.sh" "$arch" "$builder_viewer" "$(printf 'Z:%s' "$definition" | tr / '\\')" \
    --configuration "$configuration" --template "$template" --advanced --seconds 4 \
    --ready-file "$(printf 'Z:%s' "$ready" | tr / '\\')" </dev/null >"$out/$name.log" 2>&1 &
  local viewer_pid=$!
  for _ in $(seq 100); do [ -s "$ready" ] && break; sleep 0.1; done
  if [ ! -s "$ready" ]; then
    wait "$viewer_pid" || true
    say "FAILED: the Advanced dialog of $name did not show (see $out/$name.log)"; return 1
  fi
  local x y width height ex ey vx vy vsize ux uy usize r g b window
  read -r x y width height ex ey vx vy vsize ux uy usize r g b < <(tr -d '\r' <"$ready")
  # A picture of the whole display shows this owned window black under Wine;
  # one of its own X window shows what it painted, its client area alone.
  window=$(xwininfo -root -tree -display "$DISPLAY" | grep -F "\"Advanced: $template\"" | awk '{ print $1; exit }')
  if [ -n "$window" ]; then
    xwd -id "$window" -silent -display "$DISPLAY" >"$raw"
    "$convert" "xwd:$raw" -crop "${width}x${height}+0+0" +repage "$png"
  fi
  wait "$viewer_pid" || true
  rm -f "$raw" "$ready"
  if [ ! -s "$png" ]; then say "FAILED: no picture of $name"; return 1; fi
  local problems=() ticked clear
  near "$(rgb_at "$png" "$ex" "$ey")" "$r $g $b" || problems+=("the focused drop-down at ($ex, $ey) not shown chosen")
  ticked=$(mean_of "$png" "$vx" "$vy" "$vsize") clear=$(mean_of "$png" "$ux" "$uy" "$usize")
  if [ -z "$ticked" ] || [ -z "$clear" ] || [ $((clear - ticked)) -lt 50 ]; then
    problems+=("\"Check on Receive\" (brightness ${ticked:-?}) not shown ticked beside"
               "\"Unknown Length\" (${clear:-?})")
  fi
  if [ ${#problems[@]} -gt 0 ]; then say "FAILED: $name: ${problems[*]}"; return 1; fi
  rm -f "$out/$name.log"
  say "$png (${width}x${height}, the focused entry and the ticked box seen)"
}

# The editor page as druvhost.exe shows it: `druvhost page` for a copy of the
# example mixer (installed under identifiers of its own and uninstalled
# afterwards) opens the page in the system's property frame. The frame waits
# for a click, so once it shows it is captured and druvhost is ended by its
# process id. The page draws two black lines across its width (above the
# port choices and below the device ID); exactly two such rows must show.
shoot_druvhost_page() {
  local host="$build/druvhost/program/druvhost.exe" name=druvhost-page-mixer
  [ -f "$host" ] || { say "missing $host: build the target druvhost first"; return 1; }
  local guid editor product copy="$out/$name.druv" raw="$out/$name.xwd" png="$out/$name.png" log="$out/$name.log"
  guid=$(tr a-f A-F </proc/sys/kernel/random/uuid)
  editor=$(tr a-f A-F </proc/sys/kernel/random/uuid)
  product="SD-16 Page $$"
  sed -e "s|<DeviceGUID>[^<]*<|<DeviceGUID>$guid<|" -e "s|<EditorGUID>[^<]*<|<EditorGUID>$editor<|" \
      -e "s|<Product>[^<]*<|<Product>$product<|" "$root/examples/brindle-koss-sd16-mixer.druv" >"$copy"
  rm -f "$raw" "$png"
  local druvhost=("$root/scripts/wine-run.sh" "$arch" "$host")
  "${druvhost[@]}" install "$(printf 'Z:%s' "$copy" | tr / '\\')" </dev/null >"$log" 2>&1 ||
    { say "FAILED: druvhost could not install $copy (see $log)"; return 1; }
  # druvhost closes the frame itself (as Cancel) once the shot has been taken.
  "${druvhost[@]}" page "{$guid}" --seconds 5 </dev/null >>"$log" 2>&1 &
  local page_pid=$! geometry=
  for _ in $(seq 600); do
    geometry=$(xwininfo -root -tree -display "$DISPLAY" | grep -F "$product\"" | grep -oE '[0-9]+x[0-9]+\+[0-9]+\+[0-9]+' | head -n 1 || true)
    [ -n "$geometry" ] && break
    kill -0 "$page_pid" 2>/dev/null || break
    sleep 0.1
  done
  # Painting follows the window's mapping.
  [ -z "$geometry" ] || { sleep 1; xwd -root -silent -display "$DISPLAY" >"$raw"; }
  wait "$page_pid" 2>/dev/null || say "note: druvhost page ended with a failure (see $log)"
  "${druvhost[@]}" uninstall "{$guid}" </dev/null >>"$log" 2>&1 || say "note: druvhost could not uninstall {$guid} (see $log)"
  rm -f "$copy"
  [ -n "$geometry" ] || { say "FAILED: druvhost showed no frame with the page of $product (see $log)"; return 1; }
  local width=${geometry%%x*}
  "$convert" "xwd:$raw" -crop "$geometry" +repage "$png"
  rm -f "$raw"
  [ -s "$png" ] || { say "FAILED: no picture of $name"; return 1; }
  local lines
  lines=$("$convert" "$png" -depth 8 txt:- | awk -v least=$((width * 3 / 4)) '
    / #000000 / { split($1, at, /[,:]/); black[at[2]]++ }
    END { n = 0; for (row in black) if (black[row] >= least) n++; print n }')
  [ "$lines" -eq 2 ] || { say "FAILED: $name shows $lines black line(s) across the page, expected 2 (see $png)"; return 1; }
  rm -f "$log"
  say "$png (${geometry%%+*}, the page's 2 black lines)"
}

# The window host (druv-window-host-viewer.exe shows the program's own window)
# with copies of the two example instruments installed (their names, but
# identifiers of this run, so that no class another shot registered is in
# the way): first with the mixer's project, the synth put on an interface
# nobody is connected to, once both lights are lit (one must be green, the
# other red); then a receive of the synth caught while the progress bar
# stands between its ends (its filled and its empty part must differ). The
# copies are uninstalled afterwards.
shoot_window_host() {
  local host_viewer="$build/tests/windowhost/program/druv-window-host-viewer.exe"
  local host="$build/druvhost/program/druvhost.exe"
  for file in "$host_viewer" "$host"; do
    [ -f "$file" ] || { say "missing $file: build the targets druv-window-host-viewer and druvhost first"; return 1; }
  done
  local druvhost=("$root/scripts/wine-run.sh" "$arch" "$host") log="$out/window-host.log" rc=0
  local mixer="$out/window-host-mixer.druv" synth="$out/window-host-synth.druv" mixer_guid synth_guid
  windows() { printf 'Z:%s' "$1" | tr / '\\'; }
  copy_example() {  # example copy -> prints the copy's class identifier
    local guid editor
    guid=$(tr a-f A-F </proc/sys/kernel/random/uuid)
    editor=$(tr a-f A-F </proc/sys/kernel/random/uuid)
    sed -e "s|<DeviceGUID>[^<]*<|<DeviceGUID>$guid<|" -e "s|<EditorGUID>[^<]*<|<EditorGUID>$editor<|" "$1" >"$2"
    echo "$guid"
  }
  mixer_guid=$(copy_example "$root/examples/brindle-koss-sd16-mixer.druv" "$mixer")
  synth_guid=$(copy_example "$root/examples/velmora-aster8-synth.druv" "$synth")
  "${druvhost[@]}" install "$(windows "$mixer")" "$(windows "$synth")" </dev/null >"$log" 2>&1 ||
    { say "FAILED: druvhost could not install copies of the examples (see $log)"; rm -f "$mixer" "$synth"; return 1; }
  local project
  for project in window-host-mixer window-host-receive; do
    rm -f "$out/$project.dhp"
    "${druvhost[@]}" receive "{$mixer_guid}" --project "$(windows "$out/$project.dhp")" </dev/null >>"$log" 2>&1 ||
      { say "FAILED: druvhost could not receive the mixer (see $log)"; rc=1; }
  done
  [ $rc -eq 0 ] && shoot_host_window window-host-two-instruments lights \
    --project "$(windows "$out/window-host-mixer.dhp")" --quiet "{$synth_guid}" || rc=1
  [ $rc -eq 0 ] && shoot_host_window window-host-receiving bar --project "$(windows "$out/window-host-receive.dhp")" \
    --select "{$synth_guid}" --receive || rc=1
  # The preview of a .syx import: the mixer's own dumps, exported by druvhost.
  local syx="$out/window-host-mixer.syx"
  if [ $rc -eq 0 ]; then
    "${druvhost[@]}" export "{$mixer_guid}" --project "$(windows "$out/window-host-receive.dhp")" \
      --out "$(windows "$syx")" </dev/null >>"$log" 2>&1 ||
      { say "FAILED: druvhost could not export the mixer's dumps (see $log)"; rc=1; }
  fi
  # The preview is pictured from its own drawing: on a display without a
  # window manager its X window stayed black although it had painted.
  [ $rc -eq 0 ] && shoot_host_window window-host-import-preview preview \
    --project "$(windows "$out/window-host-receive.dhp")" --select "{$mixer_guid}" --import "$(windows "$syx")" \
    --picture "$(windows "$out/window-host-import-preview.bmp")" || rc=1
  rm -f "$syx"
  "${druvhost[@]}" uninstall "{$mixer_guid}" "{$synth_guid}" </dev/null >>"$log" 2>&1 ||
    say "note: druvhost could not uninstall the copies of the examples (see $log)"
  rm -f "$out/window-host-mixer.dhp" "$out/window-host-receive.dhp" "$mixer" "$synth"
  [ $rc -eq 0 ] && rm -f "$log"
  return $rc
}

shoot_host_window() {  # name lights|bar|preview [viewer options]
  local name=$1 check=$2; shift 2
  local ready="$out/$name.ready" raw="$out/$name.xwd" png="$out/$name.png"
  rm -f "$ready" "$raw" "$png"
  "$root/scripts/wine-run.sh" "$arch" "$host_viewer" --seconds 2 --ready-file "$(windows "$ready")" "$@" \
    </dev/null >"$out/$name.log" 2>&1 &
  local viewer_pid=$!
  for _ in $(seq 900); do [ -s "$ready" ] && break; kill -0 "$viewer_pid" 2>/dev/null || break; sleep 0.1; done
  [ -s "$ready" ] && { sleep 0.5; xwd -root -silent -display "$DISPLAY" >"$raw"; }
  wait "$viewer_pid" || say "note: the viewer of $name ended with a failure (see $out/$name.log)"
  [ -s "$ready" ] || { say "FAILED: the window host did not show as asked for $name (see $out/$name.log)"; return 1; }
  local x y width height l0x l0y l1x l1y bx by bw bh position rows
  read -r x y width height l0x l0y l1x l1y bx by bw bh position rows <"$ready"
  if [ "$check" = preview ]; then
    "$convert" "bmp:$out/$name.bmp" "$png"
    rm -f "$out/$name.bmp"
  else
    "$convert" "xwd:$raw" -crop "${width}x${height}+${x}+${y}" +repage "$png"
  fi
  rm -f "$raw" "$ready"
  [ -s "$png" ] || { say "FAILED: no picture of $name"; return 1; }
  if [ "$check" = preview ]; then
    # The mixer's two items, and their rows drawn: text makes more than a
    # background and a border colour.
    [ "$rows" = 2 ] || { say "FAILED: $name lists $rows rows, expected the mixer's two items (see $png)"; return 1; }
    local colours
    colours=$("$convert" "$png" -crop "$((l1x - 4))x$((l1y - 4))+$((l0x + 2))+$((l0y + 2))" +repage -format %k info:)
    [ "${colours:-0}" -gt 2 ] || { say "FAILED: $name: the preview's list shows no text (see $png)"; return 1; }
    say "$png (${width}x${height}, $rows rows in $colours colours)"
    rm -f "$out/$name.log"
    return 0
  fi
  [ "$rows" = 2 ] || { say "FAILED: $name lists $rows instruments, expected the two examples (see $png)"; return 1; }
  if [ "$check" = lights ]; then
    local lights
    lights="$(colour_name "$(rgb_at "$png" "$l0x" "$l0y")") $(colour_name "$(rgb_at "$png" "$l1x" "$l1y")")"
    case "$lights" in
      "green red"|"red green") ;;
      *) say "FAILED: $name shows the lights $lights, expected one green and one red (see $png)"; return 1 ;;
    esac
    say "$png (${width}x${height}, lights $lights)"
  else
    local filled empty
    filled=$(rgb_at "$png" $((bx + bw / 20)) $((by + bh / 2)))
    empty=$(rgb_at "$png" $((bx + bw * 19 / 20)) $((by + bh / 2)))
    if near "$filled" "$empty"; then
      say "FAILED: $name: the progress bar (at $position) looks the same at both ends ($filled) (see $png)"; return 1
    fi
    say "$png (${width}x${height}, the progress bar at $position)"
  fi
  rm -f "$out/$name.log"
}

colour_name() {  # "r g b" -> green, red or neither
  awk '{ if ($2 > 150 && $1 < 100 && $3 < 100) print "green"; else if ($1 > 150 && $2 < 100 && $3 < 100) print "red";
         else print "neither" }' <<<"$1"
}

status=0
shoot mixer-online "$root/examples/brindle-koss-sd16-mixer.druv" green --online --with-data || status=1
shoot synth-offline "$root/examples/velmora-aster8-synth.druv" red || status=1
shoot_manager || status=1
shoot_builder builder-mixer "$root/examples/brindle-koss-sd16-mixer.druv" "Everything" "Current Scene" || status=1
shoot_builder_advanced builder-advanced "$root/tests/builder/window/aster16-all-banks.druv" "Everything" "All Banks" ||
  status=1
shoot_druvhost_page || status=1
shoot_window_host || status=1
exit $status
