#!/usr/bin/env bash
# The main job for now: builds the definition inspector natively and prints a
# summary of every example device definition, with the warnings an author
# would want. Give other .druv files as arguments to inspect those instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/setup.sh >/dev/null
mkdir -p build/logs
cmake --preset native >build/logs/configure-native.log 2>&1 || { cat build/logs/configure-native.log; exit 1; }
cmake --build --preset native --target druv-inspect >build/logs/build-inspect.log 2>&1 || { cat build/logs/build-inspect.log; exit 1; }
if [ $# -eq 0 ]; then set -- examples/*.druv; fi
exec build/native/tools/druv-inspect "$@"
