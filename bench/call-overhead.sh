#!/usr/bin/env bash
# call-overhead.sh [32|64|both] [rounds] [batch ms]
# Runs the per-call overhead benchmark of build/win32 and/or build/win64
# under Wine: each cheap method's DLL entry point against the same platform
# calls made directly (figures, not a test). Under Xvfb, when there is one,
# so that the display calls go to an X server as on a desktop rather than to
# Wine's no-display fallback.
set -euo pipefail
which=${1:-both}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
case $which in
  32|64) arches=$which ;;
  both) arches="32 64" ;;
  *) echo "usage: $0 [32|64|both] [rounds] [batch ms]" >&2; exit 2 ;;
esac
display=()
if command -v xvfb-run >/dev/null; then display=(xvfb-run -a -s "-screen 0 1280x1024x24"); fi
for arch in $arches; do
  cd "$root/build/win$arch"
  "${display[@]}" "$root/scripts/wine.sh" "$arch" ./zozudu_call_overhead_bench.exe zozudu.dll "$@"
  echo
done
