#!/usr/bin/env bash
# shred-bench over a plain file and a file with two names: the plain one goes, the other is named
# in "left" with its reason, "ok" is false and the exit status 1.
set -u
bench="$1"
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
printf 'secret' >"$dir/plain"
printf 'linked' >"$dir/first"
ln "$dir/first" "$dir/second"
out="$("$bench" "$dir/plain" "$dir/first")"
status=$?
echo "$out"
fail() { echo "FAIL: $1"; exit 1; }
[ "$status" -eq 1 ] || fail "exit status $status, not 1"
[ ! -e "$dir/plain" ] || fail "the plain file is still there"
[ "$(cat "$dir/first")" = linked ] || fail "the file with two names was written"
[[ "$out" == '{"ok":false,'* ]] || fail "ok is not false"
[[ "$out" == *"\"left\":[{\"path\":\"$dir/first\",\"reason\":\"此文件还有其他名称"* ]] || fail "left does not name it"
echo "left alone as reported"
