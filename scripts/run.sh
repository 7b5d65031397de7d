#!/usr/bin/env bash
# Builds Quillon and runs it under Wine, beside a helper that holds a few sample sections open.
# With a display ($DISPLAY) the window stays until you close it; without one it runs in a virtual X
# display, saves a screenshot and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ "${1:-}" != "--inside-display" ]; then
  bash scripts/setup.sh
  cmake --preset x86 >/dev/null
  cmake --build --preset x86 -j2 --target quillon
  cmake --preset x64 >/dev/null
  cmake --build --preset x64 -j2 --target quillon sample_sections
fi

. scripts/wine_env.sh
quillon_wine_env "$root/build/x64"
trap quillon_wine_stop EXIT
screenshot="$root/build/quillon-screenshot.png"

run_quillon() {
  quillon_wine_stop
  quillon_wine_prefix
  "$QUILLON_WINE" build/x64/tests/tools/sample_sections.exe 3600 &
  sleep 2
  if [ -n "${QUILLON_SCREENSHOT:-}" ]; then
    "$QUILLON_WINE" build/x64/shell/quillon.exe &
    sleep 8
    import -window root "$QUILLON_SCREENSHOT"
    echo "Screenshot of the running window: $QUILLON_SCREENSHOT"
  else
    "$QUILLON_WINE" build/x64/shell/quillon.exe || true
  fi
}

if [ -n "${DISPLAY:-}" ]; then
  run_quillon
else
  QUILLON_SCREENSHOT="$screenshot" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside-display
fi
