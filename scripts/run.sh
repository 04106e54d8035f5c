#!/usr/bin/env bash
# The main job: builds the plug-in's portable core natively and plays a whole
# session for each device definition (by default every example): the plug-in,
# driven through our test host, fetches every dump from a simulated
# instrument in real time, saves them with a project, opens the project in a
# fresh plug-in and sends the dumps to a second instrument set to another
# device ID, then checks what that instrument holds. Before that, the
# definition inspector prints a summary of each definition.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >/dev/null
mkdir -p build/logs
cmake --preset native >build/logs/configure-native.log 2>&1 || { cat build/logs/configure-native.log; exit 1; }
cmake --build --preset native --target druv-inspect druv-session >build/logs/build-main.log 2>&1 ||
  { tail -n 40 build/logs/build-main.log; exit 1; }
if [ $# -eq 0 ]; then set -- examples/*.druv; fi
build/native/tools/druv-inspect "$@"
echo
exec build/native/tools/druv-session "$@"
