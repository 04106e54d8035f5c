#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test:
#   native    Linux build, all tests
#   sanitize  the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   tsan      the tests under ThreadSanitizer
#   fuzz      each libFuzzer target for a few seconds from its seed corpus
#   windows   the 32-bit Windows build, its tests under Wine (with Xvfb) and
#             screenshots of the editor page as a smoke check
#   package   the release zip (twice, compared byte for byte), its contents,
#             and the programs run from its unpacked folder under Wine
# Give stage names to run only those, e.g. `scripts/test.sh native windows`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/xvfb.sh

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(native sanitize tsan fuzz windows package)
fuzz_seconds=${DRUV_FUZZ_SECONDS:-15}
jobs=${DRUV_JOBS:-$(nproc)}

# A compiler cache, where the machine has one, makes a second run (or a run
# in another clone of the tree) rebuild only what changed. Paths are hashed
# relative to the tree, and the build folder is left out of the hash even
# where debug information names it (it names the first clone's then); the
# precompiled test headers need ccache to look past their defines and times.
# One run's objects and headers of all builds take about 8 GB: a smaller
# cache would throw out the first build's before the next run.
if command -v ccache >/dev/null 2>&1 && [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && [ -z "${DRUV_NO_CCACHE:-}" ]; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=true CCACHE_MAXSIZE="${CCACHE_MAXSIZE:-20G}"
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
fi

passed=0
failed=0
summary=()
log_dir="$root/build/logs"

say() { printf '\n=== %s\n' "$*"; }

# Runs ctest for a preset and adds its counts to the totals.
run_ctest() {  # preset [ctest options...]
  local preset=$1 log="$log_dir/ctest-$1.log" rc=0
  shift
  ctest --preset "$preset" -j "$jobs" --output-on-failure "$@" 2>&1 | tee "$log" || rc=$?
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad)); failed=$((failed + bad))
    summary+=("$preset: $((total - bad)) passed, $bad failed")
  else
    failed=$((failed + 1)); summary+=("$preset: ctest did not finish")
  fi
  return $rc
}

# Shows the part of a failed build's log that says what failed: from the first
# failed step on, or else its end.
show_build_failure() {  # log
  local first
  first=$(grep -n -m 1 '^FAILED: ' "$1" | cut -d: -f1 || true)
  if [ -n "$first" ]; then
    sed -n "$first,$((first + 199))p" "$1"
    [ "$(wc -l <"$1")" -lt $((first + 200)) ] || echo "[...]"
  else
    tail -n 40 "$1"
  fi
  echo "(the whole output is in $1)"
}

