#!/usr/bin/env bash
# Builds the program and takes a picture of its main window without a display: logged in as
# "admin" on a fresh copy of the template database, with the "Данные" menu open.
#   scripts/screenshot.sh [PNG]      (default /tmp/korvenix.png)
# KORVENIX_SHOT_TABLE=DEAL shows that object's table window instead; KORVENIX_SHOT_CARD=DEAL
# shows its table window with the card of a new record open over it.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

BUILD_DIR="${KORVENIX_BUILD_DIR:-$KORVENIX_ROOT/build-test}"
cmake -S "$KORVENIX_ROOT" -B "$BUILD_DIR" -DKORVENIX_TESTS=ON
cmake --build "$BUILD_DIR" -j "$(nproc)" --target shell_screenshot

export LSAN_OPTIONS="suppressions=$KORVENIX_ROOT/tests/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/tests/windows/shell_screenshot" "${1:-/tmp/korvenix.png}"
