#!/bin/bash
# tests/ui/run-dpi.sh DPI_TESTS_EXE WORK_DIR [SHOTS_DIR]
#
# The dialogs at 96, 144 and 192 dots per inch (100 %, 150 %, 200 %): a fresh
# Wine prefix of its own in WORK_DIR/wineprefix, booted under zh_CN.UTF-8,
# a private Xvfb, and for each resolution the screen's LogPixels set and the
# wineserver restarted once, then the layout tests (tabrix_dpi_tests.exe) with
# TABRIX_EXPECT_DPI, so that they fail unless the program really runs at that
# resolution. With SHOTS_DIR (and ImageMagick's "import") each dialog's
# screenshot at each resolution lands there as NAME-DPI.png.
# Exits 0 when every resolution passed, 1 when one failed, 125 when Wine or
# Xvfb cannot start.
# shellcheck source-path=SCRIPTDIR disable=SC2317  # cleanup runs from the trap
set -uo pipefail

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: run-dpi.sh DPI_TESTS_EXE WORK_DIR [SHOTS_DIR]" >&2
  exit 2
fi
exe=$(realpath -m "$1")
work=$(realpath -m "$2")
shots=
[ -n "${3:-}" ] && shots=$(realpath -m "$3")
[ -f "$exe" ] || { echo "run-dpi: no such program: $exe" >&2; exit 125; }

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../tools/wine-common.sh
. "$root/tools/wine-common.sh"
say() { echo "run-dpi: $*"; }
fail() {
  echo "run-dpi: $*" >&2
  exit 125
}

tabrix_find_wine || exit 125
tabrix_setup_locale "${TABRIX_LOCALE_DIR:-$root/build/locale}" || exit 125
export WINEPREFIX="$work/wineprefix"

watcher_pid=
cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  tabrix_end_stage "$rc" "$shots" "$watcher_pid"
  [ "$rc" -ne 0 ] && echo "run-dpi: failed (status $rc)" >&2
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

say "booting a fresh wine prefix ($LANG)"
tabrix_fresh_prefix "$work" || fail "no prefix"

tabrix_start_xvfb "$work" 1600x1200x24 || fail "no display"

if [ -n "$shots" ] && command -v import >/dev/null 2>&1; then
  mkdir -p "$shots"
  rm -f "$shots"/*.png "$shots"/*.req "$shots"/*.done
  tabrix_answer_screenshots "$shots" &
  watcher_pid=$!
  export TABRIX_DPI_SHOTS="Z:${shots//\//\\}"
elif [ -n "$shots" ]; then
  say "ImageMagick's import is missing: no screenshots"
  shots=
fi

rc=0
for dpi in 96 144 192; do
  # The resolution is read when the desktop starts: set it (both values in
  # one import), then restart the server.
  printf 'REGEDIT4\r\n\r\n[%s]\r\n"LogPixels"=dword:%08x\r\n\r\n[%s]\r\n"LogPixels"=dword:%08x\r\n' \
    'HKEY_CURRENT_USER\Control Panel\Desktop' "$dpi" \
    'HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
    "$dpi" >"$work/dpi.reg"
  DISPLAY='' tabrix_wine_reg import "Z:${work//\//\\}\\dpi.reg" || fail "could not set LogPixels"
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1
  timeout 60 "$WINESERVER" -w >/dev/null 2>&1
  say "$dpi dpi"
  if ! TABRIX_EXPECT_DPI=$dpi timeout -k 5 120 "$WINE" "$exe" --gtest_brief=1 </dev/null 2>&1; then
    echo "run-dpi: the layout at $dpi dpi failed" >&2
    rc=1
  fi
  if [ -n "$shots" ]; then
    for name in main phrases group-properties about; do
      [ -s "$shots/$name-$dpi.png" ] || { echo "run-dpi: $name-$dpi.png is missing" >&2; rc=1; }
    done
  fi
done
[ "$rc" -eq 0 ] && say "every resolution passed${shots:+; screenshots in $shots}"
exit "$rc"
