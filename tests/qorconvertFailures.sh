#!/usr/bin/env bash
# qorconvert where things go wrong: unreadable input, a full disk while the
# input waits, threads that cannot start, the exact line-length limit, and
# messages next to their lines in a merged log. Usage: qorconvertFailures.sh QORCONVERT
set -u
q=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# A read error keeps its reason on every path.
for j in 1 3; do
  err=$("$q" -j $j < / 2>&1 >/dev/null); status=$?
  [ $status -eq 4 ] && [ "$err" = "qorconvert: cannot read the input: Is a directory" ] || fail "-j $j < /: $status $err"
  err=$("$q" -j $j <&- 2>&1 >/dev/null); status=$?
  [ $status -eq 4 ] && [ "$err" = "qorconvert: cannot read the input: Bad file descriptor" ] || fail "-j $j <&-: $status $err"
done

# A full disk ends the run at once, though the input is still open and silent.
awk 'BEGIN { for (i = 0; i < 20000; i++) printf "%.6f %.6f %d\n", -80 + (i % 1600) / 10, -180 + (i % 3600) / 10, i }' \
  > "$work/points.txt"
mkfifo "$work/fifo"
for j in 1 2; do
  (cat "$work/points.txt"; sleep 30) > "$work/fifo" &
  writer=$!
  start=$(date +%s)
  err=$("$q" -j $j < "$work/fifo" 2>&1 >/dev/full); status=$?
  took=$(( $(date +%s) - start ))
  kill $writer 2>/dev/null; wait $writer 2>/dev/null
  [ $status -eq 4 ] && [ $took -lt 20 ] && [ "$err" = "qorconvert: cannot write the output: No space left on device" ] ||
    fail "-j $j > /dev/full with the input open: status $status after $took s: $err"
done

# Threads that cannot start (each would need a 100 GB stack): the run goes on.
out=$( (ulimit -s 100000000 && echo 40 -74 10 | "$q" -j 16) 2>&1); status=$?
[ $status -eq 0 ] && [ "$out" = "1348615.097 -4703179.769 4077992.000" ] || fail "no threads: $status $out"

# A line holds at most 67108864 bytes before its line end, wherever it falls
# in the stream.
for pad in 0 300001; do
  for length in 67108864 67108865; do
    { [ $pad -gt 0 ] && printf '#%*s\n' $((pad - 2)) ''
      printf '40%*s-74\n' $((length - 5)) ''
      echo 1 2; } > "$work/long.txt"
    out=$("$q" < "$work/long.txt" 2>/dev/null | grep -v '^#' | tr '\n' '|')
    if [ $length -eq 67108864 ]; then want=$(printf '40 -74\n1 2\n' | "$q" | tr '\n' '|')
    else want="error: the line is longer than 67108864 bytes|$(echo 1 2 | "$q")|"; fi
    [ "$out" = "$want" ] || fail "a line of $length bytes after $pad: $out"
  done
done

# Each message follows its line when the two streams are merged.
for j in 1 3; do
  out=$( (awk 'NR <= 5000' "$work/points.txt"; echo 91 0; awk 'NR == 1' "$work/points.txt") | "$q" -j $j 2>&1 |
        sed -n '5000,5003p' | tr '\n' '|')
  want="$(sed -n 5000p "$work/points.txt" | "$q")|error: latitude '91' is beyond +/-90 degrees|"
  want+="qorconvert: line 5001: latitude '91' is beyond +/-90 degrees|$(head -n 1 "$work/points.txt" | "$q")|"
  [ "$out" = "$want" ] || fail "merged log, -j $j: $out"
done

echo "$failures failed"
[ $failures -eq 0 ]
