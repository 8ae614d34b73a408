// The machine and display facts against Wine, compared with what the
// platform itself answers to the test host.
#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "wine_test.h"

namespace {

using MachineFacts = WineTest;

TEST_F(MachineFacts, ComputerNameIsThePlatformsOwn) {
  char name[16];
  DWORD size = sizeof name;
  std::string expected = GetComputerNameA(name, &size) ? name : "<null>";
  EXPECT_EQ(call_bytes("getComputerName"), expected);
}

// The count a 32-bit process is told, whatever this host's bitness.
TEST_F(MachineFacts, MemoryIsWhatGlobalMemoryStatusReports) {
  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  std::uint64_t total = status.dwTotalPhys;
  if (total > 0xFFFFFFFFu) total = 0xFFFFFFFFu;
  EXPECT_EQ(call("getRAM").int_value, static_cast<jint>(static_cast<DWORD>(total)))
      << status.dwTotalPhys << " bytes reported";
}

TEST_F(MachineFacts, CpuVendorIsTheRegistrysIdentifierOfProcessorZero) {
  const char* key = "Hardware\\Description\\System\\CentralProcessor\\0";
  char identifier[256] = "";
  DWORD size = sizeof identifier;
  ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, key, "Identifier", RRF_RT_REG_SZ, nullptr, identifier,
                         &size),
            ERROR_SUCCESS);
  ASSERT_NE(identifier[0], '\0');
  EXPECT_EQ(call_bytes("getCPUVendor"), identifier);
  std::string reg = wine::run_command("reg query \"HKLM\\" + std::string(key) + "\" /v Identifier");
  EXPECT_NE(reg.find(identifier), std::string::npos) << reg;
}

TEST_F(MachineFacts, ScreenSizeIsThePrimaryScreensMetrics) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_EQ(call("getScreenX").int_value, width);
  EXPECT_EQ(call("getScreenY").int_value, height);
  // The test run sets the display's size (ZOZUDU_SCREEN=WIDTHxHEIGHT).
  if (const char* screen = std::getenv("ZOZUDU_SCREEN")) {
    EXPECT_EQ(std::to_string(width) + "x" + std::to_string(height), screen);
  }
}

TEST_F(MachineFacts, ColorBitsAreTheScreenContextsDepth) {
  HDC screen = GetDC(nullptr);
  ASSERT_NE(screen, nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  EXPECT_GT(bits, 0);
  EXPECT_EQ(call("getColorBits").int_value, bits);
}

TEST_F(MachineFacts, MaxScreenSizeIsTheLastDisplayMode) {
  DEVMODEA mode{};
  mode.dmSize = offsetof(DEVMODEA, dmPanningWidth);
  DWORD width = 0, height = 0, count = 0;
  for (; EnumDisplaySettingsA(nullptr, count, &mode); ++count) {
    width = mode.dmPelsWidth;
    height = mode.dmPelsHeight;
  }
  EXPECT_GT(count, 0u) << "the display offers modes";
  EXPECT_EQ(call("getMaxScreenWidth").int_value, static_cast<jint>(width)) << count << " modes";
  EXPECT_EQ(call("getMaxScreenHeight").int_value, static_cast<jint>(height)) << count << " modes";
}

}  // namespace
