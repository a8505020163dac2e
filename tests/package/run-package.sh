#!/bin/bash
# tests/package/run-package.sh SETUP_EXE ZIP PROBE_EXE VERSION WORK_DIR
#
# The Windows packages as a user meets them, in a fresh Wine prefix of its own
# (WORK_DIR/wineprefix, zh_CN.UTF-8) on a private Xvfb:
#   - the zip holds Tabrix.exe, wbk.exe, README.md and LICENSE.txt in one folder;
#   - the installer, run silently (/S), puts those files, its uninstaller, a
#     Start-menu shortcut, an entry in the installed programs and the .wbk file
#     type in place; the installed wbk.exe and Tabrix.exe carry VERSION;
#   - a .wbk opened the way Windows opens it shows its groups in Tabrix;
#   - the silent uninstaller removes all of it, and nothing else: a library
#     the user saved in the program's folder stays.
# Exits 0 when everything holds, 1 when something does not, 125 when Wine or
# Xvfb cannot start.
# shellcheck source-path=SCRIPTDIR disable=SC2317  # cleanup runs from the trap
set -uo pipefail

if [ $# -ne 5 ]; then
  echo "usage: run-package.sh SETUP_EXE ZIP PROBE_EXE VERSION WORK_DIR" >&2
  exit 2
fi
setup=$(realpath -m "$1")
zip=$(realpath -m "$2")
probe=$(realpath -m "$3")
version=$4
work=$(realpath -m "$5")

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# shellcheck source=../../tools/wine-common.sh
. "$root/tools/wine-common.sh"
say() { echo "run-package: $*"; }
stop() {
  echo "run-package: $*" >&2
  exit 125
}
failures=0
check() {  # check WHAT COMMAND...: runs the command; a failure is counted
  local what=$1
  shift
  if "$@"; then
    say "ok: $what"
  else
    echo "run-package: FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

for f in "$setup" "$zip" "$probe"; do
  [ -f "$f" ] || stop "no such file: $f"
done

tabrix_find_wine || exit 125
tabrix_setup_locale "${TABRIX_LOCALE_DIR:-$root/build/locale}" || exit 125
export WINEPREFIX="$work/wineprefix"

cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  tabrix_end_stage "$rc" "" ""
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

say "the zip"
listing=$(python3 -c 'import sys, zipfile; print("\n".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$zip")
folder="Tabrix-$version-win64"
expected=$(printf '%s\n' "$folder/LICENSE.txt" "$folder/README.md" "$folder/Tabrix.exe" "$folder/wbk.exe" | sort)
expected_dir=$(printf '%s\n' "$folder/" "$expected" | sort)
check "the zip holds the four files" \
  test "$listing" = "$expected" -o "$listing" = "$expected_dir"

say "booting a fresh wine prefix ($LANG)"
tabrix_fresh_prefix "$work" || stop "no prefix"
# The desktop process picks its display when the server starts it: restart.
timeout 20 "$WINESERVER" -k >/dev/null 2>&1
timeout 60 "$WINESERVER" -w >/dev/null 2>&1
tabrix_start_xvfb "$work" || stop "no display"
timeout 20 "$WINESERVER" -p >/dev/null 2>&1 || stop "could not start the wineserver"

run() { timeout -k 5 120 "$WINE" "$@" </dev/null; }
reg_value() {  # reg_value KEY NAME: the value's data ('' names the key's default value)
  local which=(/ve)
  [ -n "$2" ] && which=(/v "$2")
  # reg prints in the console's code page (GBK here), and the default value's
  # name is localised ("(默认)"): take the line's data, as UTF-8.
  run reg query "$1" "${which[@]}" /reg:64 2>/dev/null | tr -d '\r' |
    LC_ALL=C sed -n 's/^.*[[:space:]]REG_[A-Z_]*[[:space:]]*//p' | head -1 |
    iconv -f GBK -t UTF-8
}

say "silent install"
check "the installer ends with status 0" run "$setup" /S
install="$WINEPREFIX/drive_c/Program Files/Tabrix"
for f in Tabrix.exe wbk.exe README.md LICENSE.txt uninstall.exe; do
  check "installed $f" test -f "$install/$f"
done
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Tabrix.lnk' 2>/dev/null | head -1)
check "a Start-menu shortcut" test -n "$shortcut"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabrix'
check "the installed programs name Tabrix $version" \
  test "$(reg_value "$uninstall_key" DisplayVersion)" = "$version"
check "the entry has a quiet uninstaller" \
  grep -q 'uninstall.exe" /AllUsers /S' <<<"$(reg_value "$uninstall_key" QuietUninstallString)"
check ".wbk is Tabrix's file type" \
  test "$(reg_value 'HKLM\Software\Classes\.wbk' '')" = "Tabrix.Library"
check "the file type is described as 青柚云笺词库文件" \
  test "$(reg_value 'HKLM\Software\Classes\Tabrix.Library' '')" = "青柚云笺词库文件"
check "a .wbk opens in the installed Tabrix.exe" \
  grep -q 'Program Files\\Tabrix\\Tabrix.exe" "%1"' \
  <<<"$(reg_value 'HKLM\Software\Classes\Tabrix.Library\shell\open\command' '')"

say "the installed programs"
winstall='C:\Program Files\Tabrix'
check "wbk.exe --version says $version" \
  grep -qx "wbk $version" <<<"$(run "$install/wbk.exe" --version | tr -d '\r')"
check "Tabrix.exe's version resource says $version" \
  run "$probe" version "$winstall\\Tabrix.exe" "$version"
check "wbk.exe's version resource says $version" \
  run "$probe" version "$winstall\\wbk.exe" "$version"

say "a library opened the way Windows opens it"
mkdir -p "$work/files"
printf '北京 9\n上海 5\n' | iconv -f UTF-8 -t GBK >"$work/files/地名.txt"
printf '一心一意 3\n' | iconv -f UTF-8 -t GBK >"$work/files/成语.txt"
(cd "$work/files" && run "$install/wbk.exe" import 示例.wbk 地名.txt 成语.txt >/dev/null)
check "the installed wbk.exe wrote a library" test -s "$work/files/示例.wbk"
check "示例.wbk opens in Tabrix with its 2 groups" \
  run "$probe" open "Z:${work//\//\\}\\files\\示例.wbk" 2

say "silent uninstall"
cp "$work/files/示例.wbk" "$install/我的词库.wbk"
run "$install/uninstall.exe" /S
# The uninstaller copies itself away and works from there: wait for it.
for _ in $(seq 120); do
  [ -e "$install/uninstall.exe" ] || break
  sleep 0.5
done
timeout 60 "$WINESERVER" -w >/dev/null 2>&1
for f in Tabrix.exe wbk.exe README.md LICENSE.txt uninstall.exe; do
  check "uninstalled $f" test ! -e "$install/$f"
done
check "the user's library stays" test -s "$install/我的词库.wbk"
check "nothing else is left in the folder" \
  test "$(ls -A "$install")" = "我的词库.wbk"
check "the shortcut is gone" test ! -e "$shortcut"
check "the installed programs no longer list Tabrix" \
  test -z "$(reg_value "$uninstall_key" DisplayVersion)"
check ".wbk is no longer Tabrix's file type" \
  test -z "$(reg_value 'HKLM\Software\Classes\.wbk' '')"
check "the file type is gone" \
  test -z "$(reg_value 'HKLM\Software\Classes\Tabrix.Library' '')"

if [ "$failures" -ne 0 ]; then
  echo "run-package: $failures checks failed" >&2
  exit 1
fi
say "every check passed"
exit 0
