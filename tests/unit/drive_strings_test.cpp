#include <thread>

#include "module_test.h"

namespace {

// The enumerator keeps its pass across calls, and so across tests: each test
// starts by running any pass left under way to its end.
class DriveStrings : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    fakejni::Env drain;
    for (int i = 0; i < 30; ++i) {
      jstring s = Java_qav_Native_getLogicalDriveStrings(drain.jni(), nullptr);
      if (s && drain.utf8(s).empty()) break;
    }
    machine().drives.clear();
    machine().calls.clear();
    sim::add_drive(machine(), 'A', DRIVE_REMOVABLE, false);
    sim::add_drive(machine(), 'C', DRIVE_FIXED);
    sim::add_drive(machine(), 'D', DRIVE_CDROM);
  }
  std::string next() { return text(Java_qav_Native_getLogicalDriveStrings(env, nullptr)); }
  int list_reads() { return sim::count_calls("GetLogicalDriveStringsA 128 buffer"); }
};

TEST_F(DriveStrings, HandsOutEachRootThenTheEmptyStringThenStartsAgain) {
  EXPECT_EQ(next(), "A:\\");
  EXPECT_EQ(next(), "C:\\");
  EXPECT_EQ(next(), "D:\\");
  EXPECT_EQ(list_reads(), 1) << "one read per pass";
  EXPECT_EQ(next(), "");
  EXPECT_EQ(list_reads(), 1);
  EXPECT_EQ(next(), "A:\\");
  EXPECT_EQ(list_reads(), 2) << "a new pass reads the list afresh";
}

TEST_F(DriveStrings, ADriveThatComesDuringAPassShowsInTheNextOne) {
  EXPECT_EQ(next(), "A:\\");
  sim::add_drive(machine(), 'B', DRIVE_REMOVABLE);
  machine().drives.erase('D');
  EXPECT_EQ(next(), "C:\\");
  EXPECT_EQ(next(), "D:\\");
  EXPECT_EQ(next(), "");
  EXPECT_EQ(next(), "A:\\");
  EXPECT_EQ(next(), "B:\\");
  EXPECT_EQ(next(), "C:\\");
  EXPECT_EQ(next(), "");
}

TEST_F(DriveStrings, AnAbandonedPassGoesOnWhereItStopped) {
  EXPECT_EQ(next(), "A:\\");
  // Another caller, with its own environment, picks up the same pass.
  fakejni::Env other;
  jstring s = Java_qav_Native_getLogicalDriveStrings(other.jni(), nullptr);
  EXPECT_EQ(other.utf8(s), "C:\\");
  EXPECT_EQ(list_reads(), 1);
}

TEST_F(DriveStrings, AFailedListReadGivesNullAndTheNextCallTriesAgain) {
  sim::fail(sim::Op::GetLogicalDriveStringsA, sim::FailMode::once);
  EXPECT_EQ(next(), "<null>");
  EXPECT_EQ(next(), "A:\\");
  EXPECT_EQ(sim::count_calls("GetLogicalDriveStringsA 128 buffer"), 2);
}

TEST_F(DriveStrings, AllTwentySixDrivesFitTheList) {
  machine().drives.clear();
  for (char letter = 'A'; letter <= 'Z'; ++letter) sim::add_drive(machine(), letter, DRIVE_FIXED);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    EXPECT_EQ(next(), std::string(1, letter) + ":\\");
  }
  EXPECT_EQ(next(), "");
}

TEST_F(DriveStrings, ConcurrentCallersShareOnePassWithoutTearingIt) {
  constexpr int passes_per_thread = 300;
  std::vector<std::string> seen[2];
  auto run = [&](int who) {
    fakejni::Env own;
    for (int i = 0; i < passes_per_thread * 4; ++i) {
      jstring s = Java_qav_Native_getLogicalDriveStrings(own.jni(), nullptr);
      seen[who].push_back(s ? own.utf8(s) : "<null>");
    }
  };
  std::thread first(run, 0), second(run, 1);
  first.join();
  second.join();
  std::map<std::string, int> counts;
  for (const auto& list : seen) {
    for (const auto& root : list) ++counts[root];
  }
  // Every call took exactly one step of a pass: whole passes, no root twice, none lost.
  EXPECT_EQ(counts, (std::map<std::string, int>{{"", 2 * passes_per_thread},
                                                {"A:\\", 2 * passes_per_thread},
                                                {"C:\\", 2 * passes_per_thread},
                                                {"D:\\", 2 * passes_per_thread}}));
  EXPECT_EQ(list_reads(), 2 * passes_per_thread);
}

}  // namespace
