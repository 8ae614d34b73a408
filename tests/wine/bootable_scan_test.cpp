// getFirstBootableDrive from several threads at once, in Wine's real process:
// the scans must never move the process's current directory, which every
// thread shares, and must all give the answer a lone scan gives.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "wine_test.h"

namespace {

// Runs from a scratch directory, so that any root the scan stepped into
// would differ from it; the caller's directory is put back afterwards.
class ConcurrentBootableScan : public WineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetCurrentDirectoryA(scratch_.path().c_str()));
    here_ = wine::current_directory();
  }
  wine::ScratchDirectory scratch_{"bootscan"};
  wine::KeepCurrentDirectory keep_;  // after the scratch folder: left before it is removed
  std::string here_;
};

TEST_F(ConcurrentBootableScan, ScansNeverMoveTheDirectoryAndAllAgree) {
  const std::string lone = call_string("getFirstBootableDrive");

  constexpr int scanners = 4;
  constexpr int scans_each = 25;
  std::atomic<bool> scanning{true};
  std::atomic<int> reads{0};
  std::atomic<int> reads_elsewhere{0};
  std::string first_elsewhere;  // written by the reader only, read after it ends
  std::thread reader([&] {
    while (scanning) {
      std::string seen = wine::current_directory();
      if (seen != here_ && reads_elsewhere++ == 0) first_elsewhere = seen;
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
        jstring root = wine::module().call(own.jni(), "getFirstBootableDrive", {}).string_value;
        answers[t].push_back(root ? own.utf8(root) : "<null>");
      }
      misuse[t] = own.faults();
      unreleased[t] = own.outstanding();
    });
  }
  for (auto& thread : threads) thread.join();
  scanning = false;
  reader.join();

  EXPECT_GT(reads, 0);
  EXPECT_EQ(reads_elsewhere, 0) << "of " << reads << " reads; first seen: " << first_elsewhere;
  EXPECT_EQ(wine::current_directory(), here_);
  for (int t = 0; t < scanners; ++t) {
    ASSERT_EQ(answers[t].size(), static_cast<std::size_t>(scans_each)) << "scanner " << t;
    auto wrong = std::find_if(answers[t].begin(), answers[t].end(),
                              [&](const std::string& answer) { return answer != lone; });
    EXPECT_TRUE(wrong == answers[t].end())
        << "scanner " << t << ", scan " << (wrong - answers[t].begin()) << ": " << *wrong
        << " where a lone scan gave " << lone;
    EXPECT_TRUE(misuse[t].empty()) << "scanner " << t;
    EXPECT_EQ(unreleased[t], 0) << "scanner " << t;
  }
}

}  // namespace
