#include <chrono>

#include "module_test.h"

namespace {

using CpuSpeed = ModuleTest;

// A counter of 1000 counts per second read in steps of 1: about a thousand reads per call.
void stage_counter(sim::Machine& m, std::int64_t frequency, std::int64_t step) {
  m.clock.frequency = frequency;
  m.clock.counter = 5000;
  m.clock.counter_step = step;
}

TEST_F(CpuSpeed, WholeMegahertzFromTheCyclesBetweenTheStamps) {
  stage_counter(machine(), 1000, 1);
  struct Case {
    std::uint64_t cycles;
    float megahertz;
  } cases[] = {
      {1993500000ull, 1993.0f},  // the half MHz is dropped, not rounded
      {1999999ull, 1.0f},
      {999999ull, 0.0f},
      {3600000000ull, 3600.0f},  // beyond 32 bits of cycles
      {12345678901234ull, 12345678.0f},
  };
  for (const auto& c : cases) {
    machine().clock.time_stamp = 1ull << 40;
    machine().clock.time_stamp_step = c.cycles;
    EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), c.megahertz) << c.cycles << " cycles";
  }
}

TEST_F(CpuSpeed, StampsAreTakenOnlyAroundOneWholeSecondOfTheCounter) {
  for (std::int64_t step : {1, 3, 250, 1000, 4000}) {
    sim::reset();
    stage_counter(machine(), 1000, step);
    machine().clock.time_stamp_step = 2000000000ull;
    EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), 2000.0f) << "step " << step;
    const auto& clock = machine().clock;
    ASSERT_EQ(clock.counter_at_stamp.size(), 2u) << "step " << step;
    std::int64_t start = clock.counter_at_stamp[0];
    EXPECT_EQ(start, 5000) << "the first stamp follows the start count";
    // The last stamp follows the first reading past the target, and no later one.
    EXPECT_GT(clock.counter_at_stamp[1], start + 1000) << "step " << step;
    EXPECT_LE(clock.counter_at_stamp[1] - step, start + 1000) << "step " << step;
    EXPECT_EQ(clock.counter_reads, static_cast<std::uint64_t>(1 + (1000 / step + 1)))
        << "step " << step;
  }
  EXPECT_EQ(sim::count_calls("QueryPerformanceFrequency"), 1);
  EXPECT_EQ(sim::count_calls("read_time_stamp_counter"), 2);
}

TEST_F(CpuSpeed, AZeroFrequencyGivesZeroWithoutWaiting) {
  stage_counter(machine(), 0, 1);
  EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), 0.0f);
  EXPECT_EQ(machine().clock.counter_reads, 0u);
  sim::fail(sim::Op::QueryPerformanceFrequency);  // nothing written: taken as 0
  EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), 0.0f);
}

TEST_F(CpuSpeed, ACounterThatNeverAdvancesEndsTheWaitWithZero) {
  stage_counter(machine(), 10000000, 0);
  auto began = std::chrono::steady_clock::now();
  EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), 0.0f);
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(60));
  EXPECT_EQ(machine().clock.counter_reads, 1u + (1u << 24)) << "gives up after 2^24 equal reads";
}

TEST_F(CpuSpeed, ACounterThatStopsHalfwayEndsTheWaitToo) {
  stage_counter(machine(), 1000, 1);
  machine().clock.counter_stops_at = 5400;
  EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), 0.0f);
  EXPECT_EQ(machine().clock.counter_reads, 1u + 400u + (1u << 24));
  EXPECT_EQ(sim::count_calls("read_time_stamp_counter"), 1) << "no last stamp is taken";
}

}  // namespace

// Broken or extreme counters: every reading and frequency is taken without
// overflow (the sanitizer build traps any), a cycle count or performance
// counter that runs backwards gives 0, and where a measurement is made it
// still spans one whole second of the counter.
TEST_F(CpuSpeed, ExtremeOrBrokenCountersGiveAnAnswerWithoutOverflow) {
  constexpr std::int64_t max = INT64_MAX;
  constexpr std::int64_t min = INT64_MIN;
  struct Case {
    const char* what;
    std::int64_t frequency;
    std::int64_t counter;
    std::int64_t counter_step;
    std::uint64_t cycles;  // between two stamps; past 2^63 the count reads lower
    float megahertz;
  } cases[] = {
      {"cycle count lower at the end", 1000, 5000, 1, 0 - 2000000000ull, 0.0f},
      {"cycle count one lower at the end", 1000, 5000, 1, ~0ull, 0.0f},
      {"cycle count unchanged", 1000, 5000, 1, 0, 0.0f},
      {"frequency INT64_MAX", max, 5000, 1ll << 60, 3000000000ull, 3000.0f},
      {"frequency and start INT64_MAX", max, max, 1ll << 61, 2400000000ull, 2400.0f},
      {"start just below INT64_MAX, wraps to INT64_MIN", 1000, max - 500, 1, 2000000000ull,
       2000.0f},
      {"start INT64_MAX, large frequency", max / 2, max, max / 4, 1000000000ull, 1000.0f},
      {"start INT64_MIN", 1000, min, 7, 2000000000ull, 2000.0f},
      {"performance counter runs backwards", 1000, 5000, -1, 2000000000ull, 0.0f},
      {"performance counter falls by INT64_MAX", max, 0, min + 1, 2000000000ull, 0.0f},
      {"frequency 0", 0, 5000, 1, 2000000000ull, 0.0f},
      {"frequency -1", -1, 5000, 1, 2000000000ull, 0.0f},
      {"frequency INT64_MIN", min, 5000, 1, 2000000000ull, 0.0f},
  };
  for (const auto& c : cases) {
    sim::reset();
    stage_counter(machine(), c.frequency, c.counter_step);
    machine().clock.counter = c.counter;
    machine().clock.time_stamp = 1ull << 40;
    machine().clock.time_stamp_step = c.cycles;
    EXPECT_EQ(Java_qav_Native_getCPUSpeed(env, nullptr), c.megahertz) << c.what;
    const auto& stamps = machine().clock.counter_at_stamp;
    if (stamps.size() == 2) {  // a second was measured: check that it was a whole one
      std::uint64_t waited =
          static_cast<std::uint64_t>(stamps[1]) - static_cast<std::uint64_t>(stamps[0]);
      EXPECT_GT(waited, static_cast<std::uint64_t>(c.frequency)) << c.what;
      EXPECT_LE(waited - static_cast<std::uint64_t>(c.counter_step),
                static_cast<std::uint64_t>(c.frequency))
          << c.what << ": no reading past the first one beyond the second";
    }
  }
}
