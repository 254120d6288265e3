#!/usr/bin/env bash
# Times qorconvert against GeographicLib's CartConvert and GeoConvert and
# PROJ's cct and cs2cs on the same 1,000,000 geodetic points, with the same
# output precision (millimetres), and prints our time over theirs.
#
# Usage: bench/converter-vs-peers.sh [build-dir] [points]
# Needs the Debian packages geographiclib-tools and proj-bin.
set -euo pipefail
build=${1:-build}
count=${2:-1000000}
qorconvert="$build/qorconvert"
for tool in "$qorconvert" CartConvert GeoConvert cct cs2cs; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Latitude, longitude, height; a fixed random stream so runs compare.
awk -v n="$count" 'BEGIN { srand(12345); for (i = 0; i < n; i++)
  printf "%.9f %.9f %.3f\n", -80 + 164 * rand(), -180 + 360 * rand(), -100 + 3000 * rand() }' > "$work/geod.txt"
# cct and cs2cs read longitude first.
awk '{ print $2, $1, $3 }' "$work/geod.txt" > "$work/lonlat.txt"

best() {  # best wall time of three runs, in seconds
  local t best=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

report() {  # label ours theirs
  printf '%-46s ours %6.3f s   peer %6.3f s   ratio %.2f\n' "$1" "$2" "$3" "$(echo "$2 / $3" | bc -l)"
}

echo "$count points"
ours=$(best sh -c "'$qorconvert' -f geod -t geoc -p 3 < '$work/geod.txt'")
report "geodetic -> geocentric vs CartConvert" "$ours" "$(best sh -c "CartConvert -p 3 < '$work/geod.txt'")"
report "geodetic -> geocentric vs cct +proj=cart" "$ours" \
  "$(best sh -c "cct -d 3 +proj=cart +ellps=WGS84 '$work/lonlat.txt'")"
report "geodetic -> geocentric vs cs2cs" "$ours" \
  "$(best sh -c "cs2cs -f %.3f +proj=latlong +datum=WGS84 +to +proj=geocent +datum=WGS84 < '$work/lonlat.txt'")"

ours=$(best sh -c "'$qorconvert' -f geod -t utm -p 3 < '$work/geod.txt'")
report "geodetic -> UTM vs GeoConvert -u" "$ours" "$(best sh -c "GeoConvert -u -p 3 < '$work/geod.txt'")"
report "geodetic -> UTM (zone 31) vs cs2cs" "$(best sh -c "'$qorconvert' -f geod -t utm -z 31 -p 3 < '$work/geod.txt'")" \
  "$(best sh -c "cs2cs -f %.3f +proj=latlong +datum=WGS84 +to +proj=utm +zone=31 +datum=WGS84 < '$work/lonlat.txt'")"
report "geodetic -> UTM (zone 31) vs cct" "$(best sh -c "'$qorconvert' -f geod -t utm -z 31 -p 3 < '$work/geod.txt'")" \
  "$(best sh -c "cct -d 3 +proj=utm +zone=31 +ellps=WGS84 '$work/lonlat.txt'")"
