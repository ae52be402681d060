#!/usr/bin/env bash
# Runs one Windows program under Wine, headless, in a private prefix.
# Usage: wine-run.sh LOADER PREFIX PROGRAM [ARGS...]
# The prefix is created on first use (about 15 s) and reused afterwards.
set -u
loader=$1 prefix=$2
shift 2
export WINEPREFIX=$prefix WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# A crash must end the program at once, not wait in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$prefix/.ready" ]; then
  mkdir -p "$prefix"
  (
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
      "$loader" wineboot -i >/dev/null 2>&1
      # Null graphics driver: windows and message boxes work without a display.
      "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
      wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w 2>/dev/null
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
fi
exec "$loader" "$@"
