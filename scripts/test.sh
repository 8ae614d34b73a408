#!/usr/bin/env bash
# test.sh: installs what is missing, builds every target and runs all tiers:
# unit tests on the host (also under ASan+UBSan), the real JVM, the DLLs'
# export tables, the Windows test host under Wine for both DLLs, a bounded
# fuzzing run, the source format, and the release in dist/.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh" || exit 1
"$root/scripts/build.sh" || exit 1

passed=0
failed=0
tier() {
  local name=$1
  shift
  echo
  echo "== $name"
  if "$@"; then
    passed=$((passed + 1))
    echo "-- $name: passed"
  else
    failed=$((failed + 1))
    echo "-- $name: FAILED"
  fi
}

tier "unit and JVM tests (ctest)" ctest --test-dir build/host --output-on-failure -j2
tier "unit tests under ASan+UBSan" build/host-sanitize/tests/unit/unit_tests --gtest_brief=1
tier "version block and icon of both DLLs (pefile)" /usr/bin/python3 tests/pe/check_resources.py \
  build/win32/zozudu.dll build/win64/zozudu.dll
for bits in 32 64; do
  tier "export table, $bits-bit DLL" /usr/bin/python3 tests/pe/check_exports.py \
    "build/win$bits/zozudu.dll" bridge/methods.tsv "$bits"
  tier "Wine tests, $bits-bit DLL" \
    tests/wine/run.sh "$bits"
  # The shortcuts those tests left behind, read back by an independent reader.
  tier "shortcut files, $bits-bit DLL (lnkinfo)" \
    /usr/bin/python3 tests/wine/check_links.py "build/win$bits/shortcut-links"
done

# A bounded fuzzing run over the committed corpus; longer campaigns: scripts/fuzz.sh SECONDS.
tier "fuzzing, 60 s (libFuzzer, ASan+UBSan)" scripts/fuzz.sh 60
tier "source format (clang-format)" scripts/check-format.sh

# The release from the DLLs just built, and its independent check.
tier "release into dist/ (release.sh)" scripts/release.sh
tier "release check (jars, pom, SHA256SUMS, Maven install)" /usr/bin/python3 tests/release/check_release.py dist

echo
echo "tiers: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
