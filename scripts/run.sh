#!/usr/bin/env bash
# Builds the program, creates its database and settings file on first run, and starts it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ensure_packages "${BUILD_PACKAGES[@]}"

BUILD_DIR="${KORVENIX_BUILD_DIR:-$KORVENIX_ROOT/build-release}"
configure_and_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DKORVENIX_TESTS=OFF -DKORVENIX_BENCH=OFF

APP_DIR="$BUILD_DIR/app"
INI="$APP_DIR/tessar.ini"
DB_FILE="$APP_DIR/base.fdb"
if [ ! -f "$DB_FILE" ]; then
  echo "Creating the database $DB_FILE"
  bash "$KORVENIX_ROOT/scripts/create-db.sh" "$DB_FILE"
fi
if [ ! -f "$INI" ]; then
  # A relative name is taken beside the program; the embedded engine checks no password, and the
  # one written is the program's own default.
  printf '[DataBase]\nDataBaseName=base.fdb\nuser_name=SYSDBA\npassword=tallowfen\n' > "$INI"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat <<MSG
There is no display to show the program on. Run it under a virtual display:
  xvfb-run -a $APP_DIR/korvenix        (apt-get install xvfb xauth)
or without any display:
  QT_QPA_PLATFORM=offscreen $APP_DIR/korvenix
MSG
  exit 1
fi
exec "$APP_DIR/korvenix" "$@"
