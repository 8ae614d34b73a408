#!/usr/bin/env bash
# wine.sh 32|64 PROGRAM.exe [ARGS...]
# Runs a Windows program under Wine in the build tree's own prefix, with no
# Mono or Gecko prompts and no debug chatter, and returns its exit code.
set -euo pipefail
arch=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${ZOZUDU_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=${LANG:-en_US.UTF-8}
case "$arch" in
  64) exec /usr/lib/wine/wine64 "$@" ;;
  32) exec wine "$@" ;;
  *) echo "wine.sh: the first argument is 32 or 64" >&2; exit 2 ;;
esac
