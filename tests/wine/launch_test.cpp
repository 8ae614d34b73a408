// shellExecute against Wine's shell: a missing item, a real program that
// reports the directory it started in, and a text that is one whole item.
// reboot is never called here: it would restart the machine.
#include <windows.h>

#include <fstream>
#include <sstream>

#include "wine_test.h"

namespace {

// The helper's report, waited for: the program runs on after ShellExecute returns.
std::string wait_for_file(const std::string& path, DWORD timeout_ms) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 50) {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::stringstream text;
      text << in.rdbuf();
      return text.str();
    }
    Sleep(50);
  }
  return "<no report>";
}

class Launching : public WineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileA((wine::own_directory() + "\\zozudu_cwd_helper.exe").c_str(),
                          helper.c_str(), FALSE))
        << "the helper is built next to the test host";
    ASSERT_TRUE(CreateDirectoryA(start_in.c_str(), nullptr));
  }

  // One folder per test: a helper that is still ending keeps its start folder busy.
  wine::ScratchDirectory scratch{std::string("launch-") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name()};
  std::string helper = scratch.path() + "\\helper.exe";
  std::string report = scratch.path() + "\\helper-cwd.txt";
  std::string start_in = scratch.path() + "\\start here";
  // Last, so that it is undone first: chdir may have entered the scratch folder.
  wine::KeepCurrentDirectory keep_directory;
};

TEST_F(Launching, AMissingItemGivesZero) {
  EXPECT_EQ(call("shellExecute", {scratch.path() + "\\missing.exe"}).int_value, 0);
}

TEST_F(Launching, StartsAProgramInTheDirectoryThatChdirSet) {
  ASSERT_EQ(call("chdir", {start_in}).int_value, 0);
  ASSERT_EQ(call("shellExecute", {helper}).int_value, 1);
  EXPECT_EQ(wait_for_file(report, 20000), start_in);
}

TEST_F(Launching, AProgramAndAnArgumentAreOneItemThatIsNotFound) {
  EXPECT_EQ(call("shellExecute", {helper + " arg"}).int_value, 0);
  Sleep(500);
  EXPECT_EQ(GetFileAttributesA(report.c_str()), INVALID_FILE_ATTRIBUTES) << "the helper never ran";
}

}  // namespace
