#include "module_test.h"

namespace {

using ShortPath = ModuleTest;

TEST_F(ShortPath, ShortensExistingPaths) {
  machine().files.add_directory("C:\\Program Files\\Common Files", "COMMON~1");
  machine().files.add_file("C:\\Program Files\\Common Files\\readme.txt");
  machine().files.set_current_directory("C:\\Program Files");
  struct Case {
    const char* path;
    const char* short_form;
  } cases[] = {
      {"C:\\Program Files\\Common Files", "C:\\PROGRA~1\\COMMON~1"},
      {"C:\\Program Files\\Common Files\\readme.txt", "C:\\PROGRA~1\\COMMON~1\\readme.txt"},
      {"Common Files", "COMMON~1"},  // a relative path stays relative
      {"C:\\WINDOWS", "C:\\WINDOWS"},
      {"C:\\No Such Folder", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text(Java_qav_Native_getShortPathName(env, nullptr, str(c.path))), c.short_form)
        << c.path;
  }
  EXPECT_EQ(sim::count_calls("GetShortPathNameA \"C:\\Program Files\\Common Files\" 260"), 1);
}

TEST_F(ShortPath, GivesTheEmptyStringWhenTheShortFormDoesNotFit) {
  std::string deep = "C:";
  for (int i = 0; i < 30; ++i) deep += "\\directory" + std::to_string(i);  // short forms too
  machine().files.add_directory(deep);
  ASSERT_GT(deep.size(), 260u);
  EXPECT_EQ(text(Java_qav_Native_getShortPathName(env, nullptr, str(deep))), "");
}

TEST_F(ShortPath, ReleasesTheArgumentBeforeMakingTheResult) {
  Java_qav_Native_getShortPathName(env, nullptr, str("C:\\WINDOWS"));
  EXPECT_EQ(java.trace(),
            (std::vector<std::string>{"borrow C:\\WINDOWS", "release C:\\WINDOWS", "new-utf"}));
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

}  // namespace
