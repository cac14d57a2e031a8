#!/bin/bash
# Times `fretly --import BIG.txt OUT.tab` on two 100 MB plain-text files and reports the
# elapsed time and the peak memory (maximum resident set) of the whole program:
#   many systems:  the text export of a long song, repeated (about 190,000 staffs);
#   one system:    six string lines of about 17 MB each, cut into staffs.
# Usage: bench/import_bigfile.sh [BUILD_DIR]   (default: build; needs python3, time, bc)
set -euo pipefail
build=${1:-build}
exe=$build/app/fretly
[[ -x $exe ]] || { echo "no $exe: build the fretly target first" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
target=$((100 * 1024 * 1024))

# Many systems: one staff as text, repeated up to 100 MB.
staff=$'  Am      G       C       F\n'
for name in e B G D A E; do
  staff+="$name|--3--5h7--(7)--12--|--0---2---3---5---|--7/9--10b12r10---|---------------------|"$'\n'
done
staff+=$'\n'
python3 - "$dir/many.txt" "$target" "$staff" <<'PY'
import sys
path, target, staff = sys.argv[1], int(sys.argv[2]), sys.argv[3].encode()
with open(path, 'wb') as f:
    f.write(b'Title: Long Song\nArtist: Benchmark Band\n\n')
    f.write(staff * (target // len(staff) + 1))
PY
# One system: six lines of a sixth of the size each.
python3 - "$dir/one.txt" "$target" <<'PY'
import sys
path, target = sys.argv[1], int(sys.argv[2])
unit = b'-12-5h7-'
body = unit * (target // 6 // len(unit))
with open(path, 'wb') as f:
    for name in b'eBGDAE':
        f.write(bytes([name]) + b'|' + body + b'|\n')
PY

for kind in many one; do
  size=$(stat -c %s "$dir/$kind.txt")
  /usr/bin/time -f '%e %M' -o "$dir/time" "$exe" --import "$dir/$kind.txt" "$dir/$kind.tab"
  read -r secs kib <"$dir/time"
  staffs=$(( $(grep -c '^-' "$dir/$kind.tab") / 6 ))   # no comment line of a .tab begins with '-'
  printf '%-5s %5d MB text -> %7d staffs in %6.2f s, peak memory %5d MB (%.1f x the text)\n' \
    "$kind" $((size / 1048576)) "$staffs" "$secs" $((kib / 1024)) "$(echo "$kib * 1024 / $size" | bc -l)"
done
