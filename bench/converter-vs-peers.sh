#!/usr/bin/env bash
# Times qorconvert, one thread and -j 2, against GeographicLib's CartConvert
# and GeoConvert and PROJ's cct and cs2cs on the same points (default
# 1,000,000), every mode that has a peer doing the same job, with the same
# output precision (millimetres). Prints a Markdown table: best wall time of
# three runs, our time over the peer's.
#
# Usage: bench/converter-vs-peers.sh [build-dir] [points]
# Needs the Debian packages geographiclib-tools and proj-bin.
set -euo pipefail
build=${1:-build}
count=${2:-1000000}
q="$build/qorconvert"
for tool in "$q" CartConvert GeoConvert GeodSolve cct cs2cs bc; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

w=$(mktemp -d)
trap 'rm -rf "$w"' EXIT
# Latitude, longitude, height; a fixed random stream so runs compare.
awk -v n="$count" 'BEGIN { srand(12345); for (i = 0; i < n; i++)
  printf "%.9f %.9f %.3f\n", -80 + 164 * rand(), -180 + 360 * rand(), -100 + 3000 * rand() }' > "$w/geod.txt"
awk '{ print $2, $1, $3 }' "$w/geod.txt" > "$w/lonlat.txt"   # cct and cs2cs read longitude first
# The same points moved into zone 31 (longitudes 0 to 6 degrees) for the fixed-zone jobs.
awk '{ printf "%s %.9f %s\n", $1, ($2 + 180) / 60, $3 }' "$w/geod.txt" > "$w/geod31.txt"
awk '{ print $2, $1, $3 }' "$w/geod31.txt" > "$w/lonlat31.txt"
"$q" -f geod -t geoc -p 3 < "$w/geod.txt" > "$w/geoc.txt"
"$q" -f geod -t utm -p 3 < "$w/geod.txt" > "$w/utm.txt"
"$q" -f geod -t utm -z 31 -p 3 < "$w/geod31.txt" > "$w/utm31.txt"
awk '{ print $2, $3, $4 }' "$w/utm31.txt" > "$w/utm31-plain.txt"       # easting northing height
awk '{ print tolower($1), $2, $3 }' "$w/utm.txt" > "$w/utm-geoconvert.txt"
"$q" -f geod -t geoc -p 3 < "$w/geod.txt" | awk '{ print $1, $2, $3, 30, 10, -5 }' > "$w/attitude.txt"
# Geodesics: pairs of points (lat1 lon1 lat2 lon2), starts with an azimuth and a distance.
paste -d ' ' "$w/geod.txt" <(tail -n +2 "$w/geod.txt"; head -n 1 "$w/geod.txt") | awk '{ print $1, $2, $4, $5 }' \
  > "$w/pairs.txt"
awk '{ printf "%s %s %.6f %.3f\n", $1, $2, ($3 * 7919) % 360 - 180, ($3 * 104729) % 20000000 }' "$w/geod.txt" \
  > "$w/direct.txt"

best() {   # best wall time of three runs, in seconds
  local t best=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    sh -c "$1" > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
  done
  echo "$best"
}

row() {   # job, our command (without -j), peer name, peer command
  local ours ours2 theirs
  ours=$(best "$2")
  ours2=$(best "$2 -j 2")
  if [ -n "$4" ]; then
    theirs=$(best "$4")
    printf '| %s | %.3f | %.3f | %s | %.3f | %.2f | %.2f |\n' "$1" "$ours" "$ours2" "$3" "$theirs" \
      "$(echo "$ours / $theirs" | bc -l)" "$(echo "$ours2 / $theirs" | bc -l)"
  else
    printf '| %s | %.3f | %.3f | (no peer) | | | |\n' "$1" "$ours" "$ours2"
  fi
}

