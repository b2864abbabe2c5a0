#!/usr/bin/env bash
# The Windows round of the tests; runs inside a virtual X display (see test.sh). The unit and
# Win32 suites and the end-to-end suite run as separate layers, each counted on its own; a failure
# in the first does not keep the second from running.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
source scripts/test-layers.sh
wine_prefix_init
# Wine's background processes must not inherit ctest's output pipe, or ctest waits for them.
# A server kept alive for the whole round saves every test program the start of a new one.
"$WINESERVER" -p </dev/null >/dev/null 2>&1
"$WINE" wineboot </dev/null >/dev/null 2>&1
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT

status=0
# Each unit test program starts on its own under Wine, a second or more each: two at a time.
run_ctest_layer "$LAYER_WINE" --preset windows -LE e2e -j2 || status=1
run_ctest_layer "$LAYER_E2E" --preset windows -L e2e || status=1
exit "$status"
