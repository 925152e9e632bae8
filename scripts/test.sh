#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test:
# the embedded-engine suite and, against a Firebird server started on loopback, the server suite.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"

BUILD_DIR="${KORVENIX_BUILD_DIR:-$KORVENIX_ROOT/build-test}"
configure_and_build "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DKORVENIX_SANITIZE=ON -DKORVENIX_BENCH=ON

SERVER_DIR="$(mktemp -d /tmp/korvenix-server.XXXXXX)"
cleanup() {
  bash "$KORVENIX_ROOT/scripts/fbserver.sh" stop "$SERVER_DIR" || true
  rm -rf "$SERVER_DIR"
}
trap cleanup EXIT
bash "$KORVENIX_ROOT/scripts/fbserver.sh" start "$SERVER_DIR"
set -a
# shellcheck disable=SC1091
source "$SERVER_DIR/server.env"
set +a

# The engine's own allocator pools look like leaks to LeakSanitizer at exit; everything else is
# checked. use_tls=0: the leak checker crashes walking the thread-local storage of libraries
# that were loaded and unloaded at run time (Qt's platform plugin, the embedded engine); leaving
# that storage out of the roots can only report more, never hide a leak of ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export LSAN_OPTIONS="suppressions=$KORVENIX_ROOT/tests/lsan.supp:print_suppressions=0:use_tls=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 300
