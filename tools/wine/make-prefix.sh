#!/bin/sh
# Creates the wine prefix of one build once, with the crash debugger disabled so
# that a crashing test ends at once with a failure, and starts a wine server
# that outlives the test programs.
set -e
prefix=$1
export WINEPREFIX="$prefix" WINEDEBUG=-all
if [ ! -f "$prefix/.jyx-ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1 </dev/null || true
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1 </dev/null
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 1 /f >/dev/null 2>&1 </dev/null
  wineserver -w
  touch "$prefix/.jyx-ready"
fi
# A persistent server with its descriptors closed: the test programs connect to
# it instead of each starting one of their own.
wineserver -p >/dev/null 2>&1 </dev/null
exit 0
