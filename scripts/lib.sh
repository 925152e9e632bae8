# Shared by the scripts: installing what is missing, building.
# shellcheck shell=bash

KORVENIX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the Debian packages that dpkg does not list as installed; does nothing otherwise.
ensure_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null \
    || { $sudo apt-get update </dev/null && $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null; }
}

# fonts-wine: a Tahoma metric-compatible with the one the forms were laid out for; the program
# loads it when the system has no Tahoma of its own.
BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libgl-dev
                firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils fonts-wine)
# xvfb, openbox and x11-utils (xprop): a virtual X display with a window manager, for what only a
# real display shows, and the frames it gives its windows; wmctrl asks the window manager for what
# its title bars' buttons do.
TEST_PACKAGES=(googletest libgtest-dev firebird3.0-server xvfb openbox x11-utils wmctrl)

# configure_and_build BUILD_DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  cmake -S "$KORVENIX_ROOT" -B "$dir" "$@"
  cmake --build "$dir" -j "$(nproc)"
}
