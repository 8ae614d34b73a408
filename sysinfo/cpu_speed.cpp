// getCPUSpeed.
#include <cstdint>

#include "method_table.h"
#include "platform/win.h"

namespace {

// A performance counter that gives the same reading this many times in a row
// is taken as stopped. A working one changes far sooner: even a 1 kHz counter
// read every 20 ns changes within 50,000 reads, and 2^24 reads take a third
// of a second at that pace. Counting reads, not time, keeps a second clock
// out of the loop.
constexpr std::uint32_t stopped_counter_reads = 1u << 24;

// Counts the processor's cycles over one second of the performance counter
// and writes whole megahertz into `result`: 0 when the counter reports no
// frequency or stops. The second is taken as exactly one: the overshoot past
// the target is not corrected for, and the fraction of a MHz is dropped.
void measure_cpu_speed(jfloat& result) {
  LARGE_INTEGER frequency{};
  LARGE_INTEGER start{};
  LARGE_INTEGER count{};
  win::QueryPerformanceFrequency(&frequency);
  if (frequency.QuadPart <= 0) {
    result = 0;
    return;
  }
  win::QueryPerformanceCounter(&start);
  const std::int64_t target = start.QuadPart + frequency.QuadPart;
  const std::uint64_t first_stamp = win::read_time_stamp_counter();
  std::int64_t previous = start.QuadPart;
  std::uint32_t unchanged = 0;
  do {
    win::QueryPerformanceCounter(&count);
    if (count.QuadPart != previous) {
      previous = count.QuadPart;
      unchanged = 0;
    } else if (++unchanged == stopped_counter_reads) {
      result = 0;
      return;
    }
  } while (count.QuadPart <= target);
  const std::uint64_t last_stamp = win::read_time_stamp_counter();
  const std::int64_t megahertz = static_cast<std::int64_t>(last_stamp - first_stamp) / 1000000;
  result = static_cast<jfloat>(megahertz);
}

}  // namespace

// The processor's clock in whole MHz, measured over one second of spinning on
// the caller's thread; 0 when the platform's performance counter is unusable.
jfloat JNICALL Java_qav_Native_getCPUSpeed(JNIEnv*, jobject) {
  jfloat megahertz = 0;
  measure_cpu_speed(megahertz);
  return megahertz;
}
