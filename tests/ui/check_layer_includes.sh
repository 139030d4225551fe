#!/bin/sh
# Fails when the layering of the user interface is broken:
# - nothing of ui/ above the back ends includes a window system's headers (only
#   the X11 and Win32 back-end sources under ui/backend/ may);
# - the host shell, the processing code and the preset records include nothing
#   of ui/.
# Usage: check_layer_includes.sh <source root>
root=$1
if [ -z "$root" ] || [ ! -d "$root/ui" ]; then
  echo "usage: check_layer_includes.sh <source root>" >&2
  exit 2
fi
status=0
include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]'

platform=$(find "$root/ui" -type f \( -name '*.h' -o -name '*.cpp' \) \
  ! -path "$root/ui/backend/x11*" ! -path "$root/ui/backend/win32*" -print0 |
  xargs -0 grep -HnE "$include(X11/|windows\.h|Windows\.h|winuser\.h|xcb/)" 2>/dev/null)
if [ -n "$platform" ]; then
  echo "$platform"
  echo "window-system headers above the back ends"
  status=1
fi

below=$(for d in host dsp; do [ -d "$root/$d" ] && find "$root/$d" -type f \( -name '*.h' -o -name '*.cpp' \); done
        find "$root/presets" -maxdepth 1 -type f -name 'records.*' 2>/dev/null)
if [ -n "$below" ]; then
  found=$(echo "$below" | tr '\n' '\0' | xargs -0 grep -HnE "$include(\.\./)*ui/" 2>/dev/null)
  if [ -n "$found" ]; then
    echo "$found"
    echo "ui/ included below the user interface"
    status=1
  fi
fi
[ $status -eq 0 ] && echo "the user-interface layering holds"
exit $status
