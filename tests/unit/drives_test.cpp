#include "module_test.h"

namespace {

class Drives : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    machine().drives.clear();
  }
};

TEST_F(Drives, LogicalDrivesIsThePlatformsMask) {
  sim::add_drive(machine(), 'A', DRIVE_REMOVABLE, false);
  sim::add_drive(machine(), 'C', DRIVE_FIXED);
  sim::add_drive(machine(), 'D', DRIVE_CDROM);
  EXPECT_EQ(Java_qav_Native_getLogicalDrives(env, nullptr), 0b1101);
  sim::add_drive(machine(), 'Z', DRIVE_REMOTE);
  EXPECT_EQ(Java_qav_Native_getLogicalDrives(env, nullptr), 0x200000D);
  sim::fail(sim::Op::GetLogicalDrives);
  EXPECT_EQ(Java_qav_Native_getLogicalDrives(env, nullptr), 0);
}

TEST_F(Drives, DriveTypeLabelsAndIsHD) {
  struct Case {
    char letter;
    UINT type;
    const char* label;
    bool fixed;
  } cases[] = {
      {'E', DRIVE_UNKNOWN, "Unknown", false},
      {'A', DRIVE_REMOVABLE, "Floppy/Removable", false},
      {'C', DRIVE_FIXED, "Hard Disk", true},
      {'N', DRIVE_REMOTE, "Network Drive", false},
      {'D', DRIVE_CDROM, "CD-ROM Drive", false},
      {'R', DRIVE_RAMDISK, "RAM Disk", false},
      {'X', 7, "Unknown", false},  // a code no platform reports today
  };
  for (const auto& c : cases) {
    sim::add_drive(machine(), c.letter, c.type);
    std::string root = std::string(1, c.letter) + ":\\";
    EXPECT_EQ(text(Java_qav_Native_getDriveType(env, nullptr, str(root))), c.label) << root;
    EXPECT_EQ(Java_qav_Native_isHD(env, nullptr, str(root)), c.fixed ? JNI_TRUE : JNI_FALSE)
        << root;
    EXPECT_EQ(sim::count_calls("GetDriveTypeA \"" + root + "\""), 2) << root;
  }
  // A letter with no drive, or a path that is no root.
  for (const char* root : {"Q:\\", "C:\\WINDOWS", ""}) {
    EXPECT_EQ(text(Java_qav_Native_getDriveType(env, nullptr, str(root))), "No Root Directory")
        << root;
    EXPECT_EQ(Java_qav_Native_isHD(env, nullptr, str(root)), JNI_FALSE) << root;
  }
}

TEST_F(Drives, DiskFreeSpaceIsTheVolumesFreeBytesInThousands) {
  sim::Drive& c = sim::add_drive(machine(), 'C', DRIVE_FIXED);
  c.free_bytes = 123456789;
  c.free_to_caller = 1000;  // a quota does not count
  c.total_bytes = 999999999999ull;
  machine().files.add_directory("C:\\Data");
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\")), 123456);
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\Data")), 123456);
  struct Case {
    std::uint64_t bytes;
    jlong thousands;
  } cases[] = {
      {999, 0}, {1000, 1}, {1024, 1}, {0, 0}, {18000000000000000000ull, 18000000000000000}};
  for (const auto& k : cases) {
    c.free_bytes = k.bytes;
    EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\")), k.thousands) << k.bytes;
  }
}

TEST_F(Drives, DiskFreeSpaceIsMinusOneWhenThePlatformCannotTell) {
  sim::add_drive(machine(), 'A', DRIVE_REMOVABLE, false).free_bytes = 1440000;
  sim::add_drive(machine(), 'C', DRIVE_FIXED).free_bytes = 5000;
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("A:\\")), -1) << "no medium";
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("Q:\\")), -1) << "no drive";
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\missing")), -1);
  sim::fail(sim::Op::GetDiskFreeSpaceExA, sim::FailMode::once);
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\")), -1);
  EXPECT_EQ(Java_qav_Native_getDiskFreeSpace(env, nullptr, str("C:\\")), 5);
}

TEST_F(Drives, ArgumentsReachThePlatformAndAreReleasedAfterIt) {
  sim::add_drive(machine(), 'C', DRIVE_FIXED);
  jstring root = str("C:\\");
  Java_qav_Native_getDriveType(env, nullptr, root);
  Java_qav_Native_isHD(env, nullptr, root);
  Java_qav_Native_getDiskFreeSpace(env, nullptr, root);
  EXPECT_EQ(java.trace(),
            (std::vector<std::string>{"borrow C:\\", "release C:\\", "new-utf", "borrow C:\\",
                                      "release C:\\", "borrow C:\\", "release C:\\"}));
  EXPECT_EQ(sim::count_calls("GetDiskFreeSpaceExA \"C:\\\""), 1);
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

}  // namespace
