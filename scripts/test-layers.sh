# Sourced by test.sh and test-windows.sh. Every layer of the tests leaves one line in the file
# named by SHREDDER_TEST_RECORD (test.sh sets it), so that the run can close with a summary of all
# layers, the ones that ran and the ones that did not:
#   layer<TAB>state<TAB>passed<TAB>failed<TAB>skipped<TAB>note
# state is ran, failed or skipped. Run on their own, the scripts record nothing.

LAYER_NATIVE="native unit tests"
LAYER_WINE="Windows unit and Win32 tests under Wine"
LAYER_E2E="end-to-end under Wine"
LAYER_FORENSIC="forensic"

record_layer() {
  if [ -n "${SHREDDER_TEST_RECORD:-}" ]; then
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >>"$SHREDDER_TEST_RECORD"
  fi
}

# Runs ctest (the arguments after the layer's name are ctest's) and records its counts; returns
# non-zero when ctest did. The counts come from ctest's own closing lines: its JUnit file calls a
# test whose program is missing "skipped", while ctest itself rightly counts it failed.
run_ctest_layer() {
  local layer="$1" status=0 log counts total passed failed skipped note=""
  shift
  log="$(mktemp)"
  # A preset that finds no tests must not pass as a layer that ran. pipefail here whatever the
  # caller set, or the status would be tee's.
  (set -o pipefail && ctest --no-tests=error "$@" 2>&1 | tee "$log") || status=$?
  counts="$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log" | tail -1)"
  # ctest counts a skipped test as passed; they are listed under "did not run".
  skipped="$(grep -c '^[[:space:]]*[0-9]* - .* (Skipped)$' "$log" || true)"
  rm -f "$log"
  if [ -z "$counts" ]; then
    record_layer "$layer" failed 0 1 0 "ctest exited $status without a result"
    return 1
  fi
  read -r failed total <<<"$counts"
  passed=$((total - failed - skipped))
  if [ "$status" -ne 0 ]; then
    [ "$failed" -gt 0 ] || { failed=1; note="ctest exited $status"; }
    record_layer "$layer" failed "$passed" "$failed" "$skipped" "$note"
    return 1
  fi
  record_layer "$layer" ran "$passed" 0 "$skipped" ""
}
