#!/usr/bin/env bash
# Builds both builds and runs every test under wine64 inside a virtual X display. Exits non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh

cmake --preset x86 >/dev/null
cmake --build --preset x86 -j2
cmake --preset x64 >/dev/null
cmake --build --preset x64 -j2

. scripts/wine_env.sh
quillon_wine_env "$root/build/x64"
trap quillon_wine_stop EXIT

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  . scripts/wine_env.sh
  quillon_wine_stop
  quillon_wine_prefix
  ctest --test-dir build/x64 --output-on-failure
'
