#!/usr/bin/env bash
# Builds the documentation site (the `site` target) and checks it in the browser.
# Usage: run.sh BUILD_DIR SOURCE_DIR PYTHON CHROMIUM
set -euo pipefail
build=$1 source=$2 python=$3 chromium=$4
cmake --build "$build" --target site >"$build/site.log" 2>&1 || { tail -40 "$build/site.log"; exit 1; }
PYTHONPATH=$build/python "$python" "$source/tests/site/check.py" "$build/site" "$source" "$chromium"
