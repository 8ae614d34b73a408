#!/usr/bin/env bash
# check-format.sh: fails when a C or C++ source of the project differs from
# what .clang-format makes of it. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h' '*.c')
clang-format --dry-run -Werror "${sources[@]}"
echo "check-format: ${#sources[@]} files as .clang-format has them"
