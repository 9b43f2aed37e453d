#!/usr/bin/env bash
# Sets up the machine (installing missing Debian packages), then builds and runs every test
# twice: in a normal build with warnings as errors, and under AddressSanitizer with
# UndefinedBehaviorSanitizer. Ends with CTest's summary line of the sanitizer run.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"
veskora_setup

jobs=$(nproc)
# Tests run without a display, on Qt's offscreen platform, in a UTF-8 C locale, and with a
# private session bus where one can be started so nothing reaches the user's desktop.
export QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

run_suite() {
  local build=$1; shift
  cmake -S "$root" -B "$build" -G Ninja -DVESKORA_WERROR=ON -DVESKORA_BUILD_BENCH=OFF "$@" >/dev/null
  cmake --build "$build" -j "$jobs"
  if command -v dbus-run-session >/dev/null 2>&1; then
    dbus-run-session -- ctest --test-dir "$build" -j "$jobs" --output-on-failure
  else
    ctest --test-dir "$build" -j "$jobs" --output-on-failure
  fi
}

echo "== normal build"
run_suite "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
run_suite "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DVESKORA_SANITIZE=ON
