#!/usr/bin/env bash
# run.sh 32|64: runs the Windows test host against build/win<bits>/zozudu.dll
# under Wine. A run counts as passed only when the host said so at its end: a
# process that dies midway may still leave Wine with exit code 0.
set -uo pipefail
bits=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root/build/win$bits" || exit 1
rm -rf shortcut-links
log=wine-tests.log
# Under Xvfb at a known screen size, with a floppy-type and a CD-ROM drive staged.
timeout 900 "$root/tests/wine/run-wine-tests.sh" "$bits" --gtest_brief=1 >"$log" 2>&1 </dev/null
status=$?
cat "$log"
if [ $status -ne 0 ] || ! grep -Eq '^\[  PASSED  \] [0-9]+ tests?\.' "$log" || grep -q 'FAILED' "$log"; then
  echo "run.sh: the $bits-bit Wine tests did not all pass (exit code $status)" >&2
  exit 1
fi
