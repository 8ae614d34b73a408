// The simulated machine's hardware: display, clocks and drives.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/host/win_types.h"

namespace sim {

struct DisplayMode {
  DWORD width = 0;
  DWORD height = 0;
  DWORD bits_per_pixel = 32;
};

struct Display {
  int width = 1024;  // the primary screen's metrics
  int height = 768;
  int bits_per_pixel = 32;
  std::vector<DisplayMode> modes;  // in the driver's order
  int device_contexts_out = 0;     // handed out by GetDC and not released
};

// Both counters advance by a staged step on every read, so a test decides how
// many reads make a second and how many cycles lie between two stamps. Both
// wrap around as 64-bit registers do: the performance counter passes from
// INT64_MAX to INT64_MIN, and a negative step (or, for the time stamp, a step
// beyond 2^63) makes a counter that runs backwards.
struct Clock {
  std::int64_t frequency = 10000000;
  std::int64_t counter = 0;
  std::int64_t counter_step = 10000;
  std::optional<std::int64_t> counter_stops_at;  // a counter that stands still from there on
  std::uint64_t time_stamp = 0;
  std::uint64_t time_stamp_step = 2000000000;
  // The performance counter is read millions of times in a wait, so its
  // reads are counted here instead of being logged one by one.
  std::uint64_t counter_reads = 0;
  std::int64_t last_counter_read = 0;
  // For each time-stamp read: the last performance-counter reading before it.
  std::vector<std::int64_t> counter_at_stamp;
};

struct Drive {
  UINT type = DRIVE_FIXED;
  bool has_medium = true;            // without one the root cannot be entered or measured
  std::uint64_t free_bytes = 0;      // on the whole volume
  std::uint64_t free_to_caller = 0;  // what quotas leave the user
  std::uint64_t total_bytes = 0;
};

}  // namespace sim
