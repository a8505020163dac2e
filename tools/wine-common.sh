# shellcheck shell=bash
# Shared by the Wine scripts (sourced, not run): finds the Wine programs and
# sets up the Chinese locale Wine needs for code page 936.

# Debian's wine64 package puts the loader in /usr/lib/wine and no "wine" on
# PATH; the "wine" package adds a launcher. Use the loader directly when it is
# there (it also spares us the launcher's "wine32 is missing" hint).
tabrix_find_wine() {
  if [ -z "${WINE:-}" ]; then
    if [ -x /usr/lib/wine/wine64 ]; then
      WINE=/usr/lib/wine/wine64
    elif command -v wine64 >/dev/null 2>&1; then
      WINE=$(command -v wine64)
    elif command -v wine >/dev/null 2>&1; then
      WINE=$(command -v wine)
    else
      echo "wine is not installed (run tools/setup.sh)" >&2
      return 1
    fi
  fi
  if [ -z "${WINESERVER:-}" ]; then
    if [ -x /usr/lib/wine/wineserver ]; then
      WINESERVER=/usr/lib/wine/wineserver
    elif command -v wineserver >/dev/null 2>&1; then
      WINESERVER=$(command -v wineserver)
    else
      echo "wineserver is not installed (run tools/setup.sh)" >&2
      return 1
    fi
  fi
  export WINE WINESERVER
  # -all hides Wine's debug chatter; mscoree/mshtml off: no Mono or Gecko prompts.
  export WINEDEBUG="${WINEDEBUG:--all}"
  export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# tabrix_setup_locale DIR: makes LANG=zh_CN.UTF-8 a real glibc locale, so that
# Wine picks code page 936. Uses the system's locale when it has one, else
# generates it into DIR (no root needed) and points LOCPATH there.
tabrix_setup_locale() {
  local dir=$1
  unset LC_ALL LC_CTYPE LC_MESSAGES LC_COLLATE LC_NUMERIC LC_TIME LC_MONETARY LANGUAGE
  if [ "$(LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null)" = UTF-8 ]; then
    export LANG=zh_CN.UTF-8
    return 0
  fi
  if [ "$(LOCPATH=$dir LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null)" != UTF-8 ]; then
    mkdir -p "$dir"
    # localedef exits 1 on mere warnings; the check below is what counts.
    timeout 120 localedef -i zh_CN -f UTF-8 "$dir/zh_CN.UTF-8" >/dev/null 2>&1 || true
    if [ "$(LOCPATH=$dir LC_ALL=zh_CN.UTF-8 locale charmap 2>/dev/null)" != UTF-8 ]; then
      echo "could not generate the zh_CN.UTF-8 locale in $dir (is the 'locales' package installed?)" >&2
      return 1
    fi
  fi
  export LOCPATH=$dir LANG=zh_CN.UTF-8
}

# tabrix_boot_prefix: creates $WINEPREFIX under the current LANG when it is
# missing or was left half-made. The MessageBox font charset is fixed at boot,
# so the prefix must be born under zh_CN.
tabrix_boot_prefix() {
  : "${WINEPREFIX:?WINEPREFIX must be set (wine would otherwise use ~/.wine)}"
  local stamp="$WINEPREFIX/.tabrix-booted"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$LANG" ]; then
    return 0
  fi
  if [ -e "$WINEPREFIX" ]; then
    echo "wine prefix $WINEPREFIX is incomplete or from another locale: making it anew" >&2
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "${WINEPREFIX:?}"
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  echo "creating wine prefix $WINEPREFIX ($LANG)" >&2
  if ! DISPLAY='' timeout 300 "$WINE" wineboot -i >/dev/null 2>&1; then
    echo "wineboot failed or timed out" >&2
    timeout 20 "$WINESERVER" -k >/dev/null 2>&1 || true
    return 1
  fi
  timeout 60 "$WINESERVER" -w || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wineboot left no registry in $WINEPREFIX" >&2
    return 1
  fi
  echo "$LANG" >"$stamp"
}

# tabrix_make_template DIR: a prefix booted under $LANG at DIR, its X11
# windows unmanaged, its wineserver ended (so that its registry is on the
# disk), for tabrix_copy_template to copy; exported as TABRIX_TEMPLATE_PREFIX.
# Booting takes seconds, a copy a fraction of one: the test stages each start
# from a copy. Kept when DIR already holds such a prefix.
tabrix_make_template() {
  local dir=$1 stamp="$1/.tabrix-template"
  if ! { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$LANG" ]; }; then
    (
      export WINEPREFIX=$dir
      rm -rf "${WINEPREFIX:?}"
      tabrix_boot_prefix || exit 1
      DISPLAY='' tabrix_wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || exit 1
      timeout 20 "$WINESERVER" -k >/dev/null 2>&1
      timeout 60 "$WINESERVER" -w >/dev/null 2>&1
      echo "$LANG" >"$dir/.tabrix-template"
    ) || {
      echo "could not make the template prefix $dir" >&2
      return 1
    }
  fi
  export TABRIX_TEMPLATE_PREFIX=$dir
}

# tabrix_copy_template: $WINEPREFIX made anew as a copy of
# $TABRIX_TEMPLATE_PREFIX; false (and nothing done) when there is no template
# of this $LANG.
tabrix_copy_template() {
  local tpl=${TABRIX_TEMPLATE_PREFIX:-}
  [ -n "$tpl" ] && [ -f "$tpl/.tabrix-template" ] && [ "$(cat "$tpl/.tabrix-template")" = "$LANG" ] ||
    return 1
  : "${WINEPREFIX:?WINEPREFIX must be set}"
  rm -rf "${WINEPREFIX:?}"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # The prefix is some 700 MB of Wine's programs and libraries, which no test
  # changes: those are linked, not copied; everything else (the registry,
  # .ini files) is a copy of the prefix's own.
  cp -al "$tpl" "$WINEPREFIX" || return 1
  find "$WINEPREFIX" -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.sys' -o \
    -iname '*.drv' -o -iname '*.nls' -o -iname '*.ocx' -o -iname '*.acm' -o -iname '*.cpl' \) \
    -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f" || exit 1; done' _ {} +
}

# tabrix_wine_reg ARGS...: one bounded "wine reg" call.
tabrix_wine_reg() {
  timeout 60 "$WINE" reg "$@" >/dev/null 2>&1
}

# Waits up to $2 tenths of a second for process $1 to end; true when it has.
tabrix_wait_gone() {
  local pid=$1 n=$2
  while [ "$n" -gt 0 ] && kill -0 "$pid" 2>/dev/null; do
    sleep 0.1
    n=$((n - 1))
  done
  ! kill -0 "$pid" 2>/dev/null
}

# tabrix_answer_screenshots DIR: answers a test program's screenshot requests
# until killed (run it in the background): DIR/NAME.req holds the area as an
# X geometry (WxH+X+Y); the display's area goes to DIR/NAME.png (ImageMagick's
# import), then the request becomes DIR/NAME.done.
tabrix_answer_screenshots() {
  local dir=$1 req name area crop
  while :; do
    for req in "$dir"/*.req; do
      [ -e "$req" ] || continue
      name=$(basename "$req" .req)
      crop=()
      area=$(head -c 64 "$req")
      [[ $area =~ ^[0-9]+x[0-9]+\+[0-9]+\+[0-9]+$ ]] && crop=(-crop "$area")
      timeout 20 import -display "$DISPLAY" -window root "${crop[@]}" "$dir/$name.png" \
        >/dev/null 2>&1 || echo "screenshot $name failed" >&2
      mv -f "$req" "$dir/$name.done"
    done
    sleep 0.05
  done
}

# tabrix_start_xvfb DIR [SCREEN]: a private Xvfb on a free display number
# (-displayfd: Xvfb picks it and writes it to fd 3), its log in DIR/xvfb.log.
# Sets DISPLAY and TABRIX_XVFB_PID; false, with the reason, when it did not
# start.
tabrix_start_xvfb() {
  local dir=$1 screen=${2:-1280x1024x24} number
  command -v Xvfb >/dev/null 2>&1 || {
    echo "Xvfb is not installed (run tools/setup.sh)" >&2
    return 1
  }
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
  TABRIX_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$dir/display" ] && break
    kill -0 "$TABRIX_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  number=$(tr -dc 0-9 <"$dir/display")
  [ -n "$number" ] || {
    cat "$dir/xvfb.log" >&2
    echo "Xvfb did not start" >&2
    return 1
  }
  export DISPLAY=":$number"
}

# tabrix_stop_stage: ends the wineserver of $WINEPREFIX (its programs first)
# and the Xvfb of tabrix_start_xvfb, if any.
tabrix_stop_stage() {
  timeout 20 "$WINESERVER" -k >/dev/null 2>&1
  timeout 30 "$WINESERVER" -w >/dev/null 2>&1
  if [ -n "${TABRIX_XVFB_PID:-}" ]; then
    kill "$TABRIX_XVFB_PID" 2>/dev/null
    tabrix_wait_gone "$TABRIX_XVFB_PID" 50 || kill -9 "$TABRIX_XVFB_PID" 2>/dev/null
    TABRIX_XVFB_PID=
  fi
}

# tabrix_fresh_prefix WORK: WORK made anew, holding a fresh prefix booted
# under $LANG at $WINEPREFIX (which lies inside WORK), its X11 windows
# unmanaged: a copy of the template prefix when there is one. False, with the reason, when it cannot be made.
tabrix_fresh_prefix() {
  local work=$1
  [ -d "$WINEPREFIX" ] && timeout 20 "$WINESERVER" -k >/dev/null 2>&1
  rm -rf "${work:?}"
  mkdir -p "$work" || { echo "cannot create $work" >&2; return 1; }
  tabrix_copy_template && return 0
  tabrix_boot_prefix || { echo "could not create the wine prefix $WINEPREFIX" >&2; return 1; }
  DISPLAY='' tabrix_wine_reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f || {
    echo "could not set the X11 driver mode" >&2
    return 1
  }
}

# tabrix_end_stage STATUS SHOTS WATCHER_PID: the end of a test stage that
# made its own prefix: the screenshot answering loop stopped (its leftover
# requests removed), the wineserver and the Xvfb ended, and the prefix removed
# when the test passed (kept for a look when it failed).
tabrix_end_stage() {
  local rc=$1 shots=$2 watcher=$3
  if [ -n "$watcher" ]; then
    kill "$watcher" 2>/dev/null
    wait "$watcher" 2>/dev/null
    rm -f "$shots"/*.req "$shots"/*.done
  fi
  tabrix_stop_stage
  if [ "$rc" -eq 0 ]; then
    rm -rf "${WINEPREFIX:?}"
  else
    echo "the prefix stays in $WINEPREFIX" >&2
  fi
}
