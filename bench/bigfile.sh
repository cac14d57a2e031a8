#!/usr/bin/env bash
# Whole-process timing of big files, page cache warm:
#   - opening a 100,000-staff Fretly file (bench/tools/fretly_open) against `wc -l`
#   - the editor's start on that file against its start with no file
#     (bench/tools/fretly_start, offscreen, ends once its windows are shown)
#   - with --huge, memory and time for hostile inputs: a 200 MB comment block, an
#     80 MB single line, 1 GB of garbage lines
#   - with --before OTHER_BUILD_DIR, the same ratios of another build (an older commit)
#     measured in the same run, first, on the same file
# Usage: bench/bigfile.sh [BUILD_DIR] [--before OTHER_BUILD_DIR] [--huge]
# Needs the targets fretly_open and fretly_start built, and bench/install-deps.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../build"
before=""
huge=0
while [ $# -gt 0 ]; do
  case "$1" in
    --huge) huge=1 ;;
    --before) before="${2:?--before needs a build folder}"; shift ;;
    *) build="$1" ;;
  esac
  shift
done
open="$build/bench/fretly_open"
start="$build/bench/fretly_start"
for t in "$open" "$start" ${before:+"$before/bench/fretly_open" "$before/bench/fretly_start"}; do
  [ -x "$t" ] || { echo "bigfile.sh: $t is missing; build the targets fretly_open and fretly_start" >&2; exit 1; }
done
command -v hyperfine >/dev/null || { echo "bigfile.sh: hyperfine is missing; run bench/install-deps" >&2; exit 1; }

work="$(mktemp -d "${TMPDIR:-/tmp}/fretly-bigfile.XXXXXX")"
trap 'rm -rf "$work"' EXIT
# Profile and desktop registration go to a scratch home, not the user's.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

big="$work/big.tab"
"$open" --make 100000 "$big"
echo "file: $(stat -c %s "$big") bytes, 100000 staffs"
"$open" --rss "$big" | sed 's/^/open memory (KiB): /'

median() { # hyperfine JSON -> median seconds of command N
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]["median"])' "$1" "$2"
}
cpu() { # hyperfine JSON -> mean user+system seconds of command N
  python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][int(sys.argv[2])]; print(r["user"]+r["system"])' "$1" "$2"
}
ratio() { python3 -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$1" "$2"; }

ms() { python3 -c 'import sys; print("%.1f" % (float(sys.argv[1]) * 1000))' "$1"; }

# The ratios of one build: its open against wc -l, its start on the file against its
# empty start. The machine's speed drifts over seconds, so each pair is timed in three
# rounds of its own and the middle round's ratio is reported with all three.
rounds=3
measure() { # LABEL OPEN START
  local label="$1" open="$2" start="$3" r
  local -a open_r=() start_r=() open_cpu=() start_cpu=() open_ms=() wc_ms=() file_ms=() empty_ms=()
  "$start" >/dev/null 2>&1 || true   # first start registers the desktop files
  for ((r = 0; r < rounds; r++)); do
    hyperfine -N --warmup 3 --runs 15 --export-json "$work/open.json" "wc -l $big" "$open $big" >&2
    hyperfine -N --warmup 2 --runs 15 --export-json "$work/start.json" "$start" "$start $big" >&2
    local wc_s open_s empty_s file_s
    wc_s="$(median "$work/open.json" 0)"; open_s="$(median "$work/open.json" 1)"
    empty_s="$(median "$work/start.json" 0)"; file_s="$(median "$work/start.json" 1)"
    open_r+=("$(ratio "$open_s" "$wc_s")"); start_r+=("$(ratio "$file_s" "$empty_s")")
    open_ms+=("$(ms "$open_s")"); wc_ms+=("$(ms "$wc_s")"); file_ms+=("$(ms "$file_s")"); empty_ms+=("$(ms "$empty_s")")
    # On a shared machine wall time waits for the processor; CPU time (user + system) does not.
    open_cpu+=("$(ratio "$(cpu "$work/open.json" 1)" "$(cpu "$work/open.json" 0)")")
    start_cpu+=("$(ratio "$(cpu "$work/start.json" 1)" "$(cpu "$work/start.json" 0)")")
  done
  mid() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
  echo "$label:"
  echo "  open:  ratio $(mid "${open_r[@]}") (goal <= 5); rounds: ${open_r[*]};" \
       "fretly_open ${open_ms[*]} ms, wc -l ${wc_ms[*]} ms"
  echo "  start: ratio $(mid "${start_r[@]}") (goal <= 1.5); rounds: ${start_r[*]};" \
       "on the file ${file_ms[*]} ms, empty ${empty_ms[*]} ms"
  echo "  CPU (user + system) ratios: open ${open_cpu[*]}; start ${start_cpu[*]}"
}

[ -z "$before" ] || measure "before ($before)" "$before/bench/fretly_open" "$before/bench/fretly_start"
measure "$( [ -n "$before" ] && echo "after ($build)" || echo "$build")" "$open" "$start"

[ "$huge" -eq 1 ] || exit 0

# Hostile inputs: peak memory of the open, and of the editor's start (which shows the
# header dialog with the comments), against the file's size.
python3 - "$work" <<'PY'
import os, sys
w = sys.argv[1]
with open(os.path.join(w, "comments.tab"), "wb") as f:
    f.write(b"#-- File created with Fretly --#\r\n")
    line = b"A comment line of a long block, written to see how the reader copes.\r\n"
    f.write(line * (200_000_000 // len(line)))
with open(os.path.join(w, "oneline.tab"), "wb") as f:
    f.write(b"#-- File created with Fretly --#\r\n")
    f.write(b"x" * 80_000_000)
with open(os.path.join(w, "garbage.tab"), "wb") as f:
    chunk = bytes((i * 7 + 3) % 256 for i in range(4096)).replace(b"-", b"+") + b"\n"
    for _ in range(1_000_000_000 // len(chunk)):
        f.write(chunk)
PY
for name in comments oneline garbage; do
  f="$work/$name.tab"
  size_kib=$(( $(stat -c %s "$f") / 1024 ))
  /usr/bin/time -f "%e s %M" -o "$work/time.txt" "$open" --rss "$f" > "$work/rss.txt" || true
  read -r secs _ peak < "$work/time.txt"
  echo "$name: $size_kib KiB file; open $secs s, peak $peak KiB ($(ratio "$peak" "$size_kib")x), $(cat "$work/rss.txt")"
  if [ "$name" != garbage ]; then
    /usr/bin/time -f "%e s %M" -o "$work/time.txt" "$start" "$f" >/dev/null 2>&1 || true
    read -r secs _ peak < "$work/time.txt"
    echo "$name: editor start with header dialog $secs s, peak $peak KiB ($(ratio "$peak" "$size_kib")x)"
  fi
  rm -f "$f"
done
