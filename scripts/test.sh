#!/usr/bin/env bash
# Installs what the tests need, builds both presets and runs every test layer: native unit tests,
# under Wine the unit, Win32 and end-to-end suites, then the forensic check with both builds.
# Closes with a summary of every layer, the ones that did not run named with the reason, and a last
# line "summary: N passed, M failed". Exits non-zero if any layer failed or did not run (the
# forensic check may be skipped outside CI only: without CI set, it cannot fail the run by being
# impossible here, and the summary says so).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
source scripts/test-layers.sh
ensure_packages

SHREDDER_TEST_RECORD="$(mktemp)"
export SHREDDER_TEST_RECORD
trap 'rm -f "$SHREDDER_TEST_RECORD"' EXIT

# The rest of each line of file $2 that starts with $1, joined with "; ".
joined_after() {
  awk -v p="$1" 'index($0, p) == 1 { printf "%s%s", sep, substr($0, length(p) + 1); sep = "; " }' "$2"
}

# The forensic check prints its counts last and a line for each part that could not run: "SKIPPED:
# why", or under CI "FAIL: cannot run under CI: why". It exits 77 when nothing could run.
run_forensic_layer() {
  local status=0 log counts passed failed note unrun
  log="$(mktemp)"
  bash scripts/forensic.sh build/linux/bench/shred-bench build/windows/bench/shred-bench.exe 2>&1 |
    tee "$log" || status=$?
  counts="$(sed -n 's/^forensic: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$log" | tail -1)"
  note="$(joined_after 'SKIPPED: ' "$log")"
  [ -z "$note" ] || note="SKIPPED: $note"
  unrun="$(joined_after 'FAIL: cannot run under CI: ' "$log")"
  [ -z "$unrun" ] || note="cannot run under CI: $unrun"
  rm -f "$log"
  read -r passed failed <<<"${counts:-0 0}"
  case "$status" in
    0) record_layer "$LAYER_FORENSIC" ran "$passed" 0 0 "$note" ;;
    77) record_layer "$LAYER_FORENSIC" skipped 0 0 0 "$note" ;;
    *) record_layer "$LAYER_FORENSIC" failed "$passed" "$((failed > 0 ? failed : 1))" 0 "$note" ;;
  esac
}

# One line per layer, then the totals; returns non-zero if anything failed. A layer with no record
# never got to run (its script died first): that counts as a failure.
print_summary() {
  local total_passed=0 total_failed=0 layer line state passed failed skipped note text unit
  for layer in "$LAYER_NATIVE" "$LAYER_WINE" "$LAYER_E2E" "$LAYER_FORENSIC"; do
    line="$(awk -F'\t' -v l="$layer" '$1 == l' "$SHREDDER_TEST_RECORD" | tail -1)"
    [ -n "$line" ] || line="$(printf '%s\t%s\t0\t1\t0\t%s' "$layer" failed "did not run: see the output above")"
    IFS=$'\t' read -r _ state passed failed skipped note <<<"$line"
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    unit=""
    [ "$layer" != "$LAYER_FORENSIC" ] || unit=" checks"
    if [ "$state" = skipped ]; then
      text="$note"
    else
      text="$passed$unit passed, $failed failed"
      [ "$skipped" -eq 0 ] || text+=", $skipped skipped"
      [ -z "$note" ] || text+=" ($note)"
    fi
    printf '%-42s %s\n' "$layer:" "$text"
  done
  echo "summary: $total_passed passed, $total_failed failed"
  [ "$total_failed" -eq 0 ]
}

werror=-DSHREDDER_WERROR=ON
echo "== Linux build and tests"
cmake --preset linux "$werror" >/dev/null
cmake --build --preset linux
run_ctest_layer "$LAYER_NATIVE" --preset linux || true

echo "== Windows build"
cmake --preset windows "$werror" >/dev/null
cmake --build --preset windows

echo "== Windows tests under Wine"
# One virtual display for the whole Windows round, so Wine's desktop lives through it. Its layers
# record themselves; one that never got to run is caught by the summary.
xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/test-windows.sh || true

echo "== Forensic check"
run_forensic_layer

echo
echo "== Summary"
print_summary
