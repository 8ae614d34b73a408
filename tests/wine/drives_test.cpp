// The drive methods against Wine's drives. The test run may stage extra
// drives through Wine's drive configuration (tests/wine/run-wine-tests.sh):
// ZOZUDU_STAGED_DRIVES then names them, e.g. "E:floppy F:cdrom".
#include <windows.h>

#include <cstdlib>
#include <sstream>

#include "wine_test.h"

namespace {

std::vector<std::string> platform_drive_roots() {
  char list[256] = "";
  DWORD length = GetLogicalDriveStringsA(sizeof list, list);
  std::vector<std::string> roots;
  for (const char* entry = list; entry < list + length && *entry; entry += strlen(entry) + 1) {
    roots.push_back(entry);
  }
  return roots;
}

// Every code GetDriveType is documented to answer, each with the label the
// method promises for it. No fallback: a code outside this list is a finding
// about the platform, not something to label here.
struct DocumentedDriveType {
  UINT code;
  const char* label;
};
const DocumentedDriveType documented_drive_types[] = {
    {DRIVE_UNKNOWN, "Unknown"},
    {DRIVE_NO_ROOT_DIR, "No Root Directory"},
    {DRIVE_REMOVABLE, "Floppy/Removable"},
    {DRIVE_FIXED, "Hard Disk"},
    {DRIVE_REMOTE, "Network Drive"},
    {DRIVE_CDROM, "CD-ROM Drive"},
    {DRIVE_RAMDISK, "RAM Disk"},
};

const DocumentedDriveType* documented(UINT code) {
  for (const auto& type : documented_drive_types) {
    if (type.code == code) return &type;
  }
  return nullptr;
}

// The drives the test run staged: root and kind ("floppy" or "cdrom").
std::vector<std::pair<std::string, std::string>> staged_drives() {
  std::vector<std::pair<std::string, std::string>> drives;
  const char* staged = std::getenv("ZOZUDU_STAGED_DRIVES");
  std::istringstream words(staged ? staged : "");
  std::string word;
  while (words >> word) {
    auto colon = word.find(':');
    if (colon == 1) drives.push_back({word.substr(0, 2) + "\\", word.substr(2)});
  }
  return drives;
}

bool has_file(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

using wine::current_directory;

// What the scan should find, found the test host's own way.
std::string expected_bootable_drive() {
  for (const auto& root : platform_drive_roots()) {
    UINT type = GetDriveTypeA(root.c_str());
    if ((type == DRIVE_FIXED || type == DRIVE_CDROM) && has_file(root + "MSDOS.SYS")) return root;
  }
  return "<null>";
}

using Drives = WineTest;

TEST_F(Drives, MaskAndListAreThePlatformsOwn) {
  EXPECT_EQ(call("getLogicalDrives").int_value, static_cast<jint>(GetLogicalDrives()));
  std::vector<std::string> expected = platform_drive_roots();
  ASSERT_FALSE(expected.empty());
  // Any pass left under way first runs out, then two whole passes.
  for (int i = 0; i < 30 && call_string("getLogicalDriveStrings") != ""; ++i) {
  }
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<std::string> seen;
    for (size_t i = 0; i <= expected.size(); ++i)
      seen.push_back(call_bytes("getLogicalDriveStrings"));
    std::vector<std::string> whole = expected;
    whole.push_back("");
    EXPECT_EQ(seen, whole) << "pass " << pass;
  }
}

TEST_F(Drives, TypeLabelsAndIsHDFollowThePlatform) {
  // Each root the platform lists, and a path that is no root (whatever the
  // platform makes of it: Wine takes its drive).
  std::vector<std::string> paths = platform_drive_roots();
  paths.push_back("C:\\windows");
  for (const auto& path : paths) {
    UINT code = GetDriveTypeA(path.c_str());
    const DocumentedDriveType* type = documented(code);
    ASSERT_NE(type, nullptr) << path << ": the platform answered the undocumented code " << code;
    std::string label = call_string("getDriveType", {path});
    EXPECT_EQ(label, type->label) << path << " (code " << code << ")";
    // isHD tells a fixed disk from the rest as the label does, and as the platform does.
    jboolean hd = call("isHD", {path}).boolean_value;
    EXPECT_EQ(hd, label == "Hard Disk" ? 1 : 0) << path << ": isHD against the label " << label;
    EXPECT_EQ(hd, code == DRIVE_FIXED ? 1 : 0) << path << ": isHD against code " << code;
  }
  // Drives whose kind is known without asking the platform.
  EXPECT_EQ(call_string("getDriveType", {"C:\\"}), "Hard Disk");
  EXPECT_EQ(call_string("getDriveType", {"Q:\\"}), "No Root Directory");
}

TEST_F(Drives, StagedFloppyAndCdRomAreNoHardDisks) {
  auto staged = staged_drives();
  if (staged.empty()) GTEST_SKIP() << "no drives staged (run tests/wine/run-wine-tests.sh)";
  for (const auto& [root, kind] : staged) {
    const char* label = kind == "cdrom" ? "CD-ROM Drive" : "Floppy/Removable";
    EXPECT_EQ(call_string("getDriveType", {root}), label) << root;
    EXPECT_EQ(call("isHD", {root}).boolean_value, 0) << root;
  }
}

TEST_F(Drives, FreeSpaceIsTheVolumesFreeBytesInThousands) {
  for (const auto& root : platform_drive_roots()) {
    ULARGE_INTEGER caller, total, before, after;
    if (!GetDiskFreeSpaceExA(root.c_str(), &caller, &total, &before)) {
      EXPECT_EQ(call("getDiskFreeSpace", {root}).long_value, -1) << root;
      continue;
    }
    jlong answer = call("getDiskFreeSpace", {root}).long_value;
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &caller, &total, &after));
    // Other processes write meanwhile: the answer lies within what the
    // platform said just before and just after, give or take 16 MB.
    jlong low = static_cast<jlong>(std::min(before.QuadPart, after.QuadPart) / 1000) - 16000;
    jlong high = static_cast<jlong>(std::max(before.QuadPart, after.QuadPart) / 1000) + 16000;
    EXPECT_GE(answer, low) << root;
    EXPECT_LE(answer, high) << root;
  }
  EXPECT_EQ(call("getDiskFreeSpace", {"C:\\no such folder\\"}).long_value, -1);
  EXPECT_EQ(call("getDiskFreeSpace", {"Q:\\"}).long_value, -1);
}