echo "$count points, $(nproc) cores, $(date -u +%Y-%m-%d)"
echo
echo "| job | ours s | ours -j 2 s | peer | peer s | ratio | ratio -j 2 |"
echo "|---|---:|---:|---|---:|---:|---:|"
geod2geoc="'$q' -f geod -t geoc -p 3 < '$w/geod.txt'"
row "geodetic -> geocentric" "$geod2geoc" CartConvert "CartConvert -p 3 < '$w/geod.txt'"
row "" "$geod2geoc" "cct +proj=cart" "cct -d 3 +proj=cart +ellps=WGS84 '$w/lonlat.txt'"
row "" "$geod2geoc" cs2cs "cs2cs -f %.3f +proj=latlong +datum=WGS84 +to +proj=geocent +datum=WGS84 < '$w/lonlat.txt'"
geoc2geod="'$q' -f geoc -t geod -p 3 < '$w/geoc.txt'"
row "geocentric -> geodetic" "$geoc2geod" "CartConvert -r" "CartConvert -r -p 3 < '$w/geoc.txt'"
row "" "$geoc2geod" "cct +proj=cart +inv" "cct -d 8 +proj=cart +inv +ellps=WGS84 '$w/geoc.txt'"
row "" "$geoc2geod" cs2cs "cs2cs -f %.8f +proj=geocent +datum=WGS84 +to +proj=latlong +datum=WGS84 < '$w/geoc.txt'"
row "geodetic -> UTM, own zones" "'$q' -f geod -t utm -p 3 < '$w/geod.txt'" "GeoConvert -u" \
  "GeoConvert -u -p 3 < '$w/geod.txt'"
geod2utm31="'$q' -f geod -t utm -z 31 -p 3 < '$w/geod31.txt'"
row "geodetic -> UTM zone 31" "$geod2utm31" cs2cs \
  "cs2cs -f %.3f +proj=latlong +datum=WGS84 +to +proj=utm +zone=31 +datum=WGS84 < '$w/lonlat31.txt'"
row "" "$geod2utm31" cct "cct -d 3 +proj=utm +zone=31 +ellps=WGS84 '$w/lonlat31.txt'"
row "UTM -> geodetic, own zones" "'$q' -f utm -t geod -p 3 < '$w/utm.txt'" "GeoConvert" \
  "GeoConvert -p 3 < '$w/utm-geoconvert.txt'"
utm2geod31="'$q' -f utm -t geod -p 3 < '$w/utm31.txt'"
row "UTM zone 31 -> geodetic" "$utm2geod31" cs2cs \
  "cs2cs -f %.8f +proj=utm +zone=31 +datum=WGS84 +to +proj=latlong +datum=WGS84 < '$w/utm31-plain.txt'"
row "" "$utm2geod31" "cct +inv" "cct -d 8 +proj=utm +zone=31 +inv +ellps=WGS84 '$w/utm31-plain.txt'"
row "geodetic -> degrees-minutes-seconds" "'$q' -f geod -t geod --dms -p 3 < '$w/geod.txt'" "GeoConvert -d" \
  "GeoConvert -d -p 3 < '$w/geod.txt'"
row "geodetic -> local frame at 40,-74 (NED; ENU)" "'$q' -f geod -t ned -o 40,-74,0 -p 3 < '$w/geod.txt'" \
  "CartConvert -l" "CartConvert -l 40 -74 0 -p 3 < '$w/geod.txt'"
row "geodetic -> grid declination (convergence)" "'$q' -f geod -t decl -p 3 < '$w/geod.txt'" "GeoConvert -c" \
  "GeoConvert -c -p 3 < '$w/geod.txt'"
row "geodesic inverse (distance, azimuths)" "'$q' -f inverse -p 3 < '$w/pairs.txt'" "GeodSolve -i" \
  "GeodSolve -i -p 3 < '$w/pairs.txt'"
row "geodesic direct (end point, azimuth)" "'$q' -f direct -p 3 < '$w/direct.txt'" "GeodSolve" \
  "GeodSolve -p 3 < '$w/direct.txt'"
row "geodetic -> MGRS (1 m)" "'$q' -f geod -t mgrs < '$w/geod.txt'" "GeoConvert -m" \
  "GeoConvert -m -p 0 < '$w/geod.txt'"
awk '{ printf "%.9f %s\n", ($1 >= 0 ? 84 + $1 / 14 : -80 + $1 / 8), $2 }' "$w/geod.txt" > "$w/polar.txt"
row "geodetic -> UPS (polar caps)" "'$q' -f geod -t ups -p 3 < '$w/polar.txt'" "GeoConvert -u" \
  "GeoConvert -u -p 3 < '$w/polar.txt'"
row "attitude -> heading pitch roll" "'$q' -f att -t hpr -p 3 < '$w/attitude.txt'" "" ""
