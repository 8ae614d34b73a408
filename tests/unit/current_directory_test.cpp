#include "module_test.h"

namespace {

using CurrentDirectory = ModuleTest;

// A directory below C:\ whose full path has exactly `length` bytes.
std::string path_of_length(size_t length) {
  std::string path = "C:\\";
  while (path.size() < length) {
    size_t part = std::min<size_t>(length - path.size(), 20);
    if (path.size() > 3) {
      path += "\\";
      --part;
    }
    if (part == 0) {  // never end on a separator
      path.back() = 'x';
      continue;
    }
    path += std::string(part, 'd');
  }
  return path;
}

TEST_F(CurrentDirectory, FitsOnlyBelowNinetyNineBytes) {
  struct Case {
    size_t length;
    bool whole;
  } cases[] = {{3, true}, {50, true}, {98, true}, {99, false}, {150, false}};
  for (const auto& c : cases) {
    std::string dir = path_of_length(c.length);
    ASSERT_EQ(dir.size(), c.length);
    machine().files.add_directory(dir);
    ASSERT_TRUE(machine().files.set_current_directory(dir));
    EXPECT_EQ(text(Java_qav_Native_getCurrentDir(env, nullptr)), c.whole ? dir : "")
        << c.length << " bytes";
  }
  EXPECT_EQ(sim::count_calls("GetCurrentDirectoryA 99"), 5) << "offers 99 of its 100 bytes";
}

TEST_F(CurrentDirectory, ChdirChangesItForExistingDirectoriesOnly) {
  machine().files.add_directory("C:\\Apps\\Tool");
  struct Case {
    const char* path;
    jint result;
    const char* after;
  } cases[] = {
      {"C:\\Apps", 0, "C:\\Apps"},      // whole path
      {"Tool", 0, "C:\\Apps\\Tool"},    // relative to the current directory
      {"..\\..\\TEMP", 0, "C:\\TEMP"},  // relative, upwards
      {"C:\\Missing", -1, "C:\\TEMP"},  // unchanged
      {"", -1, "C:\\TEMP"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Java_qav_Native_chdir(env, nullptr, str(c.path)), c.result) << c.path;
    EXPECT_EQ(machine().files.current_directory(), c.after) << c.path;
  }
}

TEST_F(CurrentDirectory, ChdirHandsTheBorrowedBytesToTheRuntimeAndThenReleasesThem) {
  // Released bytes are overwritten by the fake, so a release before the
  // runtime call would show here as a garbled path.
  machine().files.add_directory("C:\\caf\xC3\xA9");
  EXPECT_EQ(Java_qav_Native_chdir(env, nullptr, str("C:\\caf\xC3\xA9")), 0);
  EXPECT_EQ(sim::count_calls("_chdir \"C:\\caf\xC3\xA9\""), 1);
  EXPECT_EQ(java.trace(),
            (std::vector<std::string>{"borrow C:\\caf\xC3\xA9", "release C:\\caf\xC3\xA9"}));

  // A U+0000 inside the Java string reaches the runtime as C0 80, and the text goes on.
  EXPECT_EQ(Java_qav_Native_chdir(env, nullptr, java.make(std::u16string(u"C:\\a\0b", 6), "nul")),
            -1);
  EXPECT_EQ(sim::count_calls("_chdir \"C:\\a\xC0\x80"
                             "b\""),
            1);
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

}  // namespace
