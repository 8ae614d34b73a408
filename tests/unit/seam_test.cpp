// The simulated runtime follows the Windows runtime's rules that the modules
// rely on, not glibc's.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/crt.h"
#include "platform/sim/machine.h"
#include "platform/win.h"

namespace {

class SimulatedRuntime : public ::testing::Test {
 protected:
  void SetUp() override { sim::reset(); }
  void TearDown() override { sim::reset(); }
};

TEST_F(SimulatedRuntime, StrtoulHasThirtyTwoBits) {
  struct Case {
    const char* text;
    crt::ulong32 value;
  } cases[] = {
      {"42abc", 42},
      {"+5", 5},
      {" 7", 7},
      {"letters", 0},
      {"", 0},
      {"0x10", 0},
      {"-1", 4294967295u},
      {"-2", 4294967294u},
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"99999999999999999999", 4294967295u},
      {"-4294967296", 4294967295u},
  };
  for (const auto& c : cases) EXPECT_EQ(crt::strtoul(c.text, nullptr, 10), c.value) << c.text;
}

TEST_F(SimulatedRuntime, WctombFollowsTheLocale) {
  char byte = 0;
  EXPECT_EQ(crt::wctomb(&byte, u'\u00E9'), 1);
  EXPECT_EQ(byte, '\xE9');
  EXPECT_EQ(crt::wctomb(&byte, u'\u20AC'), -1) << "\"C\" rejects units above 255";
  EXPECT_EQ(crt::wctomb(&byte, u'\u03A9'), -1);

  ASSERT_STREQ(crt::setlocale(crt::locale_all, ""), "English_United States.1252");
  EXPECT_EQ(crt::wctomb(&byte, u'\u20AC'), 1) << "Windows-1252 has the euro sign";
  EXPECT_EQ(byte, '\x80');
  EXPECT_EQ(crt::wctomb(&byte, u'\u03A9'), -1) << "but no omega";
}

}  // namespace

namespace {

// Each operation fails the way Windows or its runtime reports it; the ones
// with no failure return have a documented stand-in.
class SimulatedFaults : public ::testing::Test {
 protected:
  void SetUp() override { sim::reset(); }
  void TearDown() override { sim::reset(); }
};

TEST_F(SimulatedFaults, OperationsAreLoggedUnderTheirTableNames) {
  EXPECT_STREQ(sim::op_name(sim::Op::RegOpenKeyExA), "RegOpenKeyExA");
  EXPECT_STREQ(sim::op_name(sim::Op::IShellLinkA_SetPath), "IShellLinkA::SetPath");
  EXPECT_STREQ(sim::op_name(sim::Op::IPersistFile_Save), "IPersistFile::Save");
  EXPECT_STREQ(sim::op_name(sim::Op::_chdir), "_chdir");
  std::set<std::string> names;
  for (int i = 0; i < sim::operation_count; ++i) {
    EXPECT_TRUE(names.insert(sim::op_name(static_cast<sim::Op>(i))).second) << i;
    EXPECT_STRNE(sim::op_failure(static_cast<sim::Op>(i)), "") << i;
  }
  win::GetLogicalDrives();
  ASSERT_EQ(sim::machine().calls.size(), 1u);
  EXPECT_EQ(sim::machine().calls[0].op, sim::Op::GetLogicalDrives);
  EXPECT_EQ(sim::machine().calls[0].line, "GetLogicalDrives");
}

TEST_F(SimulatedFaults, AfterNFailsExactlyTheOccurrenceAfterThem) {
  sim::fail(sim::Op::GetLogicalDrives, sim::FailMode::once, 0, 2);
  std::vector<bool> answered;
  for (int i = 0; i < 4; ++i) answered.push_back(win::GetLogicalDrives() != 0);
  EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true}));
  EXPECT_EQ(sim::count_calls(sim::Op::GetLogicalDrives), 4);
}

