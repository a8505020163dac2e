#!/bin/bash
# tests/package/run-package.sh SETUP_EXE ZIP PROBE_EXE VERSION WORK_DIR
#
# The Windows packages as a user meets them, in a fresh Wine prefix of its own
# (WORK_DIR/wineprefix, zh_CN.UTF-8) on a private Xvfb:
#   - the zip holds Tabrix.exe, wbk.exe, README.md and LICENSE.txt in one folder;
#   - the installer, run silently (/S) for all users, puts those files, its
#     uninstaller, a Start-menu shortcut, an entry in the installed programs
#     and the .wbk file type in place; the installed wbk.exe and Tabrix.exe
#     carry VERSION (--version, their properties, the About box);
#   - a .wbk opened the way Windows opens it shows its groups in Tabrix;
#   - the entry's quiet uninstaller removes all of it, and nothing else: a
#     library the user saved in the program's folder stays;
#   - the same for the current user only (/CurrentUser), into a folder given
#     with /D=, where an install over it without /D= goes too; when another
#     program has taken .wbk over meanwhile, the uninstaller leaves .wbk to it.
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
# The registry is read through the probe, many keys in one process:
# snapshot KEY... reads the keys' string values into $work/registry.txt, and
# reg_value, in_snapshot and value_is look them up there.
snapshot() {
  run "$probe" registry "$@" | tr -d '\r' >"$work/registry.txt"
}
reg_value() {  # reg_value KEY NAME: the value's data ('' names the key's default value)
  awk -F'\t' -v key="$1" -v name="$2" \
    'NF >= 3 && tolower($1) == tolower(key) && tolower($2) == tolower(name) { print $3; exit }' \
    "$work/registry.txt"
}
in_snapshot() { awk -F'\t' -v key="$1" 'NF == 1 && tolower($1) == tolower(key) { found = 1 } END { exit !found }' "$work/registry.txt"; }
not_in_snapshot() { ! in_snapshot "$1"; }
# The key exists now (read at once, for waiting on a change).
has_key() { run "$probe" registry "$1" | tr -d '\r' | grep -qxF "$1"; }
no_key() { ! has_key "$1"; }
value_is() {  # value_is KEY NAME EXPECTED
  local actual
  actual=$(reg_value "$1" "$2")
  [ "$actual" = "$3" ] || {
    echo "run-package: $1 ${2:-(default)} is \"$actual\", not \"$3\"" >&2
    return 1
  }
}
# The Start-menu shortcut under drive_c/$1 (ProgramData for all users, users
# for one user).
shortcut_of() {
  find "$WINEPREFIX/drive_c/$1" -path '*/Start Menu/Programs/Tabrix.lnk' 2>/dev/null | head -1
}
# The shortcut $1 leads to $2 (a Windows path): a shell link keeps its
# target's path as a Unicode string.
shortcut_leads_to() {
  python3 -c 'import sys; sys.exit(sys.argv[2].encode("utf-16-le") not in open(sys.argv[1], "rb").read())' \
    "$1" "$2"
}
# Waits up to $1 half seconds for the command to succeed.
wait_until() {
  local n=$1
  shift
  until "$@"; do
    n=$((n - 1))
    [ "$n" -gt 0 ] || return 1
    sleep 0.5
  done
}
# A command line started as it is, as Windows starts one (the installer takes
# /D= unquoted, spaces and all).
run_line() { run "$probe" run "$1"; }
# quiet_uninstall ENTRY CLASSES FOLDER: runs the entry's QuietUninstallString
# as Windows does, then waits for its end: the uninstaller copies itself away
# and works from there, and its last step removes the file type's key under
# CLASSES.
quiet_uninstall() {
  local line
  snapshot "$1"
  line=$(reg_value "$1" QuietUninstallString)
  [ -n "$line" ] || return 1
  run_line "$line" || return 1
  wait_until 120 test ! -e "$3/uninstall.exe" && wait_until 60 no_key "$2\\Tabrix.Library"
}
files=(Tabrix.exe wbk.exe README.md LICENSE.txt uninstall.exe)

say "silent install for all users"
check "the installer ends with status 0" run "$setup" /S
install="$WINEPREFIX/drive_c/Program Files/Tabrix"
winstall='C:\Program Files\Tabrix'
for f in "${files[@]}"; do
  check "installed $f" test -f "$install/$f"
done
shortcut=$(shortcut_of ProgramData)
check "a Start-menu shortcut for all users" test -n "$shortcut"
check "the shortcut leads to the installed Tabrix.exe" \
  shortcut_leads_to "$shortcut" "$winstall\\Tabrix.exe"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabrix'
snapshot "$entry" 'HKCR\.wbk' 'HKCR\Tabrix.Library' 'HKCR\Tabrix.Library\DefaultIcon' \
  'HKCR\Tabrix.Library\shell\open\command'
while IFS='|' read -r name expected; do
  check "the installed programs' entry: $name" value_is "$entry" "$name" "$expected"
done <<END
DisplayName|Tabrix 青柚输入法词库编辑器
DisplayVersion|$version
Publisher|Tabrix
DisplayIcon|$winstall\\Tabrix.exe,0
InstallLocation|$winstall
UninstallString|"$winstall\\uninstall.exe" /AllUsers
QuietUninstallString|"$winstall\\uninstall.exe" /AllUsers /S
END
while IFS='|' read -r key expected; do
  check "the file type: HKCR\\$key" value_is "HKCR\\$key" '' "$expected"
