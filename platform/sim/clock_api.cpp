// The performance counter and the time-stamp counter, each advancing by its
// staged step on every read.
#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::QueryPerformanceFrequency)) return FALSE;
  frequency->QuadPart = sim::machine().clock.frequency;
  return TRUE;
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* count) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::count_call(sim::Op::QueryPerformanceCounter)) return FALSE;
  auto& clock = sim::machine().clock;
  ++clock.counter_reads;
  clock.last_counter_read = clock.counter;
  count->QuadPart = clock.counter;
  if (!clock.counter_stops_at || clock.counter < *clock.counter_stops_at) {
    clock.counter = static_cast<std::int64_t>(static_cast<std::uint64_t>(clock.counter) +
                                              static_cast<std::uint64_t>(clock.counter_step));
  }
  return TRUE;
}

std::uint64_t read_time_stamp_counter() {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long bogus = 0;
  if (sim::log_call(sim::Op::read_time_stamp_counter, "", &bogus)) {
    return static_cast<std::uint64_t>(bogus);
  }
  auto& clock = sim::machine().clock;
  clock.counter_at_stamp.push_back(clock.last_counter_read);
  std::uint64_t stamp = clock.time_stamp;
  clock.time_stamp += clock.time_stamp_step;
  return stamp;
}

}  // namespace win
