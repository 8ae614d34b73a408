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
// frequency, stops or runs backwards, or when the time-stamp counter reads
// lower at the end than at the start. The second is taken as exactly one: the
// overshoot past the target is not corrected for, and the fraction of a MHz
// is dropped.
//
// Counter readings are compared by their unsigned differences, which wrap as
// the registers do, so that no reading or frequency can overflow the
// arithmetic: a wait that starts near INT64_MAX, or lasts INT64_MAX counts,
// still measures one second.
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
  const std::uint64_t one_second = static_cast<std::uint64_t>(frequency.QuadPart);
  const std::uint64_t first_stamp = win::read_time_stamp_counter();
  const std::uint64_t started = static_cast<std::uint64_t>(start.QuadPart);
  std::uint64_t previous = started;
  std::uint64_t elapsed = 0;
  std::uint32_t unchanged = 0;
  do {
    win::QueryPerformanceCounter(&count);
    const std::uint64_t reading = static_cast<std::uint64_t>(count.QuadPart);
    const std::uint64_t step = reading - previous;
    if (step > static_cast<std::uint64_t>(INT64_MAX)) {  // lower than the last reading
      result = 0;
      return;
    }
    if (step != 0) {
      previous = reading;
      unchanged = 0;
    } else if (++unchanged == stopped_counter_reads) {
      result = 0;
      return;
    }
    // Each step is below 2^63 and the wait ends once past one second
    // (at most INT64_MAX counts), so this sum of steps never wraps.
    elapsed = reading - started;
  } while (elapsed <= one_second);
  const std::uint64_t last_stamp = win::read_time_stamp_counter();
  if (last_stamp < first_stamp) {
    result = 0;
    return;
  }
  result = static_cast<jfloat>((last_stamp - first_stamp) / 1000000);
}

}  // namespace

// The processor's clock in whole MHz, measured over one second of spinning on
// the caller's thread; 0 when the platform's performance counter is unusable
// or the processor's cycle count went backwards.
jfloat JNICALL Java_qav_Native_getCPUSpeed(JNIEnv*, jobject) {
  jfloat megahertz = 0;
  measure_cpu_speed(megahertz);
  return megahertz;
}
