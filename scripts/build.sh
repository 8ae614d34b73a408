#!/usr/bin/env bash
# build.sh [PRESET...]: configures and builds the given presets (all four by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(host host-sanitize win32 win64)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j"$(nproc)"
done
