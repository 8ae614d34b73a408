#include "module_test.h"

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
    EXPECT_EQ(machine().files.current_directory(), "C:\\TEMP") << "the directory is put back";
    EXPECT_EQ(machine().find_handles_open, 0) << "every search handle closed";
    ModuleTest::TearDown();
  }
  std::string first_bootable() { return text(Java_qav_Native_getFirstBootableDrive(env, nullptr)); }
  int entered(const std::string& root) {
    return sim::count_calls("SetCurrentDirectoryA \"" + root + "\"");
  }
};

TEST_F(BootableDrive, FindsTheFileOnFixedCAndNeverEntersFloppyA) {
  machine().files.add_file("C:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "C:\\");
  EXPECT_EQ(entered("A:\\"), 0);
  EXPECT_EQ(sim::count_calls("FindFirstFileA \"MSDOS.SYS\" in A:\\"), 0);
  EXPECT_EQ(sim::count_calls("FindFirstFileA \"MSDOS.SYS\" in C:\\"), 1) << "by its bare name";
  EXPECT_EQ(entered("D:\\"), 0) << "the walk stops at the first find";
  EXPECT_EQ(sim::count_calls("SetCurrentDirectoryA \"C:\\TEMP\""), 1);
}

TEST_F(BootableDrive, AHiddenSystemFileOnACdRomCounts) {
  machine().files.add_file("D:\\MSDOS.SYS",
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(first_bootable(), "D:\\");
  EXPECT_EQ(entered("C:\\"), 1);
  EXPECT_EQ(entered("D:\\"), 1);
}

TEST_F(BootableDrive, NoneFoundGivesNull) {
  machine().files.add_file("C:\\WINDOWS\\MSDOS.SYS");  // not in a root
  machine().files.add_file("C:\\TEMP\\MSDOS.SYS");     // nor in the caller's directory
  sim::add_drive(machine(), 'N', DRIVE_REMOTE);
  sim::add_drive(machine(), 'R', DRIVE_RAMDISK);
  machine().files.add_file("N:\\MSDOS.SYS");
  machine().files.add_file("R:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "<null>");
  EXPECT_EQ(entered("N:\\") + entered("R:\\"), 0) << "only fixed and CD-ROM drives are examined";
  EXPECT_EQ(sim::count_calls("FindFirstFileA"), 2) << "C and D";
}

TEST_F(BootableDrive, ARootThatCannotBeEnteredIsPassedOver) {
  // A CD-ROM drive without a disc, examined first, while the caller's
  // directory holds the file: searching anyway would report D for C:\TEMP's file.
  machine().drives['C'].type = DRIVE_RAMDISK;
  machine().drives['D'].has_medium = false;
  machine().files.add_file("C:\\TEMP\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "<null>");
  EXPECT_EQ(sim::count_calls("FindFirstFileA"), 0);

  sim::add_drive(machine(), 'E', DRIVE_FIXED);
  machine().files.add_file("E:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "E:\\") << "the walk goes on past D";
}

TEST_F(BootableDrive, MissingBlocksOrListGiveNullAndExamineNothing) {
  machine().files.add_file("C:\\MSDOS.SYS");
  const sim::Op faults[] = {sim::Op::malloc, sim::Op::GetLogicalDriveStringsA, sim::Op::strdup};
  for (sim::Op fault : faults) {
    machine().calls.clear();
    sim::fail(fault, sim::FailMode::once);
    EXPECT_EQ(first_bootable(), "<null>") << sim::op_name(fault);
    EXPECT_EQ(machine().files.current_directory(), "C:\\TEMP") << sim::op_name(fault);
  }
  // The second block, for the list, can fail on its own too.
  machine().calls.clear();
  EXPECT_EQ(first_bootable(), "C:\\");
}

TEST_F(BootableDrive, ACurrentDirectoryThatCannotBeReadStopsTheScanBeforeItMoves) {
  machine().files.add_file("C:\\MSDOS.SYS");
  sim::fail(sim::Op::GetCurrentDirectoryA, sim::FailMode::once);
  EXPECT_EQ(first_bootable(), "<null>");
  EXPECT_EQ(sim::count_calls("SetCurrentDirectoryA"), 0);
}

TEST_F(BootableDrive, TheListIsMeasuredThenReadIntoABlockOfThatSize) {
  machine().files.add_file("D:\\MSDOS.SYS");
  EXPECT_EQ(first_bootable(), "D:\\");
  EXPECT_EQ(sim::count_calls("GetLogicalDriveStringsA 0 null"), 1);
  EXPECT_EQ(sim::count_calls("GetLogicalDriveStringsA 13 buffer"), 1) << "three roots and the end";
  EXPECT_EQ(sim::count_calls("GetCurrentDirectoryA 260"), 1);
}

}  // namespace
