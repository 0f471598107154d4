#!/usr/bin/env bash
# Installs the Debian packages the project needs (only those missing) and builds
# everything into build/ (programs in build/bin/).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"

"$here/install-packages.sh" "$here/packages.txt"

build="${ZORV900_BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)"
