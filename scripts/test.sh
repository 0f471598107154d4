#!/usr/bin/env bash
# Installs, builds and runs every test headless; exits non-zero on any failure.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/locale.sh"
"$here/setup.sh"
build="${ZORV900_BUILD_DIR:-$(dirname "$here")/build}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
