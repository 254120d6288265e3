#!/usr/bin/env bash
# The wheel: `pip wheel --no-build-isolation ./python` from the checkout, and
# again from the source distribution, must be the same bytes; it holds the
# module and both libraries, found through $ORIGIN alone; installed offline
# into a fresh virtual environment (Debian's NumPy beside it), it works from
# there without LD_LIBRARY_PATH or PYTHONPATH.
# Usage: wheel.sh SOURCE_DIR WORK_DIR [PYTHON]
set -euo pipefail
source=$1 work=$2 python=${3:-/usr/bin/python3}
rm -rf "$work"
mkdir -p "$work"
unset LD_LIBRARY_PATH PYTHONPATH
# Nothing from the network, and nothing written outside the work folder (no
# pip cache, no byte code beside the backend).
export PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 PIP_NO_CACHE_DIR=1 PYTHONDONTWRITEBYTECODE=1
wheel() {   # wheel SOURCE OUT
  "$python" -m pip wheel --no-build-isolation --no-deps "$1" -w "$2" >"$2.log" 2>&1 || { tail -30 "$2.log"; exit 1; }
}
wheel "$source/python" "$work/checkout"
sdist=$(cd "$source/python" && "$python" -c "
import sys; sys.path.insert(0, '_build'); import backend; print(backend.build_sdist('$work'))")
wheel "$work/$sdist" "$work/from-sdist"

version=$("$python" -c 'import sys; print(f"{sys.version_info[0]}{sys.version_info[1]}")')
built=("$work"/checkout/*.whl)
[ ${#built[@]} -eq 1 ] && [ "$(basename "${built[0]}")" = "qormatrix-22.0.0-cp$version-cp$version-linux_x86_64.whl" ] ||
  { echo "wheel: ${built[*]}"; exit 1; }
cmp "${built[0]}" "$work/from-sdist/$(basename "${built[0]}")" || { echo "the sdist builds another wheel"; exit 1; }

mkdir "$work/unzipped"
(cd "$work/unzipped" && "$python" -m zipfile -e "${built[0]}" .)
for f in _core.cpython-$version-x86_64-linux-gnu.so libqormatrix_64.so.22 libqorqvutil_64.so.22; do
  runpath=$(readelf -d "$work/unzipped/qormatrix/$f" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')
  case $f in
    libqorqvutil*) [ -z "$runpath" ] || { echo "$f: RUNPATH $runpath"; exit 1; } ;;
    *) [ "$runpath" = '$ORIGIN' ] || { echo "$f: RUNPATH $runpath"; exit 1; } ;;
  esac
done
if grep -rl --binary-files=text -e "$source" -e "$work" "$work/unzipped" >/dev/null; then
  echo "the wheel holds paths of the build"; exit 1
fi

"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/python" -m pip install "${built[0]}" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
cd /
"$work/venv/bin/python" -c "
import qormatrix as qm
assert qm.__file__.startswith('$work/venv/'), qm.__file__
x, y, z = qm.geodetic2ecef(45.0, 30.0, 1000.0)
assert (qm.__version__, round(x, 3)) == ('22.0.0', 3912960.837), (qm.__version__, x)
print('wheel', '$(basename "${built[0]}")', 'installed and working from', qm.__file__)
"
