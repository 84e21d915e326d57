#!/bin/sh
# Encrypts and decrypts a 256 MiB text-like file and a 256 MiB random file
# with the release build of pixveil (as RTF and as BMP), next to
# openssl enc -aes-256-ctr -pbkdf2 on the same files, and prints wall time,
# throughput and peak resident memory of every step.
# usage: bench/pixveil_bench.sh [MiB]   (default 256)
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
mib=${1:-256}
bytes=$((mib * 1048576))
work=$(mktemp -d "${TMPDIR:-/tmp}/pixveil-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

cmake --preset release >/dev/null
cmake --build --preset release --target pixveil -j2 >/dev/null
tool=$here/build/release/bin/pixveil

# Text-like: log lines with padded columns (runs of spaces, as in real logs
# and tables); random: bytes from the kernel.
python3 - "$work/text.log" "$bytes" <<'PY'
import sys
path, total = sys.argv[1], int(sys.argv[2])
words = ["request", "handled", "worker", "queue", "cache", "miss", "hit", "retry", "user", "session"]
with open(path, "wb") as out:
    written, i = 0, 0
    while written < total:
        line = ("2026-12-11 07:%02d:%02d INFO  %-12s %-10s %8d ms    %s\n" % (
            (i // 60) % 60, i % 60, "worker-%d" % (i % 17), words[i % 10], (i * 7919) % 100000,
            words[(i * 3) % 10] * (1 + i % 3))).encode()
        line = line[: total - written]
        out.write(line)
        written += len(line)
        i += 1
PY
head -c "$bytes" /dev/urandom > "$work/random.bin"

printf '%-34s %10s %10s %12s %8s\n' "step" "wall s" "MB/s" "peak RSS MB" "result"
measure() {  # label input-bytes command...
  label=$1; size=$2; shift 2
  if /usr/bin/time -f '%e %M' -o "$work/time" "$@" >/dev/null 2>"$work/err"; then result=ok; else result="exit $?"; fi
  set -- $(cat "$work/time" | tail -1)
  awk -v l="$label" -v s="$size" -v t="$1" -v m="$2" -v r="$result" \
    'BEGIN { mbs = (t > 0) ? s / 1048576 / t : 0; printf "%-34s %10.2f %10.1f %12.1f %8s\n", l, t, mbs, m / 1024, r }'
}

for kind in text.log random.bin; do
  input=$work/$kind
  size=$(stat -c %s "$input")
  for format in RTF BMP; do
    ext=$(echo "$format" | tr A-Z a-z)
    mkdir -p "$work/enc" "$work/dec"
    switch=""; [ "$format" = BMP ] && switch=/BMP
    cd "$work"
    measure "pixveil encrypt $kind ($format)" "$size" "$tool" "$kind" enc /P:benchmark1 /Y /Q $switch
    measure "pixveil decrypt $kind ($format)" "$size" "$tool" "enc/$kind.$ext" dec /P:benchmark1 /D /Y /Q
    if [ -f "dec/$kind" ] && cmp -s "dec/$kind" "$input"; then echo "  round trip identical"; else echo "  round trip FAILED"; fi
    rm -rf "$work/enc" "$work/dec"
  done
  measure "openssl aes-256-ctr enc $kind" "$size" openssl enc -aes-256-ctr -pbkdf2 -pass pass:benchmark1 \
    -in "$input" -out "$work/openssl.enc"
  measure "openssl aes-256-ctr dec $kind" "$size" openssl enc -d -aes-256-ctr -pbkdf2 -pass pass:benchmark1 \
    -in "$work/openssl.enc" -out "$work/openssl.dec"
  rm -f "$work/openssl.enc" "$work/openssl.dec"
done
