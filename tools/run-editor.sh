#!/bin/bash
# tools/run-editor.sh [ARGS...]
#
# Runs the editor: installs what is missing (tools/setup.sh), cross-builds
# Tabrix.exe with the mingw preset and starts it under Wine with a Chinese
# locale (code page 936), in its own Wine prefix (build/mingw/wineprefix).
# It shows on the current DISPLAY; without one it runs on a private Xvfb
# (take a screenshot with: import -display :N -window root shot.png).
# On Windows, run the Tabrix.exe of a CMake build instead (see README.md).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root" || exit 1

tools/setup.sh || exit 1

logs=$root/build/test-logs
mkdir -p "$logs"
echo "building Tabrix.exe (mingw preset; log: $logs/editor-build.log)"
if ! cmake --preset mingw >"$logs/editor-configure.log" 2>&1; then
  tail -n 30 "$logs/editor-configure.log"
  echo "run-editor: configuring the mingw build failed" >&2
  exit 1
fi
targets=$(cmake --build build/mingw --target help 2>/dev/null)
if ! grep -qx '\.\.\. Tabrix' <<<"$targets"; then
  echo "run-editor: the editor (target Tabrix in ui/) is not part of this tree yet: nothing to run" >&2
  exit 1
fi
if ! cmake --build --preset mingw --target Tabrix >"$logs/editor-build.log" 2>&1; then
  grep -m 30 -E 'error|Error' "$logs/editor-build.log"
  echo "run-editor: building Tabrix.exe failed (see $logs/editor-build.log)" >&2
  exit 1
fi
exe=$root/build/mingw/ui/Tabrix.exe
[ -f "$exe" ] || exe=$(find "$root/build/mingw" -name Tabrix.exe -type f -print -quit)
if [ -z "$exe" ] || [ ! -f "$exe" ]; then
  echo "run-editor: Tabrix.exe was built but not found under build/mingw" >&2
  exit 1
fi

export WINEPREFIX=${WINEPREFIX:-$root/build/mingw/wineprefix}
if [ -n "${DISPLAY:-}" ]; then
  export TABRIX_WINE_DISPLAY=host
else
  export TABRIX_WINE_DISPLAY=xvfb
  echo "run-editor: no DISPLAY: the editor runs on a private Xvfb (its number follows)"
fi
keeper=$root/build/mingw/desktop_keeper.exe
[ -f "$keeper" ] && export TABRIX_DESKTOP_KEEPER=$keeper
echo "starting $exe"
# No time limit: the editor runs until it is closed.
WINE_TIMEOUT=0 exec tools/wine-session.sh tools/wine-run.sh "$exe" "$@"
