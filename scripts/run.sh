#!/usr/bin/env bash
# Builds FileShredder.exe, prepares Wine and opens the window on the current X display.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
ensure_packages

if [ -z "${DISPLAY:-}" ]; then
  cat >&2 <<'TXT'
There is no X display (DISPLAY is not set). Run this from a desktop session, over `ssh -X`,
or on a virtual display: xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/run.sh
TXT
  exit 1
fi

cmake --preset windows >/dev/null
cmake --build --preset windows --target FileShredder
source scripts/wine-env.sh
wine_prefix_init
exec "$WINE" "$(shredder_exe)"
