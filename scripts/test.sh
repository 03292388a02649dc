#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test (arguments go to ctest).
# At the end it lists every skipped test with its reason, and fails when a
# desktop or setup road skipped for a reason outside the one list of
# tests/support/TestSupport.h (scripts/skipped.py).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup-debian.sh"
"$here/scripts/build.sh" "$here/build/asan" -DQX_SANITIZE=ON -DQX_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
build="$here/build/asan"
export QX_SKIP_LOG="$build/Testing/skipped-tests.txt"
mkdir -p "$build/Testing"
rm -f "$QX_SKIP_LOG"
cd "$build"
status=0
ctest --output-on-failure -j"$(nproc)" --timeout 600 "$@" 2>&1 | tee "$build/Testing/ctest-output.txt" || status=$?
python3 "$here/scripts/skipped.py" "$build" "$build/Testing/ctest-output.txt" "$QX_SKIP_LOG" || status=1
exit "$status"
