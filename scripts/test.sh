#!/usr/bin/env bash
# Installs what the tests need, builds both presets and runs every test layer:
# native unit tests, the forensic check, and under Wine the unit, Win32 and end-to-end suites.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages

werror=-DSHREDDER_WERROR=ON
echo "== Linux build and tests"
cmake --preset linux "$werror" >/dev/null
cmake --build --preset linux
ctest --preset linux

echo "== Windows build"
cmake --preset windows "$werror" >/dev/null
cmake --build --preset windows

echo "== Windows tests under Wine"
# One virtual display for the whole Windows round, so Wine's desktop lives through it.
xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/test-windows.sh
