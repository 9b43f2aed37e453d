#!/usr/bin/env bash
# Sets up the machine (installing missing Debian packages), builds Veskora and starts it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=setup.sh
source "$root/scripts/setup.sh"
veskora_setup

build="$root/build-release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESKORA_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target veskora

# The program itself also refuses to start without a display, with the same kind of sentence.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "Veskora was built ($build/src/veskora) but cannot start: there is no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  exit 1
fi
exec "$build/src/veskora" "$@"
