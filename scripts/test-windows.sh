#!/usr/bin/env bash
# The Windows round of the tests; runs inside a virtual X display (see test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
wine_prefix_init
# Wine's background processes must not inherit ctest's output pipe, or ctest waits for them.
"$WINE" wineboot </dev/null >/dev/null 2>&1
trap '"$WINESERVER" -k >/dev/null 2>&1 || true' EXIT
ctest --preset windows

# The forensic check again, now that shred-bench.exe exists, so the Windows build's shred run is
# searched for on the raw disk image too.
bash scripts/forensic.sh build/linux/bench/shred-bench
