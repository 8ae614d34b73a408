#!/usr/bin/env bash
# probe.sh: installs what is missing, builds both DLLs and prints every
# method's answer on this machine, under Wine, for the 32- and the 64-bit DLL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" win32 win64
status=0
for bits in 32 64; do
  echo
  echo "== probe, $bits-bit DLL under Wine"
  (cd "$root/build/win$bits" && "$root/scripts/wine.sh" "$bits" ./zozudu_probe.exe) || status=1
done
exit $status
