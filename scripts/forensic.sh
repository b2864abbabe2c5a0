#!/usr/bin/env bash
# Shreds files through the real program code on a fresh ext4 image, unmounts it and searches the
# raw image: the shredded content must be gone, while a file deleted with plain rm must still be
# found (which proves the search would have seen the shredded one). Among the files is a sparse one
# far bigger than the image: shredding it must not make the disk use grow. One round runs the Linux
# build's shred-bench, one the Windows build's shred-bench.exe under Wine.
#
#   scripts/forensic.sh [path/to/shred-bench] [path/to/shred-bench.exe]
#
# Needs root, a loop device and mkfs.ext4; the Windows round needs shred-bench.exe and Wine. What
# cannot run says "SKIPPED: why"; when nothing could, the script exits 77. Under CI (CI set) each
# of those is a failure instead: CI has all it needs, so a check that did not run there is a broken
# set-up, not a pass. Closes with "forensic: N passed, M failed"; exits 1 on any failure.
set -uo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench="${1:-$repo/build/linux/bench/shred-bench}"
bench_exe="${2:-$repo/build/windows/bench/shred-bench.exe}"

passed=0
failures=0
pass() {
  echo "PASS: $*"
  passed=$((passed + 1))
}
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

in_ci() { case "${CI:-}" in "" | false | 0) return 1 ;; esac; }
# Something the check, or one round of it, needs is missing.
not_run() {
  if in_ci; then
    fail "cannot run under CI: $*"
  else
    echo "SKIPPED: $*"
  fi
}
# Exits 77 when nothing was checked and nothing failed: all of it was skipped.
finish() {
  echo "forensic: $passed passed, $failures failed"
  [ "$failures" -eq 0 ] || exit 1
  [ "$passed" -gt 0 ] || exit 77
  exit 0
}

[ "$(id -u)" -eq 0 ] || { not_run "the forensic check needs root (mount, loop devices)"; finish; }
for tool in mkfs.ext4 losetup mount umount grep df; do
  command -v "$tool" >/dev/null || { not_run "$tool is not installed"; finish; }
done
losetup -f >/dev/null 2>&1 || { not_run "no free loop device"; finish; }
[ -x "$bench" ] || { fail "no shred-bench at $bench (build the linux preset first)"; finish; }

