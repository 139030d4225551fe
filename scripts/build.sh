#!/bin/sh
# Installs the dependencies, builds both presets and installs the Linux
# plug-ins into ~/.vst.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
for preset in linux win64; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
mkdir -p "$HOME/.vst"
found=0
for plugin in build/linux/plugins/*.so; do
  [ -e "$plugin" ] || continue
  cp "$plugin" "$HOME/.vst/"
  echo "installed $HOME/.vst/$(basename "$plugin")"
  found=1
done
[ "$found" -eq 1 ] || echo "no plug-ins built yet"
