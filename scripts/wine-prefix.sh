#!/usr/bin/env bash
# wine-prefix.sh: makes $WINEPREFIX ready for unattended tests, once (concurrent callers wait).
# The prefix is always created by the native 64-bit loader (seconds); 32-bit programs then
# run in it through wine32 without emulating the prefix set-up.
set -euo pipefail
: "${WINEPREFIX:?}"
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$WINEPREFIX/.tstools-ready" ] && exit 0
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
# A crashing test must end, not open the crash dialog or wait in a debugger.
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKLM\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
touch "$WINEPREFIX/.tstools-ready"
