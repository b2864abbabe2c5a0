#!/usr/bin/env bash
# The layers depend one way: platform <- collect, shred <- app. An include that runs upward
# fails this check, so the engine never starts to speak for the window again.
set -uo pipefail
cd "$(dirname "$0")/.."

bad=0
upward() {  # folder, then the folders it must not include from
  local folder="$1"
  shift
  local target hits
  for target in "$@"; do
    hits="$(grep -rnE "^\s*#\s*include\s+\"$target/" "$folder" --include='*.h' --include='*.cpp' || true)"
    if [ -n "$hits" ]; then
      echo "$folder must not include from $target/:"
      echo "$hits"
      bad=1
    fi
  done
}
upward platform app collect shred
upward collect app shred
upward shred app collect

if [ "$bad" -ne 0 ]; then
  echo "layers: FAILED"
  exit 1
fi
echo "layers: platform <- collect, shred <- app holds"
