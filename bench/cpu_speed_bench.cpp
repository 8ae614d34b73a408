// Benchmark, not a test: how close getCPUSpeed comes to the processor's clock
// and how long it takes. Loads zozudu.dll as the JVM would, calls the method a
// few times, and sets each result against a 10-second measurement of the
// time-stamp counter over the performance counter and, when given, a
// reference rate in MHz (the kernel's TSC calibration, passed in by
// bench/cpu-speed.sh).
#include <windows.h>
#include <intrin.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fake_jni.h"
#include "native_module.h"

namespace {

double seconds_since(std::int64_t start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart - start) / static_cast<double>(frequency.QuadPart);
}

std::int64_t counter_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double long_measurement_mhz(double seconds) {
  std::int64_t start = counter_now();
  std::uint64_t first = __rdtsc();
  double elapsed;
  while ((elapsed = seconds_since(start)) < seconds) Sleep(10);
  std::uint64_t last = __rdtsc();
  return static_cast<double>(last - first) / elapsed / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll = argc > 1 ? argv[1] : "zozudu.dll";
  double kernel_mhz = argc > 2 ? std::atof(argv[2]) : 0;
  testhost::NativeModule module(dll);
  if (!module.loaded()) {
    std::printf("cpu speed bench: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
    return 1;
  }
  double reference = long_measurement_mhz(10.0);
  std::printf("reference, 10-second measurement: %10.3f MHz\n", reference);
  if (kernel_mhz > 0) {
    std::printf("reference, kernel TSC calibration: %9.3f MHz\n", kernel_mhz);
  }
  std::printf("\n%-5s %12s %10s %14s%s\n", "call", "getCPUSpeed", "duration", "ratio (10 s)",
              kernel_mhz > 0 ? "  ratio (kernel)" : "");
  for (int i = 1; i <= 3; ++i) {
    fakejni::Env java;
    std::int64_t start = counter_now();
    float speed = module.call(java.jni(), "getCPUSpeed", {}).float_value;
    double took = seconds_since(start);
    std::printf("%-5d %8.1f MHz %8.4f s %14.5f", i, static_cast<double>(speed), took,
                speed / reference);
    if (kernel_mhz > 0) std::printf(" %16.5f", speed / kernel_mhz);
    std::printf("\n");
  }
  return 0;
}
