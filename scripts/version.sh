#!/usr/bin/env bash
# version.sh: prints the version, which CMakeLists.txt's project() line holds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^project(zozudu VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "version.sh: no version in CMakeLists.txt's project()" >&2; exit 1; }
echo "$version"
