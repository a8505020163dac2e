#!/bin/sh
# Runs one Windows program under Wine: CTest's emulator for the mingw build.
# The prefix, locale and display come from tools/wine-session.sh.
: "${WINEPREFIX:?WINEPREFIX must be set: run the tests through tools/wine-session.sh}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${WINE:-}" ]; then
  if [ -x /usr/lib/wine/wine64 ]; then WINE=/usr/lib/wine/wine64; else WINE=wine; fi
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run.sh: no wine prefix at $WINEPREFIX; run the tests through tools/wine-session.sh" >&2
  exit 125
fi
exec timeout -k 5 "${WINE_TIMEOUT:-120}" "$WINE" "$@"
