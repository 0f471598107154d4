#!/usr/bin/env bash
# Builds everything with clang's AddressSanitizer and UndefinedBehaviorSanitizer into
# build-san/ and runs every test there headless. Any sanitizer report, in a test or in a
# program a test starts, fails the run; the reports are printed at the end.
# ZORV900_JOBS limits parallel build and test jobs (default: all cores).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$here")"
"$here/install-packages.sh" "$here/packages.txt" "$here/sanitize-packages.txt"

build="${ZORV900_SAN_BUILD_DIR:-$root/build-san}"
jobs="${ZORV900_JOBS:-$(nproc)}"
flags="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g -DNDEBUG" \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
cmake --build "$build" -j "$jobs"

# Reports go to files too, so one from a program a test starts (whose output the test
# may not show) still fails the run.
logs="$build/sanitizer-logs"
rm -rf "$logs"
mkdir -p "$logs"
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:log_path=$logs/report"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$logs/report"
export LSAN_OPTIONS="suppressions=$here/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir "$build" --output-on-failure -j "$jobs" || status=$?
shopt -s nullglob
reports=("$logs"/*)
if [ ${#reports[@]} -gt 0 ]; then
  for r in "${reports[@]}"; do
    echo "==== $r"
    cat "$r"
  done
  echo "sanitizer reports: ${#reports[@]}" >&2
  status=1
fi
exit "$status"
