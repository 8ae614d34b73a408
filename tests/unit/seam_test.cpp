// The simulated runtime follows the Windows runtime's rules that the modules
// rely on, not glibc's.
#include <gtest/gtest.h>

#include "platform/crt.h"
#include "platform/sim/machine.h"

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
      {"42abc", 42},           {"+5", 5},           {" 7", 7},
      {"letters", 0},          {"", 0},             {"0x10", 0},
      {"-1", 4294967295u},     {"-2", 4294967294u}, {"4294967295", 4294967295u},
      {"4294967296", 4294967295u}, {"99999999999999999999", 4294967295u},
      {"-4294967296", 4294967295u},
  };
  for (const auto& c : cases) EXPECT_EQ(crt::strtoul(c.text, nullptr, 10), c.value) << c.text;
}

TEST_F(SimulatedRuntime, WctombFollowsTheLocale) {
  char byte = 0;
  EXPECT_EQ(crt::mb_cur_max(), 1);
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
