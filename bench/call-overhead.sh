#!/usr/bin/env bash
# call-overhead.sh [32|64|both] [rounds] [batch ms]
# Runs the per-call overhead benchmark of build/win32 and/or build/win64
# under Wine: each cheap method's DLL entry point against the same platform
# calls made directly (figures, not a test).
set -euo pipefail
which=${1:-both}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
case $which in
  32|64) arches=$which ;;
  both) arches="32 64" ;;
  *) echo "usage: $0 [32|64|both] [rounds] [batch ms]" >&2; exit 2 ;;
esac
for arch in $arches; do
  cd "$root/build/win$arch"
  "$root/scripts/wine.sh" "$arch" ./zozudu_call_overhead_bench.exe zozudu.dll "$@"
  echo
done
