#include <cstdint>

#include "module_test.h"

namespace {

class ShellExecute : public ModuleTest {
 protected:
  jint open(const std::string& item) {
    return Java_qav_Native_shellExecute(env, nullptr, java.make_utf8(item, "item"));
  }
};

TEST_F(ShellExecute, OpensTheWholeTextAsOneItem) {
  machine().files.add_file("C:\\TEMP\\helper.exe");
  EXPECT_EQ(open("C:\\TEMP\\helper.exe"), 1);
  EXPECT_EQ(sim::count_calls("ShellExecuteA null \"open\" \"C:\\TEMP\\helper.exe\" null null 5"),
            1);
  EXPECT_EQ(open("C:\\TEMP\\helper.exe arg"), 0) << "no such item; no argument is split off";
  EXPECT_EQ(
      sim::count_calls("ShellExecuteA null \"open\" \"C:\\TEMP\\helper.exe arg\" null null 5"), 1);
  EXPECT_EQ(java.trace(), (std::vector<std::string>{"borrow item", "release item", "borrow item",
                                                    "release item"}));
}

TEST_F(ShellExecute, SucceedsOnlyAboveThirtyTwoReadAsASigned32BitNumber) {
  struct Case {
    std::intptr_t answer;
    jint result;
  } cases[] = {
    {0, 0},
    {2, 0},
    {31, 0},
    {32, 0},
    {33, 1},
    {42, 1},
    {0x7FFFFFFF, 1},
    {-1, 0},
    {-33, 0},
    {static_cast<std::intptr_t>(INT32_MIN), 0},
#if INTPTR_MAX > INT32_MAX
    // A 64-bit instance value counts by its low 32 bits, taken as signed.
    {static_cast<std::intptr_t>(0xFFFFFFFFll), 0},
    {static_cast<std::intptr_t>(0x80000040ll), 0},
    {static_cast<std::intptr_t>(0x100000021ll), 1},
#endif
  };
  for (const auto& c : cases) {
    machine().launches.answer = c.answer;
    EXPECT_EQ(open("C:\\TEMP\\doc.txt"), c.result) << "instance value " << c.answer;
  }
}

TEST_F(ShellExecute, TheOpenedProgramStartsInTheCurrentDirectory) {
  machine().files.add_file("C:\\TEMP\\helper.exe");
  ASSERT_EQ(Java_qav_Native_chdir(env, nullptr, str("C:\\WINDOWS")), 0);
  ASSERT_EQ(open("C:\\TEMP\\helper.exe"), 1);
  ASSERT_EQ(machine().launches.accepted.size(), 1u);
  EXPECT_EQ(machine().launches.accepted[0].current_directory, "C:\\WINDOWS");
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

using Reboot = ModuleTest;

TEST_F(Reboot, AsksForAForcedRestartAndPassesTheAnswerThrough) {
  for (BOOL answer : {0, 1, 2, 0x7FFFFFFF, -1}) {
    sim::reset();
    machine().restarts.answer = answer;
    EXPECT_EQ(Java_qav_Native_reboot(env, nullptr), answer);
    // Nothing before it: no privilege is requested.
    EXPECT_EQ(sim::call_lines(), std::vector<std::string>{"ExitWindowsEx 6 0"}) << answer;
  }
}

TEST_F(Reboot, IsRefusedOnTheDefaultMachine) {
  EXPECT_EQ(Java_qav_Native_reboot(env, nullptr), 0);
  EXPECT_EQ(machine().restarts.requests, 1);
}

}  // namespace