TEST_F(SimulatedFaults, CallsWithAFailureReturnAnswerIt) {
  sim::fail(sim::Op::GetDriveTypeA, sim::FailMode::once);
  EXPECT_EQ(win::GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_UNKNOWN));
  sim::fail(sim::Op::GetDriveTypeA, sim::FailMode::once, DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(win::GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(win::GetDriveTypeA("C:\\"), static_cast<UINT>(DRIVE_FIXED));

  HDC dc = win::GetDC(nullptr);
  sim::fail(sim::Op::GetDeviceCaps, sim::FailMode::once);
  EXPECT_EQ(win::GetDeviceCaps(dc, BITSPIXEL), 0);
  sim::fail(sim::Op::ReleaseDC, sim::FailMode::once);
  EXPECT_EQ(win::ReleaseDC(nullptr, dc), 0);
  EXPECT_EQ(sim::holdings().device_contexts, 0) << "a failed release still ends the borrow";

  WIN32_FIND_DATAA found;
  HANDLE find = win::FindFirstFileA("C:\\TEMP", &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  sim::fail(sim::Op::FindClose, sim::FailMode::once);
  EXPECT_EQ(win::FindClose(find), FALSE);
  EXPECT_EQ(sim::holdings().find_handles, 0) << "a failed close still ends the handle";

  LARGE_INTEGER count;
  count.QuadPart = 0x0BADBEEF;
  sim::fail(sim::Op::QueryPerformanceCounter, sim::FailMode::once);
  EXPECT_EQ(win::QueryPerformanceCounter(&count), FALSE);
  EXPECT_EQ(count.QuadPart, 0x0BADBEEF) << "nothing written";
}

TEST_F(SimulatedFaults, OperationsWithoutAFailureReturnGiveTheirDocumentedStandIn) {
  MEMORYSTATUS status;
  std::memset(&status, 0xBD, sizeof status);
  sim::fail(sim::Op::GlobalMemoryStatus, sim::FailMode::once);
  win::GlobalMemoryStatus(&status);
  MEMORYSTATUS zeros{};
  EXPECT_EQ(std::memcmp(&status, &zeros, sizeof status), 0);

  sim::machine().clock.time_stamp = 777;
  sim::fail(sim::Op::read_time_stamp_counter, sim::FailMode::once);
  EXPECT_EQ(win::read_time_stamp_counter(), 0u);
  sim::fail(sim::Op::read_time_stamp_counter, sim::FailMode::once, 12345);
  EXPECT_EQ(win::read_time_stamp_counter(), 12345u);
  EXPECT_EQ(win::read_time_stamp_counter(), 777u) << "the counter itself did not move";

  sim::machine().error_mode = 3;
  sim::fail(sim::Op::SetErrorMode, sim::FailMode::once);
  EXPECT_EQ(win::SetErrorMode(1), 0u);
  EXPECT_EQ(sim::machine().error_mode, 3u);

  EXPECT_EQ(crt::setlocale(crt::locale_all, nullptr), std::string("C"));
  sim::fail(sim::Op::setlocale, sim::FailMode::once);
  EXPECT_EQ(crt::setlocale(crt::locale_all, ""), nullptr);
  EXPECT_FALSE(sim::holdings().user_locale) << "a refused switch changes nothing";

  char byte = 'x';
  sim::fail(sim::Op::wctomb, sim::FailMode::once);
  EXPECT_EQ(crt::wctomb(&byte, u'A'), -1);

  const char text[] = "42";
  char* end = nullptr;
  sim::fail(sim::Op::strtoul, sim::FailMode::once);
  EXPECT_EQ(crt::strtoul(text, &end, 10), 0u);
  EXPECT_EQ(end, text);

  void* block = crt::malloc(8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(sim::holdings().runtime_blocks, 1);
  sim::fail(sim::Op::free, sim::FailMode::once);
  crt::free(block);
  EXPECT_EQ(sim::holdings().runtime_blocks, 0) << "the caller gave it back";
  EXPECT_EQ(sim::machine().kept_blocks.size(), 1u) << "the runtime kept it";
}

TEST_F(SimulatedFaults, AFailedComCreationOrQueryNeverAnswersSuccessWithNoObject) {
  for (long staged : {0L, static_cast<long>(S_OK), static_cast<long>(S_FALSE),
                      static_cast<long>(E_OUTOFMEMORY)}) {
    void* object = reinterpret_cast<void*>(1);
    sim::fail(sim::Op::CoCreateInstance, sim::FailMode::once, staged);
    HRESULT created = win::CoCreateInstance(CLSID_ShellLink, nullptr, 1, IID_IShellLinkA, &object);
    EXPECT_LT(created, 0) << staged;
    EXPECT_EQ(object, nullptr) << staged;
    if (staged == E_OUTOFMEMORY) {
      EXPECT_EQ(created, E_OUTOFMEMORY) << "a real failure status is passed on";
    }

    IShellLinkA* link = nullptr;
    ASSERT_EQ(win::CoCreateInstance(CLSID_ShellLink, nullptr, 1, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link)),
              S_OK);
    object = reinterpret_cast<void*>(1);
    sim::fail(sim::Op::IShellLinkA_QueryInterface, sim::FailMode::once, staged);
    EXPECT_LT(link->QueryInterface(IID_IPersistFile, &object), 0) << staged;
    EXPECT_EQ(object, nullptr) << staged;
    sim::fail(sim::Op::IShellLinkA_Release, sim::FailMode::once);
    EXPECT_EQ(link->Release(), 0u);
    EXPECT_EQ(sim::holdings().com_objects, 0) << "the reference went all the same";
  }
}

}  // namespace
