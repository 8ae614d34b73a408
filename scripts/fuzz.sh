#!/usr/bin/env bash
# fuzz.sh SECONDS       runs the libFuzzer target for that long (ASan+UBSan), starting
#                       from the committed corpus tests/fuzz/corpus; what it learns is kept
#                       in build/fuzz/corpus for the next campaign, crashes in build/fuzz/crashes.
# fuzz.sh --coverage    replays build/fuzz/corpus (or the committed one) through a coverage
#                       build and prints the line coverage of the module's own folders.
# fuzz.sh --merge       folds build/fuzz/corpus into the committed corpus, keeping only
#                       inputs that add coverage.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ $# -eq 1 ] || { echo "usage: $0 SECONDS | --coverage | --merge" >&2; exit 2; }

build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1" --target module_fuzz -j"$(nproc)" >/dev/null
}

committed=tests/fuzz/corpus
work=build/fuzz/corpus

case $1 in
  --coverage)
    build fuzz-coverage
    out=build/fuzz-coverage
    inputs=$work
    [ -d "$inputs" ] || inputs=$committed
    rm -f "$out"/*.profraw
    LLVM_PROFILE_FILE="$out/fuzz-%p.profraw" "$out/tests/fuzz/module_fuzz" -runs=0 "$inputs" \
      >"$out/replay.log" 2>&1
    llvm-profdata-14 merge -sparse "$out"/*.profraw -o "$out/fuzz.profdata"
    llvm-cov-14 report "$out/tests/fuzz/module_fuzz" -instr-profile="$out/fuzz.profdata" \
      app bridge registry shell sysinfo
    ;;
  --merge)
    build fuzz
    [ -d "$work" ] || { echo "fuzz.sh: no $work to merge; run a campaign first" >&2; exit 1; }
    mkdir -p "$committed"
    build/fuzz/tests/fuzz/module_fuzz -merge=1 "$committed" "$work"
    ;;
  *)
    seconds=$1
    case $seconds in *[!0-9]*|'') echo "fuzz.sh: SECONDS must be a number" >&2; exit 2 ;; esac
    build fuzz
    mkdir -p "$work" build/fuzz/crashes
    # -timeout: a call that spins (the clock measurement on a stalled counter) is a finding too.
    build/fuzz/tests/fuzz/module_fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix=build/fuzz/crashes/ \
      "$work" "$committed"
    ;;
esac
