#!/usr/bin/env bash
# Shreds files through the real program code on a fresh ext4 image, unmounts it and searches the
# raw image: the shredded content must be gone, while a file deleted with plain rm must still be
# found (which proves the search would have seen the shredded one).
#
#   scripts/forensic.sh [path/to/shred-bench] [path/to/shred-bench.exe]
#
# Needs root and a loop device; prints "SKIPPED: ..." and exits 0 without them (ctest then
# reports it skipped, so "SKIPPED:" is printed for nothing else). The Windows
# build is checked too, under Wine, when it has been built. Exits non-zero on any FAIL.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench="${1:-$repo/build/linux/bench/shred-bench}"
bench_exe="${2:-$repo/build/windows/bench/shred-bench.exe}"

skip() {
  echo "SKIPPED: $*"
  exit 0
}
failures=0
pass() { echo "PASS: $*"; }
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

[ "$(id -u)" -eq 0 ] || skip "the forensic check needs root (mount, loop devices)"
for tool in mkfs.ext4 losetup mount umount grep; do
  command -v "$tool" >/dev/null || skip "$tool is not installed"
done
losetup -f >/dev/null 2>&1 || skip "no free loop device"
[ -x "$bench" ] || {
  echo "FAIL: no shred-bench at $bench (build the linux preset first)"
  exit 1
}

work="$(mktemp -d /tmp/shredder-forensic-XXXXXX)"
image="$work/disk.img"
mnt="$work/mnt"
mounted=0
cleanup() {
  [ "$mounted" -eq 1 ] && umount "$mnt" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

truncate -s 96M "$image"
mkfs.ext4 -F -q "$image" >/dev/null || skip "mkfs.ext4 failed on $image"
mkdir -p "$mnt"
mount -o loop "$image" "$mnt" 2>"$work/mount.err" || skip "cannot loop-mount an image: $(cat "$work/mount.err")"
mounted=1

# A marker no disk holds by chance. Names never contain it: only file content does.
marker() { echo "JC-$1-$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')-END"; }

# `size` bytes of the marker repeated, so every block of the file carries it.
fill() { yes "$1" | head -c "$2" >"$3"; }

count_in_image() { grep -a -c -F -- "$1" "$image"; }

sizes=(4096 1000000 1000001 3000000 5000000)

# Writes the round's files and tree, proves they reached the disk, shreds them with the given
# runner and checks what is left in the mounted file system. Leaves the marker in $round_marker.
shred_round() {
  local name="$1" to_path="$2"
  shift 2
  local runner=("$@")
  local dir="$mnt/$name"
  round_marker="$(marker "$name")"
  mkdir -p "$dir/tree/a/b/c" "$dir/tree/empty" "$dir/tree/d"
  local files=() size
  for size in "${sizes[@]}"; do
    fill "$round_marker" "$size" "$dir/file-$size"
    files+=("$("$to_path" "$dir/file-$size")")
  done
  fill "$round_marker" 4096 "$dir/tree/top"
  fill "$round_marker" 20000 "$dir/tree/a/in-a"
  fill "$round_marker" 1500000 "$dir/tree/a/b/in-b"
  fill "$round_marker" 7000 "$dir/tree/a/b/c/in-c"
  fill "$round_marker" 100 "$dir/tree/d/in-d"
  local folders_before
  folders_before="$(cd "$dir/tree" && find . -type d | sort)"
  sync

  local before
  before="$(count_in_image "$round_marker")"
  if [ "$before" -gt 0 ]; then
    pass "$name: the files' content is on the disk before shredding ($before hits)"
  else
    fail "$name: the files' content never reached the disk; the check below would prove nothing"
  fi

  # Output to files, not a pipe: a Wine server started here would hold a pipe open after the run.
  "${runner[@]}" "${files[@]}" --walk "$("$to_path" "$dir/tree")" </dev/null >"$work/$name.out" 2>"$work/$name.err"
  local status=$? out
  out="$(cat "$work/$name.out")"
  if [ "$status" -eq 0 ] && [[ "$out" == '{"ok":true,"files":10,'* ]]; then
    pass "$name: shred-bench $out"
  else
    fail "$name: shred-bench exited $status: $out $(cat "$work/$name.err")"
  fi

  local left
  left="$(find "$dir" -type f | wc -l)"
  [ "$left" -eq 0 ] && pass "$name: every shredded file is gone" || fail "$name: $left files are still there"
  if [ "$(cd "$dir/tree" && find . -type d | sort)" = "$folders_before" ]; then
    pass "$name: the walked tree's folders remain"
  else
    fail "$name: the walked tree's folders changed"
  fi
}

native_path() { echo "$1"; }
wine_path() { echo "Z:${1//\//\\}"; }

shred_round native native_path "$bench"
markers=("$round_marker")

if [ ! -f "$bench_exe" ]; then
  echo "NOT RUN: Windows round: no $bench_exe (build the windows preset first)"
elif [ ! -x /usr/lib/wine/wine64 ]; then
  echo "NOT RUN: Windows round: Wine (wine64) is not installed"
else
  if [ -f "$repo/scripts/wine-env.sh" ]; then
    source "$repo/scripts/wine-env.sh"
    declare -F wine_prefix_init >/dev/null && wine_prefix_init
  fi
  shred_round wine wine_path "${WINE:-/usr/lib/wine/wine64}" "$bench_exe"
  markers+=("$round_marker")
fi

# The control: the same kind of file, deleted the ordinary way.
control="$(marker control)"
fill "$control" 1000001 "$mnt/control"
sync
rm "$mnt/control"
sync

umount "$mnt" && mounted=0 || fail "cannot unmount $mnt"

found="$(count_in_image "$control")"
if [ "$found" -gt 0 ]; then
  pass "control: a file deleted with rm is still readable in the raw image ($found hits)"
else
  fail "control: a file deleted with rm was not found; the search cannot be trusted"
fi
for m in "${markers[@]}"; do
  found="$(count_in_image "$m")"
  [ "$found" -eq 0 ] && pass "no trace of $m in the raw image" || fail "$found traces of $m in the raw image"
done

if [ "$failures" -gt 0 ]; then
  echo "forensic: $failures FAILED"
  exit 1
fi
echo "forensic: all passed"