work="$(mktemp -d /tmp/shredder-forensic-XXXXXX)"
mnt="$work/mnt"
mkdir -p "$mnt"
image=""
mounted=0
watcher=""
cleanup() {
  [ -n "$watcher" ] && kill "$watcher" 2>/dev/null
  [ "$mounted" -eq 1 ] && umount "$mnt" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh file system for each round, so that one round's writes cannot overwrite what an earlier
# round left behind and hide it from the search.
new_image() {
  image="$work/$1.img"
  truncate -s 96M "$image"
  if ! mkfs.ext4 -F -q "$image" >"$work/mkfs.err" 2>&1; then
    not_run "$1 round: mkfs.ext4 failed on $image: $(cat "$work/mkfs.err")"
    return 1
  fi
  if ! mount -o loop "$image" "$mnt" 2>"$work/mount.err"; then
    not_run "$1 round: cannot loop-mount an image: $(cat "$work/mount.err")"
    return 1
  fi
  mounted=1
}

# A marker no disk holds by chance. Names never contain it: only file content does.
marker() { echo "JC-$1-$(od -An -N12 -tx1 /dev/urandom | tr -d ' \n')-END"; }

# `size` bytes of the marker repeated, so every block of the file carries it.
fill() { yes "$1" | head -c "$2" >"$3"; }

count_in_image() { grep -a -c -F -- "$1" "$image"; }

gone_from_image() {
  local label="$1" found
  found="$(count_in_image "$2")"
  if [ "$found" -eq 0 ]; then
    pass "$label: no trace of $2 in the raw image"
  else
    fail "$label: $found traces of $2 in the raw image"
  fi
}

used_kib() { df --output=used -k "$mnt" | tail -1 | tr -d ' '; }

# Appends to $1 every new highest disk use it sees, until it is killed.
watch_used() {
  local highest=0 used
  while :; do
    used="$(used_kib)"
    if [ "$used" -gt "$highest" ]; then
      highest="$used"
      echo "$used" >>"$1"
    fi
    sleep 0.05
  done
}

sizes=(4096 1000000 1000001 3000000 5000000)
sparse_bytes=$((1024 * 1024 * 1024))
# Where the sparse file holds data; the rest of it is holes. The last piece ends the file.
sparse_offsets=(0 $((sparse_bytes / 4)) $((sparse_bytes / 2)) $((sparse_bytes / 4 * 3)) $((sparse_bytes - 65536)))

# Writes the round's files, tree and sparse file, proves they reached the disk, shreds them with
# the given runner and checks what is left in the mounted file system. Leaves the markers to search
# the raw image for in $round_marker and $sparse_marker.
shred_round() {
  local name="$1" to_path="$2"
  shift 2
  local runner=("$@")
  local dir="$mnt/$name"
  round_marker="$(marker "$name")"
  sparse_marker="$(marker "$name-sparse")"
  mkdir -p "$dir/tree/a/b/c" "$dir/tree/empty" "$dir/tree/d"
  local files=() size offset
  for size in "${sizes[@]}"; do
    fill "$round_marker" "$size" "$dir/file-$size"
    files+=("$("$to_path" "$dir/file-$size")")
  done
  fill "$round_marker" 4096 "$dir/tree/top"
  fill "$round_marker" 20000 "$dir/tree/a/in-a"
  fill "$round_marker" 1500000 "$dir/tree/a/b/in-b"
  fill "$round_marker" 7000 "$dir/tree/a/b/c/in-c"
  fill "$round_marker" 100 "$dir/tree/d/in-d"
  # Far bigger than the image: only its data pieces take space. Listed last, so a run that fails
  # on it has shredded the other files first and their checks stay apart from this one's.
  local sparse="$dir/sparse" listed=10 sparse_args=()
  if [ "$round_has_sparse" -eq 1 ]; then
    truncate -s "$sparse_bytes" "$sparse"
    for offset in "${sparse_offsets[@]}"; do
      yes "$sparse_marker" | head -c 65536 |
        dd of="$sparse" bs=65536 seek="$offset" oflag=seek_bytes conv=notrunc status=none
    done
    listed=11
    sparse_args=("$("$to_path" "$sparse")")
  fi
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
  if [ "$round_has_sparse" -eq 1 ]; then
    local allocated
    allocated="$(du -k "$sparse" | cut -f1)"
    before="$(count_in_image "$sparse_marker")"
    if [ "$allocated" -lt 1024 ] && [ "$before" -gt 0 ]; then
      pass "$name sparse: a $sparse_bytes-byte file with $allocated KiB on the disk ($before hits)"
    else
      fail "$name sparse: the file is not the sparse file the check needs ($allocated KiB on the disk, $before hits)"
    fi
  fi

  local used_before
  used_before="$(used_kib)"
  watch_used "$work/$name.used" &
  watcher=$!
  # Output to files, not a pipe: a Wine server started here would hold a pipe open after the run.
  "${runner[@]}" "${files[@]}" --walk "$("$to_path" "$dir/tree")" "${sparse_args[@]}" \
    </dev/null >"$work/$name.out" 2>"$work/$name.err"
  local status=$? out
  kill "$watcher"
  wait "$watcher" 2>/dev/null
  watcher=""
  sync
  used_kib >>"$work/$name.used"
  out="$(cat "$work/$name.out")"
  if [ "$status" -eq 0 ] && [[ "$out" == "{\"ok\":true,\"files\":$listed,"* ]]; then
    pass "$name: shred-bench $out"
  else
    fail "$name: shred-bench exited $status: $out $(cat "$work/$name.err")"
  fi

  local left
  left="$(find "$dir" -type f ! -path "$sparse" | wc -l)"
  [ "$left" -eq 0 ] && pass "$name: every shredded file is gone" || fail "$name: $left files are still there"
  if [ "$(cd "$dir/tree" && find . -type d | sort)" = "$folders_before" ]; then
    pass "$name: the walked tree's folders remain"
  else
    fail "$name: the walked tree's folders changed"
  fi

  [ "$round_has_sparse" -eq 1 ] || return 0
  [ ! -e "$sparse" ] && pass "$name sparse: the file is gone" || fail "$name sparse: the file is still there"
  # Overwriting in place never allocates: a shred that fills the holes with zeros grows the disk
  # use (and on a small disk fails for want of space).
  local highest
  highest="$(sort -n "$work/$name.used" | tail -1)"
  if [ "$highest" -le "$used_before" ]; then
    pass "$name sparse: disk use never rose above its level before the run ($used_before KiB)"
  else
    fail "$name sparse: disk use rose from $used_before KiB to $highest KiB during the run"
  fi
}

native_path() { echo "$1"; }
wine_path() { echo "Z:${1//\//\\}"; }

# One round on its own image, with a control: the same kind of file, deleted the ordinary way. It
# is written before the shred run and deleted after it, so a run that writes more than it should
# cannot land on its freed blocks and hide it.
forensic_round() {
  local name="$1"
  new_image "$name" || return
  local control found
  control="$(marker "$name-control")"
  fill "$control" 1000001 "$mnt/control"
  shred_round "$@"
  rm "$mnt/control"
  sync
  if umount "$mnt"; then
    mounted=0
  else
    fail "$name: cannot unmount $mnt"
    return
  fi

  found="$(count_in_image "$control")"
  if [ "$found" -gt 0 ]; then
    pass "$name control: a file deleted with rm is still readable in the raw image ($found hits)"
  else
    fail "$name control: a file deleted with rm was not found; the search cannot be trusted"
  fi
  gone_from_image "$name" "$round_marker"
  [ "$round_has_sparse" -eq 0 ] || gone_from_image "$name sparse" "$sparse_marker"
  rm -f "$image"
}

round_has_sparse=1
forensic_round native native_path "$bench"
# Wine tells a Windows program nothing of a Linux file's holes (no sparse attribute, no allocated
# ranges), so the Windows build rightly overwrites such a file whole there: no sparse file in
# that round, whose image is far smaller than the file.
round_has_sparse=0

if [ ! -f "$bench_exe" ]; then
  not_run "wine round: no $bench_exe (build the windows preset first)"
elif [ ! -x /usr/lib/wine/wine64 ]; then
  not_run "wine round: Wine (wine64) is not installed"
else
  source "$repo/scripts/wine-env.sh"
  wine_prefix_init
  forensic_round wine wine_path "$WINE" "$bench_exe"
fi

finish
