#include <algorithm>
#include <atomic>
#include <thread>

#include "module_test.h"
#include "platform/win.h"

namespace {

// Floppy A (with a medium that holds the file), fixed C, CD-ROM D, started from C:\TEMP.
class BootableDrive : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    machine().drives.clear();
    sim::add_drive(machine(), 'A', DRIVE_REMOVABLE);
    sim::add_drive(machine(), 'C', DRIVE_FIXED);
    sim::add_drive(machine(), 'D', DRIVE_CDROM);
    machine().files.add_file("A:\\MSDOS.SYS");
    ASSERT_TRUE(machine().files.set_current_directory("C:\\TEMP"));
    machine().calls.clear();
  }
  void TearDown() override {
    EXPECT_EQ(machine().files.current_directory(), "C:\\TEMP") << "the directory never moves";
    EXPECT_EQ(machine().find_handles_open, 0) << "every search handle closed";
    ModuleTest::TearDown();
  }
  std::string first_bootable() { return text(Java_qav_Native_getFirstBootableDrive(env, nullptr)); }
  int searched(const std::string& root) {
    return sim::count_calls("FindFirstFileA \"" + root + "MSDOS.SYS\"");
  }
};

TEST_F(BootableDrive, FindsTheFileOnFixedCAndNeverExaminesFloppyA) {
  machine().files.add_file("C:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "C:\\");
  EXPECT_EQ(searched("A:\\"), 0);
  EXPECT_EQ(sim::count_calls("FindFirstFileA \"C:\\MSDOS.SYS\" in C:\\TEMP"), 1)
      << "by its full path, from wherever the caller is";
  EXPECT_EQ(searched("D:\\"), 0) << "the walk stops at the first find";
}

TEST_F(BootableDrive, AHiddenSystemFileOnACdRomCounts) {
  machine().files.add_file("D:\\MSDOS.SYS",
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(first_bootable(), "D:\\");
  EXPECT_EQ(searched("C:\\"), 1);
  EXPECT_EQ(searched("D:\\"), 1);
}

TEST_F(BootableDrive, NoneFoundGivesNull) {
  machine().files.add_file("C:\\WINDOWS\\MSDOS.SYS");  // not in a root
  machine().files.add_file("C:\\TEMP\\MSDOS.SYS");     // nor in the caller's directory
  sim::add_drive(machine(), 'N', DRIVE_REMOTE);
  sim::add_drive(machine(), 'R', DRIVE_RAMDISK);
  machine().files.add_file("N:\\MSDOS.SYS");
  machine().files.add_file("R:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "<null>");
  EXPECT_EQ(searched("N:\\") + searched("R:\\"), 0) << "only fixed and CD-ROM drives are examined";
  EXPECT_EQ(sim::count_calls("FindFirstFileA"), 2) << "C and D";
  EXPECT_EQ(sim::count_calls("FindFirstFileA \"MSDOS.SYS\""), 0) << "never by the bare name";
}

TEST_F(BootableDrive, ARootThatCannotBeEnteredIsPassedOver) {
  // A CD-ROM drive without a disc (its tree still lists the file of the last
  // disc), while the caller's directory holds the file: neither counts.
  machine().drives['C'].type = DRIVE_RAMDISK;
  machine().drives['D'].has_medium = false;
  machine().files.add_file("D:\\MSDOS.SYS");
  machine().files.add_file("C:\\TEMP\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "<null>");
  EXPECT_EQ(searched("D:\\"), 1);

  sim::add_drive(machine(), 'E', DRIVE_FIXED);
  machine().files.add_file("E:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "E:\\") << "the walk goes on past D";
}

TEST_F(BootableDrive, ASearchThatFailsPassesTheRootOver) {
  machine().files.add_file("C:\\MSDOS.SYS");
  machine().files.add_file("D:\\MSDOS.SYS");
  sim::fail(sim::Op::FindFirstFileA, sim::FailMode::once);
  EXPECT_EQ(first_bootable(), "D:\\");
}

TEST_F(BootableDrive, MissingBlocksOrListGiveNull) {
  machine().files.add_file("C:\\MSDOS.SYS");
  struct Case {
    sim::Op fault;
    int after;  // calls let through first
  } cases[] = {
      {sim::Op::malloc, 0},                   // the search record
      {sim::Op::malloc, 1},                   // the list
      {sim::Op::GetLogicalDriveStringsA, 0},  // measuring
      {sim::Op::GetLogicalDriveStringsA, 1},  // reading
      {sim::Op::strdup, 0},                   // the copy of the root found
  };
  for (const auto& c : cases) {
    sim::fail(c.fault, sim::FailMode::once, 0, c.after);
    EXPECT_EQ(first_bootable(), "<null>") << sim::op_name(c.fault) << " after " << c.after;
    sim::clear_faults();
  }
  EXPECT_EQ(first_bootable(), "C:\\");
}

TEST_F(BootableDrive, AnUnreadableCurrentDirectoryDoesNotMatter) {
  machine().files.add_file("C:\\MSDOS.SYS");
  sim::fail(sim::Op::GetCurrentDirectoryA);
  EXPECT_EQ(first_bootable(), "C:\\");
  EXPECT_EQ(sim::count_calls("GetCurrentDirectoryA"), 0);
}

TEST_F(BootableDrive, TheListIsMeasuredThenReadIntoABlockOfThatSize) {
  machine().files.add_file("D:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "D:\\");
  EXPECT_EQ(sim::count_calls("GetLogicalDriveStringsA 0 null"), 1);
  EXPECT_EQ(sim::count_calls("GetLogicalDriveStringsA 13 buffer"), 1) << "three roots and the end";
}

// Several Java threads scan at once while another thread of the process
// reads the current directory. The directory is also checked at every
// platform call the module makes, so a move for a single call shows.
TEST_F(BootableDrive, ConcurrentScansNeverMoveTheDirectoryAndAllAgree) {
  machine().files.add_file("D:\\MSDOS.SYS");  // C is searched in vain first
  const std::string lone = first_bootable();
  ASSERT_EQ(lone, "D:\\");

  std::atomic<int> moved_at_a_call{0};
  machine().call_observer = [&](const sim::Call&) {
    if (machine().files.current_directory() != "C:\\TEMP") ++moved_at_a_call;
  };

  constexpr int scanners = 4;
  constexpr int scans_each = 200;
  std::atomic<bool> scanning{true};
  std::atomic<int> reads{0};
  std::atomic<int> reads_elsewhere{0};
  std::thread reader([&] {
    char directory[MAX_PATH];
    while (scanning) {
      DWORD length = win::GetCurrentDirectoryA(sizeof directory, directory);
      if (length == 0 || std::string(directory, length) != "C:\\TEMP") ++reads_elsewhere;
      ++reads;
    }
  });
  std::vector<std::vector<std::string>> answers(scanners);
  std::vector<std::vector<std::string>> misuse(scanners);
  std::vector<int> unreleased(scanners);
  std::vector<std::thread> threads;
  for (int t = 0; t < scanners; ++t) {
    threads.emplace_back([&, t] {
      fakejni::Env own;
      for (int i = 0; i < scans_each; ++i) {
        jstring root = Java_qav_Native_getFirstBootableDrive(own.jni(), nullptr);
        answers[t].push_back(own.is_null(root) ? "<null>" : own.utf8(root));
      }
      misuse[t] = own.faults();
      unreleased[t] = own.outstanding();
    });
  }
  for (auto& thread : threads) thread.join();
  scanning = false;
  reader.join();
  machine().call_observer = nullptr;

  EXPECT_EQ(moved_at_a_call, 0);
  EXPECT_GT(reads, 0);
  EXPECT_EQ(reads_elsewhere, 0) << "of " << reads << " reads";
  for (int t = 0; t < scanners; ++t) {
    ASSERT_EQ(answers[t].size(), static_cast<std::size_t>(scans_each)) << "scanner " << t;
    auto wrong = std::find_if(answers[t].begin(), answers[t].end(),
                              [&](const std::string& answer) { return answer != lone; });
    EXPECT_TRUE(wrong == answers[t].end())
        << "scanner " << t << ", scan " << (wrong - answers[t].begin()) << ": " << *wrong;
    EXPECT_TRUE(misuse[t].empty()) << "scanner " << t;
    EXPECT_EQ(unreleased[t], 0) << "scanner " << t;
  }
}

}  // namespace
