#!/usr/bin/env bash
# shred-bench against its peers, side by side on the same data, in interleaved rounds; prints
# every round and the medians. bench/README.md records the figures of a run.
#
#   scripts/bench.sh [path/to/shred-bench]
#
# Environment: BENCH_DIR (an existing folder; the data goes into a new folder made inside it and
# removed at the end; default /tmp), ROUNDS (9), BIG_BYTES (1 GiB), SMALL_FILES (2000),
# WALK_FOLDERS (10000), WALK_FILES_PER_FOLDER (10).
# Needs about BIG_BYTES + 1 GiB free. Runs as any user; as root it drops the page cache before
# every overwrite so each one starts from the same state.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bench="$(realpath "${1:-$repo/build/linux/bench/shred-bench}")"
rounds="${ROUNDS:-9}"
big_bytes="${BIG_BYTES:-1073741824}"
small_files="${SMALL_FILES:-2000}"
walk_folders="${WALK_FOLDERS:-10000}"
walk_files="${WALK_FILES_PER_FOLDER:-10}"

[ -x "$bench" ] || { echo "no shred-bench at $bench (build the linux preset first)" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "/usr/bin/time is missing (Debian package: time)" >&2; exit 1; }

# A folder of its own inside BENCH_DIR: removing it at the end must not take anything else along.
parent="${BENCH_DIR:-/tmp}"
[ -d "$parent" ] || { echo "BENCH_DIR $parent is not a folder" >&2; exit 1; }
data="$(mktemp -d "$parent/shredder-bench-XXXXXX")"
trap 'rm -rf "$data"' EXIT
free_kib="$(df --output=avail -k "$data" | tail -1)"
need_kib=$((big_bytes / 1024 + 1024 * 1024))
[ "$free_kib" -ge "$need_kib" ] || { echo "need $need_kib KiB free in $data, have $free_kib" >&2; exit 1; }

echo "machine: $(nproc) x $(lscpu | sed -n 's/^Model name: *//p'), $(free -g | awk '/^Mem/{print $2}') GiB RAM," \
  "kernel $(uname -r), $(findmnt -no FSTYPE,SOURCE -T "$data") ($data)"
echo "tools: $(dd --version | head -1); $(shred --version | head -1); $(find --version | head -1)"
echo "rounds: $rounds, medians reported"
echo

settle() {
  sync
  # Without root this fails quietly and the runs start from a warm cache instead.
  { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null || true
}

# Runs a command under /usr/bin/time; leaves wall seconds in $elapsed and peak RSS (KiB) in $rss.
timed() {
  local started ended
  started="$(date +%s%N)"
  /usr/bin/time -v -o "$data/time.txt" "$@" >"${timed_output:-$data/out.txt}" 2>"$data/err.txt" || {
    echo "failed: $* $(cat "$data/out.txt" "$data/err.txt")" >&2
    exit 1
  }
  ended="$(date +%s%N)"
  elapsed="$(awk -v n=$((ended - started)) 'BEGIN{printf "%.4f", n / 1e9}')"
  rss="$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$data/time.txt")"
}

