#!/usr/bin/env bash
# The Debian packages: built (scripts/build-debs), checked by lintian (no
# error, no warning), then unpacked into a scratch root (dpkg-deb -x: nothing
# is installed on this machine) where a downstream program builds against
# them with CMake and with pkg-config, and the converter and the Python
# module run from them.
# Usage: debian.sh SOURCE_DIR WORK_DIR
set -euo pipefail
source=$1 work=$2
rm -rf "$work"
mkdir -p "$work"
"$source/scripts/build-debs" "$work/build" >"$work/build.log" 2>&1 || { tail -30 "$work/build.log"; exit 1; }
debs=("$work"/build/packages/*.deb)
names=$(for d in "${debs[@]}"; do dpkg-deb -f "$d" Package; done | sort | tr '\n' ' ')
[ "$names" = "libqormatrix-64-22 libqormatrix-dev libqorqvutil-64-22 python3-qormatrix qormatrix-tools " ] ||
  { echo "packages: $names"; exit 1; }

# (Kept: the information tag no-symbols-control-file. The shlibs file is the
# libraries' control information; the exported symbols are checked by the abi
# tests against tests/abi/*.symbols.)
if ! lintian --fail-on error,warning --tag-display-limit 0 "${debs[@]}" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log"
  echo "lintian found errors or warnings"
  exit 1
fi

root=$work/root
for d in "${debs[@]}"; do
  dpkg-deb -x "$d" "$root"
  if dpkg-deb -c "$d" | grep -q '\./usr/local/'; then echo "$d installs under /usr/local"; exit 1; fi
done
# The libraries' shlibs name the package that holds each SONAME.
for lib in qorqvutil qormatrix; do
  shlibs=$(dpkg-deb -I "$work"/build/packages/lib$lib-64-22_*.deb shlibs)
  [ "$shlibs" = "lib${lib}_64 22 lib$lib-64-22 (>= 22.0.0)" ] || { echo "shlibs of lib$lib: $shlibs"; exit 1; }
done
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
libdir=$root/usr/lib/$multiarch
export LD_LIBRARY_PATH=$libdir

# A downstream program: the CMake package, then pkg-config.
cmake -S "$source/tests/install" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$root/usr" >/dev/null
cmake --build "$work/cmake" >/dev/null
"$work/cmake/downstream"
PKG_CONFIG_PATH=$libdir/pkgconfig
export PKG_CONFIG_PATH
# shellcheck disable=SC2046
c++ -std=c++17 "$source/tests/install/main.cpp" $(pkg-config --cflags --libs qormatrix) -o "$work/downstream-pc"
"$work/downstream-pc"

# The converter and its manual page.
out=$("$root/usr/bin/qorconvert" 45 30 1000)
[ "${out%% *}" = "3912960.837" ] || { echo "qorconvert: $out"; exit 1; }
"$root/usr/bin/qorconvert" --example >/dev/null
gzip -t "$root/usr/share/man/man1/qorconvert.1.gz"

# The Python module, from the unpacked tree with Debian's NumPy.
PYTHONPATH=$root/usr/lib/python3/dist-packages /usr/bin/python3 -c "
import qormatrix as qm
assert qm.__file__.startswith('$root/'), qm.__file__
x, y, z = qm.geodetic2ecef(45.0, 30.0, 1000.0)
assert (qm.__version__, round(x, 3)) == ('22.0.0', 3912960.837), (qm.__version__, x)
"
echo "packages: $names- built, lintian-clean, and used from $root"
