// getCPUSpeed against the processor's own clock, measured by the test host
// over a longer interval of the performance counter.
#include <windows.h>
#include <intrin.h>

#include <cmath>
#include <cstdint>

#include "wine_test.h"

namespace {

std::int64_t counter_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Cycles per microsecond over `seconds` of the performance counter.
double reference_megahertz(double seconds) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::int64_t start = counter_now();
  std::uint64_t first = __rdtsc();
  std::int64_t end =
      start + static_cast<std::int64_t>(seconds * static_cast<double>(frequency.QuadPart));
  std::int64_t now;
  while ((now = counter_now()) < end) Sleep(1);
  std::uint64_t last = __rdtsc();
  double elapsed = static_cast<double>(now - start) / static_cast<double>(frequency.QuadPart);
  return static_cast<double>(last - first) / elapsed / 1e6;
}

using CpuSpeed = WineTest;

TEST_F(CpuSpeed, SpendsASecondAndMatchesTheProcessorsClock) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  std::int64_t before = counter_now();
  float speed = call("getCPUSpeed").float_value;
  double took =
      static_cast<double>(counter_now() - before) / static_cast<double>(frequency.QuadPart);
  double reference = reference_megahertz(4.0);

  EXPECT_GE(took, 1.0) << "the call spins a whole second";
  EXPECT_LT(took, 3.0);
  EXPECT_EQ(speed, std::floor(speed)) << "whole MHz";
  EXPECT_NEAR(speed / reference, 1.0, 0.02) << speed << " MHz against " << reference << " MHz";
}

}  // namespace
