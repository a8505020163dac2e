#!/bin/bash
# tests/e2e/run-e2e.sh TABRIX_EXE DRIVER_EXE WORK_DIR [SHOTS_DIR]
#
# The end-to-end test of the real editor: a fresh Wine prefix of its own in
# WORK_DIR/wineprefix, booted under zh_CN.UTF-8 (code page 936), a private
# Xvfb, the registry value of the installed input method, and then the driver
# (e2e_driver.exe), which starts TABRIX_EXE and uses it through its windows.
# With SHOTS_DIR (and ImageMagick's "import"), the driver's screenshot
# requests are answered with PNG files there.
# Whatever happens, the prefix's wineserver and the Xvfb are ended on the way
# out; the prefix is removed when the test passed. Exits with the driver's
# status (0 passed, 1 failed), 125 when Wine or Xvfb cannot start.
# shellcheck source-path=SCRIPTDIR disable=SC2317  # cleanup runs from the trap
set -uo pipefail

if [ $# -lt 3 ] || [ $# -gt 4 ]; then
  echo "usage: run-e2e.sh TABRIX_EXE DRIVER_EXE WORK_DIR [SHOTS_DIR]" >&2
  exit 2
fi
# Absolute paths: Wine wants an absolute prefix, the driver Z:\ paths.
exe=$(realpath -m "$1")
driver=$(realpath -m "$2")
work=$(realpath -m "$3")
shots=
[ -n "${4:-}" ] && shots=$(realpath -m "$4")

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../tools/wine-common.sh
. "$root/tools/wine-common.sh"

started=$(date +%s%N)
elapsed() {
  local tenths=$((($(date +%s%N) - started) / 100000000))
  echo "$((tenths / 10)).$((tenths % 10))"
}
say() { echo "run-e2e [$(elapsed) s]: $*"; }
fail() {
  echo "run-e2e: $*" >&2
  exit 125
}

for f in "$exe" "$driver"; do
  [ -f "$f" ] || fail "no such program: $f"
done

tabrix_find_wine || exit 125
tabrix_setup_locale "${TABRIX_LOCALE_DIR:-$root/build/locale}" || exit 125
# This test's own prefix, whatever prefix a surrounding session uses.
export WINEPREFIX="$work/wineprefix"

watcher_pid=
cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  tabrix_end_stage "$rc" "$shots" "$watcher_pid"
  if [ "$rc" -ne 0 ]; then
    echo "run-e2e: failed (status $rc)" >&2
    [ -n "$shots" ] && [ -f "$shots/failure.png" ] && echo "run-e2e: the screen: $shots/failure.png" >&2
  fi
  say "done, status $rc"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A fresh prefix: nothing survives from an earlier run.
say "booting a fresh wine prefix ($LANG)"
tabrix_fresh_prefix "$work" || fail "no prefix"
say "prefix ready"

# The installed input method's data folder, where the driver puts default.wbk.
data_dir="$work/已安装"
mkdir -p "$data_dir"
DISPLAY='' tabrix_wine_reg add 'HKLM\SOFTWARE\Brimfold\corvane3' /v path_svr_data /t REG_SZ \
  /d "Z:${data_dir//\//\\}" /reg:64 /f || fail "could not set path_svr_data"
# The desktop process picks its display when the server starts it: restart.
timeout 20 "$WINESERVER" -k >/dev/null 2>&1
timeout 60 "$WINESERVER" -w >/dev/null 2>&1

tabrix_start_xvfb "$work" 1280x1024x24 || fail "no display"
timeout 20 "$WINESERVER" -p >/dev/null 2>&1 || fail "could not start the wineserver"

shot_names=(property-dialog main-window phrase-window group-menu message-box about-box)
shots_arg=()
if [ -n "$shots" ]; then
  if command -v import >/dev/null 2>&1; then
    mkdir -p "$shots"
    rm -f "$shots"/*.png "$shots"/*.req "$shots"/*.done
    shots_arg=("$shots")
    # Answers the driver's requests: NAME.req -> NAME.png, then NAME.done.
    tabrix_answer_screenshots "$shots" &
    watcher_pid=$!
  else
    say "ImageMagick's import is missing: no screenshots"
  fi
fi

say "driver starts on display $DISPLAY"
# The driver's log holds GBK only through its own conversion: it is UTF-8.
timeout -k 5 "${TABRIX_E2E_TIMEOUT:-300}" "$WINE" "$driver" "$exe" "$work" "${shots_arg[@]}" \
  </dev/null 2>&1
rc=$?
[ "$rc" -eq 124 ] && echo "run-e2e: the driver was stopped after ${TABRIX_E2E_TIMEOUT:-300} s" >&2

if [ "$rc" -eq 0 ] && [ ${#shots_arg[@]} -gt 0 ]; then
  rm -f "$shots"/failure.png
  for name in "${shot_names[@]}"; do
    [ -s "$shots/$name.png" ] || { echo "run-e2e: screenshot $name.png is missing" >&2; rc=1; }
  done
  [ "$rc" -eq 0 ] && say "screenshots in $shots"
fi
exit "$rc"
