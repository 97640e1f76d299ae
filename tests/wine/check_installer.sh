#!/usr/bin/env bash
# usage: check_installer.sh SETUP NAME VERSION PUBLISHER, sourced by run_wine_check.sh with
# the display and a fresh prefix ready: install, uninstall, and install over an install.
set -uo pipefail

failures=0
expect() {
  if "${@:2}"; then echo "ok: $1"; else
    echo "FAIL: $1"
    failures=$((failures + 1))
  fi
}

desktop='HKCU\Control Panel\Desktop'
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
installed='C:\windows\system32\Quelvo.scr'

# The data of a registry value, or "<none>".
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -F'    ' -v n="$2" '$2 == n {print $4; found = 1} END {if (!found) print "<none>"}'
}
value_is() { [ "$(reg_value "$1" "$2")" = "$3" ]; }
fails() { ! "$@"; }
no_key() { ! wine reg query "$1" >/dev/null 2>&1; }

uninstall_silently() {
  local quiet=$(reg_value "$key" QuietUninstallString)
  # The uninstaller runs on from a copy of itself: wait for the prefix to fall idle.
  wine "$(winepath -u "$(sed 's/^"\([^"]*\)".*/\1/' <<<"$quiet")")" /S && wineserver -w
}

# while_locked FILE COMMAND...: COMMAND's status, run while a helper holds FILE open
# without sharing (as a running saver or settings preview may).
while_locked() {
  local fifo=$WINEPREFIX/lock.fifo out=$WINEPREFIX/lock.out holder status
  rm -f "$fifo" "$out" && mkfifo "$fifo"
  wine "$host" lock "$1" <"$fifo" >"$out" &
  holder=$!
  exec 8>"$fifo"
  poll 10 grep -q locked "$out"
  "${@:2}"
  status=$?
  exec 8>&-
  wait $holder
  return $status
}

setup=$1 name=$2 version=$3 publisher=$4 key="$uninstall_root\\Quelvo"
sys32=$WINEPREFIX/drive_c/windows/system32
wine reg delete "$desktop" /v SCRNSAVE.EXE /f >/dev/null 2>&1 || true
wine reg add "$desktop" /v ScreenSaveActive /d 0 /f >/dev/null 2>&1

expect "it asks for administrator rights" grep -qa 'level="requireAdministrator"' "$setup"
expect "the silent install succeeds" wine "$setup" /S
expect "Quelvo.scr is in the 64-bit System32, as built" cmp -s "$sys32/Quelvo.scr" "$scr"
expect "and not in SysWOW64" test ! -e "$WINEPREFIX/drive_c/windows/syswow64/Quelvo.scr"
expect "it is the user's screen saver" value_is "$desktop" SCRNSAVE.EXE "$installed"
expect "ScreenSaveActive is 1" value_is "$desktop" ScreenSaveActive 1
expect "DisplayName is $name" value_is "$key" DisplayName "$name"
expect "DisplayVersion is $version" value_is "$key" DisplayVersion "$version"
expect "Publisher is $publisher" value_is "$key" Publisher "$publisher"
expect "DisplayIcon is the installed file" value_is "$key" DisplayIcon "$installed,0"
uninstaller=$(reg_value "$key" UninstallString)
expect "UninstallString names an uninstaller that is there" \
  test -f "$(winepath -u "${uninstaller//\"/}")"
expect "QuietUninstallString is it with /S" value_is "$key" QuietUninstallString "$uninstaller /S"
size=$(reg_value "$key" EstimatedSize)
size=$((${size/<none>/0}))
expect "EstimatedSize covers Quelvo.scr ($size KiB)" test "$size" -ge $(($(stat -c %s "$scr") / 1024))
expect "the installed Quelvo.scr /c shows the about box" wine "$host" about "$installed" /c close

# An upgrade while an older Quelvo.scr is held open fails and leaves that version.
cp "$host" "$sys32/Quelvo.scr" && wine reg add "$key" /v DisplayVersion /d 0.9 /f >/dev/null
expect "a silent upgrade over a Quelvo.scr in use fails" fails while_locked "$installed" wine "$setup" /S
expect "and leaves the old file" cmp -s "$sys32/Quelvo.scr" "$host"
expect "and the old version" value_is "$key" DisplayVersion 0.9
expect "an upgrade once it is free succeeds" sh -c 'wine "$1" /S && cmp -s "$2" "$3"' - \
  "$setup" "$sys32/Quelvo.scr" "$scr"
# In place (_?=, spaceless, last), the uninstaller's own status; else it runs on from a copy.
uninstaller_dir=$(winepath -s "$(sed 's/^"\(.*\)\\[^\\]*"$/\1/' <<<"$uninstaller")")
expect "a silent uninstall with Quelvo.scr in use fails" fails while_locked "$installed" \
  wine "$(winepath -u "${uninstaller//\"/}")" /S "_?=$uninstaller_dir"
expect "and keeps Quelvo.scr and its uninstall entry" \
  sh -c 'test -e "$1" && wine reg query "$2" >/dev/null 2>&1' - "$sys32/Quelvo.scr" "$key"

expect "the silent uninstall runs" uninstall_silently
expect "it removes Quelvo.scr" test ! -e "$sys32/Quelvo.scr"
expect "and the uninstall key" no_key "$key"
expect "and SCRNSAVE.EXE, there was none" value_is "$desktop" SCRNSAVE.EXE "<none>"
expect "ScreenSaveActive is 0 again, as before" value_is "$desktop" ScreenSaveActive 0

previous='C:\windows\system32\previous.scr'
wine reg add "$desktop" /v SCRNSAVE.EXE /d "$previous" /f >/dev/null 2>&1
expect "a second install over the first succeeds" sh -c 'wine "$1" /S && wine "$1" /S' - "$setup"
entries=$(wine reg query "$uninstall_root" /s 2>/dev/null | grep -c "DisplayName    REG_SZ    $name" || true)
expect "it leaves one uninstall entry ($entries)" test "$entries" = 1
expect "the silent uninstall runs" uninstall_silently
expect "it gives back the saver from before the first install" \
  value_is "$desktop" SCRNSAVE.EXE "$previous"
return $failures
