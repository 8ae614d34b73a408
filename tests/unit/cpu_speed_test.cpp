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
      {3600000000ull, 3600.0f},   // beyond 32 bits of cycles
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
    EXPECT_EQ(clock.counter_reads,
              static_cast<std::uint64_t>(1 + (1000 / step + 1))) << "step " << step;
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
