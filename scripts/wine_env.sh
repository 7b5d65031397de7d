#!/usr/bin/env bash
# Sourced by the run and test scripts: one Wine prefix per build tree, and only our own wine server
# is ever stopped.
quillon_wine_env() {
  local build_dir="$1"
  export WINEPREFIX="$build_dir/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  if [ -x /usr/lib/wine/wine64 ]; then QUILLON_WINE=/usr/lib/wine/wine64; else QUILLON_WINE=wine; fi
  export QUILLON_WINE
}

# Creates the prefix on first use (about 6 s); later calls return at once.
quillon_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine regedit "$(dirname "${BASH_SOURCE[0]}")/wine-desktop.reg" >/dev/null 2>&1 || true
    wineserver -w
  fi
}

quillon_wine_stop() {
  wineserver -k >/dev/null 2>&1 || true
}
