#!/bin/sh
# Fails when a file under the given signal-processing folder includes anything
# from the host shell, the platform layer, the editors or the Windows API:
# the processing code must build and run without them.
# Usage: check_dsp_includes.sh <folder>
dir=$1
if [ -z "$dir" ] || [ ! -d "$dir" ]; then
  echo "usage: check_dsp_includes.sh <folder>" >&2
  exit 2
fi
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](\.\./)*((host|platform|ui|controls|presets|products)/|windows\.h[>"])'
found=$(grep -rniE --include='*.h' --include='*.hpp' --include='*.cpp' --include='*.cc' --include='*.c' "$pattern" "$dir")
if [ -n "$found" ]; then
  echo "$found"
  count=$(printf '%s\n' "$found" | wc -l | tr -d ' ')
  echo "found $count forbidden include(s) in $dir"
  exit 1
fi
echo "no forbidden includes in $dir"
exit 0
