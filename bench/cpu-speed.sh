#!/usr/bin/env bash
# cpu-speed.sh [32|64]
# Runs the getCPUSpeed benchmark of build/win32 or build/win64 under Wine and
# sets its results against the kernel's TSC calibration, when the kernel log
# or /proc/cpuinfo tells it, as well as against a 10-second measurement.
set -euo pipefail
arch=${1:-64}
root=$(cd "$(dirname "$0")/.." && pwd)
# The refined calibration when there is one, else the first detection, else
# the processor's nominal rate.
kernel_mhz=$( (dmesg 2>/dev/null || true) | sed -n \
  -e 's/.*Refined TSC clocksource calibration: \([0-9.]*\) MHz.*/\1/p' \
  -e 's/.*tsc: Detected \([0-9.]*\) MHz.*/\1/p' | tail -n 1)
if [ -z "$kernel_mhz" ]; then
  kernel_mhz=$(sed -n 's/^cpu MHz[[:space:]]*: \([0-9.]*\)/\1/p' /proc/cpuinfo | head -n 1)
fi
echo "kernel's rate: ${kernel_mhz:-unknown} MHz"
cd "$root/build/win$arch"
exec "$root/scripts/wine.sh" "$arch" ./zozudu_cpu_speed_bench.exe zozudu.dll "${kernel_mhz:-0}"
