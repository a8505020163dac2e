#!/bin/bash
# tools/wine-session.sh COMMAND [ARGS...]
#
# Runs COMMAND (typically ctest on the mingw build) inside one Wine session:
#   - LANG=zh_CN.UTF-8 backed by a real glibc locale (code page 936),
#   - a Wine prefix booted under that locale (WINEPREFIX, by default
#     build/mingw/wineprefix), with unmanaged X11 windows (Managed=N); with
#     TABRIX_FRESH_PREFIX=1 made anew, as a copy of TABRIX_TEMPLATE_PREFIX
#     when that is set (booted there first when missing), which the test
#     stages started inside the session copy too,
#   - a display: a private Xvfb on a free display number (default), the
#     caller's DISPLAY (TABRIX_WINE_DISPLAY=host) or Wine's null driver
#     (TABRIX_WINE_DISPLAY=null, or HEADLESS=1),
#   - one persistent wineserver and a desktop keeper process, so that each
#     test program starts in a fraction of a second.
# Whatever happens, the wineserver and the Xvfb are ended on the way out.
# Exits with COMMAND's exit status (or 125 when the session cannot start).
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=wine-common.sh
. "$root/tools/wine-common.sh"

if [ $# -eq 0 ]; then
  echo "usage: tools/wine-session.sh COMMAND [ARGS...]" >&2
  exit 2
fi

export WINEPREFIX="${WINEPREFIX:-$root/build/mingw/wineprefix}"
: "${WINEPREFIX:?}"
mode=${TABRIX_WINE_DISPLAY:-xvfb}
[ "${HEADLESS:-0}" = 1 ] && mode=null
case $mode in
  xvfb | host | null) ;;
  *) echo "TABRIX_WINE_DISPLAY must be xvfb, host or null (not '$mode')" >&2; exit 2 ;;
esac

keeper_pid=
xvfb_pid=
command_pid=
session_dir=


cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if [ -n "$command_pid" ] && kill -0 "$command_pid" 2>/dev/null; then
    kill "$command_pid" 2>/dev/null
    tabrix_wait_gone "$command_pid" 50 || kill -9 "$command_pid" 2>/dev/null
  fi
  if [ -n "$keeper_pid" ]; then
    kill "$keeper_pid" 2>/dev/null
    tabrix_wait_gone "$keeper_pid" 50 || kill -9 "$keeper_pid" 2>/dev/null
  fi
  # The keeper must be gone first: "wineserver -w" waits for every client.
  if [ -n "${WINESERVER:-}" ]; then
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1
    timeout 20 "$WINESERVER" -w >/dev/null 2>&1
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    tabrix_wait_gone "$xvfb_pid" 50 || kill -9 "$xvfb_pid" 2>/dev/null
  fi
  [ -n "$session_dir" ] && rm -rf "$session_dir"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "wine-session: $*" >&2
  exit 125
}

tabrix_find_wine || exit 125
tabrix_setup_locale "${TABRIX_LOCALE_DIR:-$root/build/locale}" || exit 125
# With TABRIX_TEMPLATE_PREFIX, a template prefix is booted there once (or
# kept from before) and the session's prefix and every test stage's are
# copies of it.
if [ -n "${TABRIX_TEMPLATE_PREFIX:-}" ]; then
  tabrix_make_template "$TABRIX_TEMPLATE_PREFIX" || fail "no template prefix"
fi
if [ "${TABRIX_FRESH_PREFIX:-0}" = 1 ]; then
  [ -e "$WINEPREFIX" ] && timeout 20 "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "${WINEPREFIX:?}"
  tabrix_copy_template
fi
tabrix_boot_prefix || fail "could not create the wine prefix $WINEPREFIX"
session_dir=$(mktemp -d "${TMPDIR:-/tmp}/tabrix-wine.XXXXXX") || fail "mktemp failed"

# Settings the desktop process reads when it starts (see the restart below).
# Without a window manager, managed windows take 2 s each to be destroyed.
managed=N
[ "$mode" = host ] && managed=Y
DISPLAY='' tabrix_wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f ||
  fail "could not set the X11 driver mode"
if [ "$mode" = null ]; then
  DISPLAY='' tabrix_wine_reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f ||
    fail "could not select the null graphics driver"
else
  DISPLAY='' tabrix_wine_reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f
fi
# The desktop process picks its driver and display once, when the server's
# first process starts it: restart the server so it starts with the above.
timeout 20 "$WINESERVER" -k >/dev/null 2>&1
timeout 60 "$WINESERVER" -w >/dev/null 2>&1

case $mode in
  null)
    unset DISPLAY
    ;;
  host)
    [ -n "${DISPLAY:-}" ] || fail "TABRIX_WINE_DISPLAY=host but DISPLAY is not set"
    ;;
  xvfb)
    tabrix_start_xvfb "$session_dir" || fail "no display"
    xvfb_pid=$TABRIX_XVFB_PID
    echo "wine-session: Xvfb on display $DISPLAY" >&2
    ;;
esac

timeout 20 "$WINESERVER" -p >/dev/null 2>&1 || fail "could not start the wineserver"

# The desktop keeper: one long-lived GUI process owning the desktop.
keeper=${TABRIX_DESKTOP_KEEPER:-}
if [ -z "$keeper" ]; then
  keeper="$WINEPREFIX/drive_c/tabrix/desktop_keeper.exe"
  if [ ! -f "$keeper" ] || [ "$root/tools/desktop_keeper.c" -nt "$keeper" ]; then
    mkdir -p "$(dirname "$keeper")"
    cc=x86_64-w64-mingw32-gcc-posix
    command -v "$cc" >/dev/null 2>&1 || cc=x86_64-w64-mingw32-gcc
    "$cc" -O2 -mwindows -static -o "$keeper" "$root/tools/desktop_keeper.c" ||
      fail "could not build the desktop keeper"
  fi
fi
"$WINE" "$keeper" </dev/null >"$session_dir/keeper.out" 2>"$session_dir/keeper.err" &
keeper_pid=$!
for _ in $(seq 300); do
  grep -q ready "$session_dir/keeper.out" 2>/dev/null && break
  kill -0 "$keeper_pid" 2>/dev/null || break
  sleep 0.1
done
grep -q ready "$session_dir/keeper.out" 2>/dev/null || {
  cat "$session_dir/keeper.err" >&2
  fail "the desktop keeper did not start"
}

# In the background so that a signal to this script is handled at once (bash
# runs traps only between foreground commands); <&0 keeps standard input.
"$@" <&0 &
command_pid=$!
wait "$command_pid"
rc=$?
command_pid=
exit "$rc"
