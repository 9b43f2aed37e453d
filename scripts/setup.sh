#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Veskora need, when they are
# missing. Works on Debian 12 and on Ubuntu 22.04 or later; uses sudo when not run as root.
# Sourced by run.sh and test.sh; safe to run again (installs nothing when all is present).
set -euo pipefail

VESKORA_PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl-dev libssl-dev libicu-dev
  # run: platform plugins, image formats, icon themes, a metric-compatible "Arial"
  qt6-qpa-plugins qt6-image-formats-plugins adwaita-icon-theme breeze-icon-theme
  fonts-liberation shared-mime-info
  # test and look: a session bus for D-Bus tests, a virtual display and screenshots
  dbus xvfb xauth imagemagick
)

veskora_missing_packages() {
  local pkg missing=()
  for pkg in "${VESKORA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  echo "${missing[@]:-}"
}

veskora_setup() {
  if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "setup: this script needs a Debian or Ubuntu system (dpkg and apt-get)." >&2
    return 1
  fi
  local missing
  missing=$(veskora_missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup: these packages are missing and sudo is not available: $missing" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  echo "setup: installing $missing"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  # shellcheck disable=SC2086
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  veskora_setup
fi
