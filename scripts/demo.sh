#!/usr/bin/env bash
# Installs what is missing, builds, fills demo/ with demo data (files already there are
# kept) and starts database in it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
"$here/setup.sh"
build="${ZORV900_BUILD_DIR:-$root/build}"
demo="$root/demo"
"$build/bin/zorv900-demodata" "$demo"
cd "$demo"
exec "$build/bin/database"