done <<END
.wbk|Tabrix.Library
Tabrix.Library|青柚云笺词库文件
Tabrix.Library\\DefaultIcon|$winstall\\Tabrix.exe,0
Tabrix.Library\\shell\\open\\command|"$winstall\\Tabrix.exe" "%1"
END

say "the installed programs"
check "wbk.exe --version says $version" \
  grep -qx "wbk $version" <<<"$(run "$install/wbk.exe" --version | tr -d '\r')"
check "Tabrix.exe's version resource says $version" \
  run "$probe" version "$winstall\\Tabrix.exe" "$version" 青柚输入法词库编辑器
check "wbk.exe's version resource says $version" \
  run "$probe" version "$winstall\\wbk.exe" "$version" 青柚输入法词库命令行工具

say "a library opened the way Windows opens it"
mkdir -p "$work/files"
printf '北京 9\n上海 5\n' | iconv -f UTF-8 -t GBK >"$work/files/地名.txt"
printf '一心一意 3\n' | iconv -f UTF-8 -t GBK >"$work/files/成语.txt"
(cd "$work/files" && run "$install/wbk.exe" import 示例.wbk 地名.txt 成语.txt >/dev/null)
check "the installed wbk.exe wrote a library" test -s "$work/files/示例.wbk"
check "示例.wbk opens in Tabrix with its 2 groups; its About box says $version" \
  run "$probe" open "Z:${work//\//\\}\\files\\示例.wbk" 2 "$version"

say "silent uninstall for all users"
cp "$work/files/示例.wbk" "$install/我的词库.wbk"
check "the quiet uninstaller ends" quiet_uninstall "$entry" 'HKLM\Software\Classes' "$install"
for f in "${files[@]}"; do
  check "uninstalled $f" test ! -e "$install/$f"
done
check "the user's library stays" test -s "$install/我的词库.wbk"
check "nothing else is left in the folder" test "$(ls -A "$install")" = "我的词库.wbk"
check "the shortcut is gone" test ! -e "$shortcut"
snapshot "$entry" 'HKLM\Software\Classes\.wbk' 'HKLM\Software\Classes\Tabrix.Library'
check "the installed programs no longer list Tabrix" not_in_snapshot "$entry"
check ".wbk is no longer Tabrix's file type" value_is 'HKLM\Software\Classes\.wbk' '' ''
check "the file type is gone" not_in_snapshot 'HKLM\Software\Classes\Tabrix.Library'

say "silent install for the current user, into a folder of its own"
mine="$WINEPREFIX/drive_c/我的 工具/Tabrix"
wmine='C:\我的 工具\Tabrix'
check "the installer ends with status 0" \
  run_line "\"Z:${setup//\//\\}\" /S /CurrentUser /D=$wmine"
for f in "${files[@]}"; do
  check "installed $f in $wmine" test -f "$mine/$f"
done
check "nothing went to Program Files" test ! -e "$install/Tabrix.exe"
shortcut=$(shortcut_of users)
check "a Start-menu shortcut for the user" test -n "$shortcut"
check "the shortcut leads to the installed Tabrix.exe" \
  shortcut_leads_to "$shortcut" "$wmine\\Tabrix.exe"
user_entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabrix'
snapshot "$user_entry" "$entry" 'HKCU\Software\Classes\.wbk' \
  'HKCU\Software\Classes\Tabrix.Library\shell\open\command'
check "the user's installed programs list Tabrix $version" \
  value_is "$user_entry" DisplayVersion "$version"
check "the entry's quiet uninstaller is the user's" \
  value_is "$user_entry" QuietUninstallString "\"$wmine\\uninstall.exe\" /CurrentUser /S"
check "nothing in the machine's installed programs" not_in_snapshot "$entry"
check ".wbk is Tabrix's file type for the user" \
  value_is 'HKCU\Software\Classes\.wbk' '' Tabrix.Library
check "a .wbk opens in the user's Tabrix.exe" \
  value_is 'HKCU\Software\Classes\Tabrix.Library\shell\open\command' '' \
  "\"$wmine\\Tabrix.exe\" \"%1\""

say "installed over without /D=: the same folder"
check "the second installer ends with status 0" run "$setup" /S /CurrentUser
check "Tabrix.exe is still in $wmine" test -f "$mine/Tabrix.exe"
check "nothing went to the user's default folder" \
  test -z "$(find "$WINEPREFIX/drive_c/users" -path '*/Programs/Tabrix/Tabrix.exe' 2>/dev/null)"
snapshot "$user_entry"
check "the entry still names $wmine" value_is "$user_entry" InstallLocation "$wmine"

say "silent uninstall after another program took .wbk over"
run reg add 'HKCU\Software\Classes\.wbk' /ve /d Other.Library /f >/dev/null 2>&1
check "the quiet uninstaller ends" quiet_uninstall "$user_entry" 'HKCU\Software\Classes' "$mine"
check "the folder is gone" test ! -e "$mine"
check "the shortcut is gone" test ! -e "$shortcut"
snapshot "$user_entry" 'HKCU\Software\Classes\.wbk' 'HKCU\Software\Classes\Tabrix.Library'
check "the user's installed programs no longer list Tabrix" not_in_snapshot "$user_entry"
check ".wbk stays the other program's" value_is 'HKCU\Software\Classes\.wbk' '' Other.Library
check "Tabrix's file type is gone" not_in_snapshot 'HKCU\Software\Classes\Tabrix.Library'

if [ "$failures" -ne 0 ]; then
  echo "run-package: $failures checks failed" >&2
  exit 1
fi
say "every check passed"
exit 0
