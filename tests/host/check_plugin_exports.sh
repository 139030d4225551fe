#!/bin/sh
# Checks one plug-in library: VSTPluginMain and main are exported, and a Windows
# DLL imports nothing but DLLs that every Windows installation has.
set -u
lib=$1
fail() { echo "FAIL: $lib: $*"; exit 1; }
[ -f "$lib" ] || fail "missing"
case "$lib" in
  *.dll)
    dump=$(x86_64-w64-mingw32-objdump -p "$lib") || fail "objdump failed"
    exports=$(echo "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
    echo "$exports" | grep -qE '\[ *[0-9]+\] VSTPluginMain$' || fail "VSTPluginMain not exported"
    echo "$exports" | grep -qE '\[ *[0-9]+\] main$' || fail "main not exported"
    imports=$(echo "$dump" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    [ -n "$imports" ] || fail "no import table found"
    for dll in $imports; do
      case "$dll" in
        kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|msvcrt.dll|shell32.dll|ole32.dll|\
        comdlg32.dll|comctl32.dll|gdiplus.dll|shlwapi.dll|uuid.dll|oleaut32.dll|msimg32.dll|\
        api-ms-win-*) ;;
        *) fail "imports $dll, which is not a system DLL" ;;
      esac
    done
    echo "imports: $imports" | tr '\n' ' '; echo
    ;;
  *)
    syms=$(nm -D --defined-only "$lib") || fail "nm failed"
    echo "$syms" | grep -qE ' T VSTPluginMain$' || fail "VSTPluginMain not exported"
    echo "$syms" | grep -qE ' [TtWi] main$' || fail "main not exported"
    ;;
esac
echo "OK: $lib"
