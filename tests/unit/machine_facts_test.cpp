#include "module_test.h"

namespace {

using MachineFacts = ModuleTest;

TEST_F(MachineFacts, ComputerNameOfFifteenCharactersComesBackWhole) {
  machine().computer_name = "ABCDEFGHIJKLMNO";
  EXPECT_EQ(text(Java_qav_Native_getComputerName(env, nullptr)), "ABCDEFGHIJKLMNO");
  EXPECT_EQ(sim::count_calls("GetComputerNameA 16"), 1) << "offers its 16-byte buffer";
  // Bytes of the ANSI code page go to the JVM unconverted.
  machine().computer_name = "H\xD6ST";
  EXPECT_EQ(java.new_utf_bytes(Java_qav_Native_getComputerName(env, nullptr)), "H\xD6ST");
}

TEST_F(MachineFacts, ComputerNameIsNullWhenThePlatformRefuses) {
  machine().computer_name = "ABCDEFGHIJKLMNOP";  // 16 characters do not fit
  EXPECT_EQ(text(Java_qav_Native_getComputerName(env, nullptr)), "<null>");
  machine().computer_name = "HOST";
  sim::fail(sim::Op::GetComputerNameA, sim::FailMode::once);
  EXPECT_EQ(text(Java_qav_Native_getComputerName(env, nullptr)), "<null>");
  EXPECT_EQ(text(Java_qav_Native_getComputerName(env, nullptr)), "HOST");
}

TEST_F(MachineFacts, MemoryPassesAsThirtyTwoBitsAsA32BitProcessSeesIt) {
  struct Case {
    std::uint64_t bytes;
    jint expected;
  } cases[] = {
      {536870912ull, 536870912},
      {2147483647ull, 2147483647},
      {2147483648ull, -2147483647 - 1},
      {3221225472ull, -1073741824},
      {4294967295ull, -1},
      {4294967296ull, -1},  // beyond 32 bits: 0xFFFFFFFF, not the low bits (0)
      {17179869184ull + 12345, -1},
  };
  for (const auto& c : cases) {
    machine().total_physical_memory = c.bytes;
    EXPECT_EQ(Java_qav_Native_getRAM(env, nullptr), c.expected) << c.bytes << " bytes";
  }
}

TEST_F(MachineFacts, ScreenMetricsPassThrough) {
  machine().display.width = 1280;
  machine().display.height = 1024;
  EXPECT_EQ(Java_qav_Native_getScreenX(env, nullptr), 1280);
  EXPECT_EQ(Java_qav_Native_getScreenY(env, nullptr), 1024);
  EXPECT_EQ(sim::count_calls("GetSystemMetrics 0"), 1);
  EXPECT_EQ(sim::count_calls("GetSystemMetrics 1"), 1);
  sim::fail(sim::Op::GetSystemMetrics);
  EXPECT_EQ(Java_qav_Native_getScreenX(env, nullptr), 0);
  EXPECT_EQ(Java_qav_Native_getScreenY(env, nullptr), 0);
}

TEST_F(MachineFacts, ColorBitsComeFromTheScreensDeviceContextWhichIsReleased) {
  for (int bits : {8, 16, 24, 32}) {
    machine().display.bits_per_pixel = bits;
    EXPECT_EQ(Java_qav_Native_getColorBits(env, nullptr), bits);
    EXPECT_EQ(machine().display.device_contexts_out, 0) << bits << " bits";
  }
  EXPECT_EQ(sim::count_calls("GetDC null"), 4) << "the whole screen's context";
  EXPECT_EQ(sim::count_calls("GetDeviceCaps 12"), 4) << "asks for BITSPIXEL";
  EXPECT_EQ(sim::count_calls("ReleaseDC null"), 4);
}

TEST_F(MachineFacts, ColorBitsAreZeroWithoutADeviceContext) {
  sim::fail(sim::Op::GetDC);
  EXPECT_EQ(Java_qav_Native_getColorBits(env, nullptr), 0);
  EXPECT_EQ(sim::count_calls("GetDeviceCaps"), 0);
  EXPECT_EQ(sim::count_calls("ReleaseDC"), 0) << "nothing to release";
}

// Both methods walk the whole list, each on its own.
TEST_F(MachineFacts, MaxScreenSizeIsTheLastModeNotTheLargest) {
  machine().display.modes = {{640, 480}, {1600, 1200}, {1280, 1024}, {1024, 768}};
  EXPECT_EQ(Java_qav_Native_getMaxScreenWidth(env, nullptr), 1024);
  EXPECT_EQ(Java_qav_Native_getMaxScreenHeight(env, nullptr), 768);
  // Five requests each (modes 0 to 3, then the refused 4), with the short record.
  EXPECT_EQ(sim::count_calls("EnumDisplaySettingsA null"), 10);
  EXPECT_EQ(sim::count_calls("EnumDisplaySettingsA null 4 148"), 2);
  EXPECT_EQ(sim::count_calls("EnumDisplaySettingsA null 0 148"), 2);
}

TEST_F(MachineFacts, MaxScreenSizeIsZeroWithoutAnyMode) {
  machine().display.modes.clear();
  EXPECT_EQ(Java_qav_Native_getMaxScreenWidth(env, nullptr), 0);
  EXPECT_EQ(Java_qav_Native_getMaxScreenHeight(env, nullptr), 0);
}

TEST_F(MachineFacts, MaxScreenSizePassesLargeCountsBitForBit) {
  machine().display.modes = {{0x80000000u, 0xFFFFFFFFu}};
  EXPECT_EQ(Java_qav_Native_getMaxScreenWidth(env, nullptr), -2147483647 - 1);
  EXPECT_EQ(Java_qav_Native_getMaxScreenHeight(env, nullptr), -1);
}

}  // namespace