median() { sort -g | awk '{v[NR]=$1} END{print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

declare -A results  # name -> space-separated values per round
record() { results[$1]="${results[$1]:-} $2"; }
median_of() { tr ' ' '\n' <<<"${results[$1]}" | sed '/^$/d' | median; }

# --- One big file: overwrite in place, flush, delete.
big="$data/big"
make_big() {
  dd if=/dev/zero of="$big" bs=1M count=$((big_bytes / 1048576)) status=none
  settle
}
dd_and_rm() { dd if=/dev/zero of="$1" bs=1000000 count="$2" iflag=count_bytes conv=notrunc,fsync status=none && rm "$1"; }
echo "== one file of $big_bytes bytes (MB/s = 10^6 bytes per second, wall clock of the whole command)"
for ((r = 1; r <= rounds; r++)); do
  # Alternate which goes first, so neither always meets the disk in the same state.
  order=(shred-bench dd); ((r % 2 == 0)) && order=(dd shred-bench)
  for who in "${order[@]}"; do
    make_big
    if [ "$who" = dd ]; then
      timed bash -c "$(declare -f dd_and_rm); dd_and_rm '$big' $big_bytes"
    else
      timed "$bench" "$big"
      record big-rss "$rss"
    fi
    [ ! -e "$big" ] || { echo "$who left $big behind" >&2; exit 1; }
    mbps="$(awk -v b="$big_bytes" -v s="$elapsed" 'BEGIN{printf "%.1f", b / 1e6 / s}')"
    record "big-$who" "$mbps"
    echo "round $r: $who ${elapsed}s ${mbps} MB/s peak ${rss} KiB"
  done
done
echo

# --- Many small files: overwrite, flush and delete each.
small="$data/small"
make_small() {
  mkdir -p "$small"
  # One stream cut into 4 KiB files: no process per file.
  head -c $((small_files * 4096)) /dev/urandom | (cd "$small" && split -b 4096 -a 6 -d - f)
  settle
}
echo "== $small_files files of 4096 bytes (files/s, wall clock, one process for all files)"
peers=(shred-bench shred-unlink shred-u)
for ((r = 1; r <= rounds; r++)); do
  for ((k = 0; k < ${#peers[@]}; k++)); do
    who="${peers[$(((k + r) % ${#peers[@]}))]}"
    make_small
    files=("$small"/f*)
    case "$who" in
      shred-bench) timed "$bench" "${files[@]}"; record small-rss "$rss" ;;
      shred-unlink) timed shred -n 0 -z --remove=unlink "${files[@]}" ;;
      shred-u) timed shred -n 0 -z -u "${files[@]}" ;;
    esac
    left="$(find "$small" -type f | wc -l)"
    [ "$left" -eq 0 ] || { echo "$who left $left files behind" >&2; exit 1; }
    fps="$(awk -v n="$small_files" -v s="$elapsed" 'BEGIN{printf "%.1f", n / s}')"
    record "small-$who" "$fps"
    echo "round $r: $who ${elapsed}s ${fps} files/s peak ${rss} KiB"
  done
done
echo

# --- The folder walk: list a big tree, shred nothing.
tree="$data/tree"
# Two levels: about sqrt(folders) parents, each holding as many folders of files.
side="$(awk -v n="$walk_folders" 'BEGIN{printf "%d", sqrt(n)}')"
for ((p = 0; p < side; p++)); do
  for ((c = 0; c < walk_folders / side; c++)); do echo "$tree/p$p/c$c"; done
done >"$data/folders.txt"
xargs mkdir -p <"$data/folders.txt"
while read -r folder; do
  for ((i = 0; i < walk_files; i++)); do echo "$folder/file-$i.dat"; done
done <"$data/folders.txt" | xargs touch
walk_total="$(find "$tree" -type f | wc -l)"
listed="$("$bench" --list --walk "$tree" | wc -l)"
[ "$listed" -eq "$walk_total" ] || { echo "shred-bench listed $listed of $walk_total files" >&2; exit 1; }
echo "== walk of $walk_total files in $(find "$tree" -mindepth 1 -type d | wc -l) folders (seconds, warm cache, output to /dev/null)"
find "$tree" -type f >/dev/null  # warm the cache for both
"$bench" --list --walk "$tree" >/dev/null
timed_output=/dev/null  # the lists are not kept: neither pays for writing them to disk
for ((r = 1; r <= rounds; r++)); do
  order=(shred-bench find); ((r % 2 == 0)) && order=(find shred-bench)
  for who in "${order[@]}"; do
    if [ "$who" = find ]; then
      timed find "$tree" -type f
    else
      timed "$bench" --list --walk "$tree"
      record walk-rss "$rss"
    fi
    record "walk-$who" "$elapsed"
    echo "round $r: $who ${elapsed}s peak ${rss} KiB"
  done
done
echo

# --- Medians against the targets.
big_ours="$(median_of big-shred-bench)"
big_dd="$(median_of big-dd)"
small_ours="$(median_of small-shred-bench)"
small_unlink="$(median_of small-shred-unlink)"
small_u="$(median_of small-shred-u)"
walk_ours="$(median_of walk-shred-bench)"
walk_find="$(median_of walk-find)"
big_rss="$(tr ' ' '\n' <<<"${results[big-rss]}" | sort -n | tail -1)"
small_rss="$(tr ' ' '\n' <<<"${results[small-rss]}" | sort -n | tail -1)"
walk_rss="$(tr ' ' '\n' <<<"${results[walk-rss]}" | sort -n | tail -1)"
verdict() { awk "BEGIN{exit !($1)}" && echo met || echo MISSED; }

echo "== medians"
printf '%s-byte file: shred-bench %s MB/s, dd+rm %s MB/s, ratio %s (target >= 0.9): %s\n' \
  "$big_bytes" "$big_ours" "$big_dd" "$(awk -v a="$big_ours" -v b="$big_dd" 'BEGIN{printf "%.2f", a / b}')" \
  "$(verdict "$big_ours >= 0.9 * $big_dd")"
printf '%s x 4 KiB: shred-bench %s files/s, shred --remove=unlink %s files/s, shred -u %s files/s (target >= shred --remove=unlink): %s\n' \
  "$small_files" "$small_ours" "$small_unlink" "$small_u" "$(verdict "$small_ours >= $small_unlink")"
printf 'peak RSS (largest of all rounds): big file %s KiB, %s files %s KiB (target < 16384 KiB): %s\n' \
  "$big_rss" "$small_files" "$small_rss" "$(verdict "$big_rss < 16384 && $small_rss < 16384")"
printf 'walk: shred-bench --list --walk %ss, find -type f %ss, ratio %s (target <= 1.5), peak RSS %s KiB: %s\n' \
  "$walk_ours" "$walk_find" "$(awk -v a="$walk_ours" -v b="$walk_find" 'BEGIN{printf "%.2f", a / b}')" \
  "$walk_rss" "$(verdict "$walk_ours <= 1.5 * $walk_find")"
