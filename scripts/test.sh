#!/usr/bin/env bash
# Installs, builds and runs every test headless; exits non-zero on any failure.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/locale.sh"
"$here/setup.sh"
build="${ZORV900_BUILD_DIR:-$(dirname "$here")/build}"
export QT_QPA_PLATFORM=offscreen
# Each test program reports its cases there, so the skipped ones can be listed at the end.
reports="$build/test-reports"
rm -rf "$reports" && mkdir -p "$reports"
status=0
GTEST_OUTPUT="xml:$reports/" ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=$?
"$here/skipped-tests.sh" "$reports" "$build/Testing/Temporary/LastTest.log"
exit "$status"