// A folder to start the scan from, and the current directory put back when a
// test ends (first, so that the folder can then be removed).
class BootableDrive : public WineTest {
 protected:
  wine::ScratchDirectory scratch{"boot"};
  wine::KeepCurrentDirectory keep_directory;
};

TEST_F(BootableDrive, FindsWhatTheHostFindsAndRestoresTheDirectory) {
  ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
  EXPECT_EQ(call_string("getFirstBootableDrive"), expected_bootable_drive());
  EXPECT_EQ(current_directory(), scratch.path());

  // The staged floppy holds the file too and comes first, but is never examined.
  auto staged = staged_drives();
  for (const auto& [root, kind] : staged) {
    if (kind == "floppy") {
      EXPECT_TRUE(has_file(root + "MSDOS.SYS")) << root;
    }
  }
  for (const auto& [root, kind] : staged) {
    if (kind == "cdrom" && has_file(root + "MSDOS.SYS") && !has_file("C:\\MSDOS.SYS")) {
      EXPECT_EQ(call_string("getFirstBootableDrive"), root);
    }
  }
}

TEST_F(BootableDrive, FindsAHiddenSystemFileOnC) {
  if (has_file("C:\\MSDOS.SYS")) GTEST_SKIP() << "C:\\MSDOS.SYS exists already";
  HANDLE file = CreateFileA("C:\\MSDOS.SYS", GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  std::string found = call_string("getFirstBootableDrive");
  std::string expected = expected_bootable_drive();
  SetFileAttributesA("C:\\MSDOS.SYS", FILE_ATTRIBUTE_NORMAL);
  DeleteFileA("C:\\MSDOS.SYS");
  EXPECT_EQ(expected, "C:\\");
  EXPECT_EQ(found, "C:\\");
  EXPECT_EQ(current_directory(), keep_directory.saved());
}

}  // namespace