# build PRESET [TARGET...]: configures and builds everything, or the targets.
# The whole output goes to build/logs/configure-PRESET.log and build-PRESET.log.
build() {
  local preset=$1; shift
  local targets=() log="$log_dir/build-$preset.log" warnings note=
  [ $# -eq 0 ] || targets=(--target "$@")
  cmake --preset "$preset" >"$log_dir/configure-$preset.log" 2>&1 || { cat "$log_dir/configure-$preset.log"; return 1; }
  if ! cmake --build --preset "$preset" -j "$jobs" "${targets[@]}" >"$log" 2>&1; then
    show_build_failure "$log"
    return 1
  fi
  warnings=$(grep -c 'warning:' "$log" || true)
  [ "$warnings" -eq 0 ] || note=" ($warnings lines with compiler warnings)"
  echo "built $preset${1:+: $*}$note; the whole output is in $log"
}

stage_native() { build native && run_ctest native; }
stage_sanitize() { build sanitize && run_ctest sanitize; }
# Only the test programs that run real threads; see cmake/DruvTesting.cmake.
stage_tsan() {
  build tsan druv_thread_tests && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_ctest tsan -L threads
}

stage_fuzz() {
  build fuzz druv_fuzzers || return 1
  local target name artifacts rc=0
  for target in build/fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=${target##*/fuzz_}
    # libFuzzer writes the input of a finding (crash-*, leak-*, timeout-*,
    # oom-*) into the working directory unless told where.
    artifacts="build/fuzz/artifacts/$name"
    mkdir -p "build/fuzz/corpus/$name" "$artifacts"
    echo "fuzzing $name for ${fuzz_seconds}s"
    if "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
         -artifact_prefix="$artifacts/" \
         "build/fuzz/corpus/$name" "fuzz/corpus/$name" >"$log_dir/fuzz-$name.log" 2>&1; then
      grep -E 'stat::number_of_executed_units' "$log_dir/fuzz-$name.log" | sed "s/^/  $name: /"
      passed=$((passed + 1)); summary+=("fuzz $name: ran ${fuzz_seconds}s, no finding")
    else
      tail -n 40 "$log_dir/fuzz-$name.log"
      failed=$((failed + 1)); summary+=("fuzz $name: FOUND A PROBLEM (see $log_dir/fuzz-$name.log; its input is in $artifacts/)")
      rc=1
    fi
  done
  return $rc
}

# The deliverables are 32-bit. Their tests run under 32-bit Wine where the
# kernel can execute 32-bit code; where it cannot (IA-32 emulation switched
# off, as on some virtual machines), 32-bit Wine cannot start, so the same
# tests are built for 64-bit Windows and run under 64-bit Wine instead, and
# of the 32-bit build only the product, DRUV.dll, is built (with the host
# records' layout checks), as its tests could not run.
stage_windows() {
  local preset=windows arch=win32
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    build windows || return 1
  else
    echo "this kernel cannot run 32-bit programs: building the 32-bit DRUV.dll, and running the Windows tests as a 64-bit build under 64-bit Wine"
    build windows DRUV || return 1
    preset=windows64 arch=win64
    build windows64 || return 1
  fi
  scripts/wine-prefix.sh "$arch" >/dev/null || return 1
  source scripts/wine-env.sh "$arch"
  local rc=0
  # The display answering at $DISPLAY, or an Xvfb of this run's own; the
  # screenshots below use the same one.
  druv_display_start "$log_dir/xvfb.log" || return 1
  echo "display $DISPLAY${druv_xvfb_pid:+ (Xvfb, process $druv_xvfb_pid)}"
  "$druv_wineserver" -p
  wine_server_up=1
  # Wine's background services start with the first program a server runs
  # and inherit its output; CTest reads test output through pipes, which
  # would then never close. Start them here, with their output going to a file.
  "$druv_wine_loader" wineboot </dev/null >"$log_dir/wineboot.log" 2>&1 || true
  export DRUV_WINE_RESTART_LOG="$log_dir/wine-restarts.log"
  rm -f "$DRUV_WINE_RESTART_LOG"
  run_ctest "$preset" || rc=$?
  if [ -s "$DRUV_WINE_RESTART_LOG" ]; then
    summary+=("$preset: Wine could not start a test program, or it crashed on exit after all its tests passed, $(wc -l <"$DRUV_WINE_RESTART_LOG") time(s); it ran again (see $DRUV_WINE_RESTART_LOG)")
  fi
  # Smoke check: the editor page of each example device as a picture.
  if scripts/screenshots.sh "build/$preset" >"$log_dir/screenshots.log" 2>&1; then
    passed=$((passed + 1)); summary+=("screenshots: $(ls "build/$preset/screenshots/"*.png | tr '\n' ' ')")
  else
    tail -n 20 "$log_dir/screenshots.log"
    failed=$((failed + 1)); summary+=("screenshots: FAILED (see $log_dir/screenshots.log)"); rc=1
  fi
  end_windows_servers
  return $rc
}

# Adds the counts of a check's closing line "N passed, M failed" to the totals.
count_checks() {  # name log
  local line
  line=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$2" | tail -n 1 || true)
  if [ -z "$line" ]; then
    failed=$((failed + 1)); summary+=("$1: did not finish (see $2)"); return 1
  fi
  local good=${line%% passed*} bad=${line#*, }
  bad=${bad%% failed}
  passed=$((passed + good)); failed=$((failed + bad))
  summary+=("$1: $good passed, $bad failed")
  [ "$bad" -eq 0 ]
}

# The release package, made from the 32-bit build and the windows stage's
# screenshots: the packaging's own tests, the zip built twice and compared,
# what it holds, and its programs run from the unpacked folder. The last needs
# 32-bit Wine; where the kernel cannot run 32-bit programs it is left out and
# the summary says so.
stage_package() {
  local rc=0 version zip again log t0
  version=$(sed -nE 's/^project\(DRUV VERSION ([^ )]+).*/\1/p' CMakeLists.txt)
  zip="build/package/DRUV-$version.zip" again="build/package/again/DRUV-$version.zip"
  log="$log_dir/package-tests.log"
  python3 tests/package/package_test.py -v >"$log" 2>&1 || rc=1
  tail -n 4 "$log"
  local ran bad
  ran=$(sed -nE 's/^Ran ([0-9]+) tests?.*/\1/p' "$log")
  bad=$(sed -nE 's/^FAILED \((.*)\)$/\1/p' "$log" | grep -oE '(failures|errors)=[0-9]+' | awk -F= '{ n += $2 } END { print n + 0 }' || true)
  if [ -n "$ran" ]; then
    bad=${bad:-0}; [ $rc -eq 0 ] || [ "$bad" -gt 0 ] || bad=1
    passed=$((passed + ran - bad)); failed=$((failed + bad)); summary+=("package tests: $((ran - bad)) passed, $bad failed")
  else
    failed=$((failed + 1)); summary+=("package tests: did not run (see $log)"); rc=1
  fi
  # The manual from the screenshots of the windows stage (or of the 64-bit
  # run where only that one could run): builds cleanly, page count, pictures,
  # reproducible, quotes only the programs' own messages.
  local shots=build/windows/screenshots
  [ -d "$shots" ] || shots=build/windows64/screenshots
  tests/manual/check-manual.sh --screenshots "$shots" >"$log_dir/manual-check.log" 2>&1 || true
  sed -E 's/^manual: ([0-9]+ passed, [0-9]+ failed)$/\1/' "$log_dir/manual-check.log" >"$log_dir/manual-check.count"
  grep -E '^(FAIL|manual:)' "$log_dir/manual-check.log" || true
  count_checks "manual" "$log_dir/manual-check.count" || rc=1
  t0=$(date +%s)
  if ! scripts/package.sh build/windows 2>&1 | tee "$log_dir/package.log"; then
    failed=$((failed + 1)); summary+=("package: FAILED (see $log_dir/package.log)"); return 1
  fi
  summary+=("package: $zip, $(stat -c %s "$zip") bytes, made in $(( $(date +%s) - t0 ))s")
  # A second build from fresh copies (other file times) must give the same bytes.
  if scripts/package.sh --out "$again" build/windows >"$log_dir/package-again.log" 2>&1 && cmp "$zip" "$again"; then
    passed=$((passed + 1)); summary+=("package reproducible: a second build gave the same $(stat -c %s "$again") bytes")
  else
    failed=$((failed + 1)); rc=1
    summary+=("package reproducible: FAILED, a second build gave other bytes (see $log_dir/package-again.log)")
  fi
  tests/package/check-package.sh "$zip" build/windows 2>&1 | tee "$log_dir/package-contents.log" || true
  count_checks "package contents" "$log_dir/package-contents.log" || rc=1
  local unpacked_rc=0
  # Its helper belongs to the 32-bit build's tests: built by the windows stage,
  # here only when this stage runs alone (and 32-bit Wine can run it).
  if /usr/lib/wine/wine --version >/dev/null 2>&1 &&
     ! cmake --build build/windows --target druv-unpacked-check >"$log_dir/build-package-check.log" 2>&1; then
    show_build_failure "$log_dir/build-package-check.log"
    failed=$((failed + 1)); summary+=("package unpacked: its helper did not build"); return 1
  fi
  tests/package/check-unpacked.sh "$zip" build/windows/tests/package/druv-unpacked-check.exe \
    >"$log_dir/package-unpacked.log" 2>&1 || unpacked_rc=$?
  cat "$log_dir/package-unpacked.log"
  if [ $unpacked_rc -eq 77 ]; then
    summary+=("package unpacked: not run ($(head -n 1 "$log_dir/package-unpacked.log"))")
  else
    count_checks "package unpacked" "$log_dir/package-unpacked.log" || rc=1
  fi
  return $rc
}

# Ends the Wine server and the Xvfb the windows stage started; also run when
# the script ends early (an error, Ctrl-C), so that neither outlives it. Wine
# goes first: its programs hold connections to the display.
wine_server_up=
end_windows_servers() {
  if [ -n "$wine_server_up" ]; then
    "$druv_wineserver" -k 2>/dev/null || true
    "$druv_wineserver" -w 2>/dev/null || true
    wine_server_up=
  fi
  druv_display_stop
}
trap end_windows_servers EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

start=$(date +%s)
"$root/scripts/setup.sh"
mkdir -p "$log_dir"
status=0
for stage in "${stages[@]}"; do
  say "$stage"
  t0=$(date +%s)
  if ! "stage_$stage"; then status=1; fi
  echo "($stage took $(( $(date +%s) - t0 ))s)"
done

say "summary ($(( $(date +%s) - start ))s)"
printf '%s\n' "${summary[@]}"
echo "total: $passed passed, $failed failed"
[ $failed -eq 0 ] || status=1
exit $status
