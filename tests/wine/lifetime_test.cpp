// The module's lifetime in a real process: the error mode that loading left,
// desWin, and an unload after registry calls that returns and lets the
// process go on.
#include <windows.h>

#include "wine_test.h"

namespace {

using Lifetime = WineTest;

TEST_F(Lifetime, LoadingAddedTheTwoFlagsToTheErrorMode) {
  UINT expected = wine::error_mode_before_load() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
  EXPECT_EQ(wine::error_mode_before_load(), static_cast<UINT>(SEM_NOALIGNMENTFAULTEXCEPT));
  EXPECT_EQ(wine::error_mode_after_load(), expected)
      << std::hex << "before the load: " << wine::error_mode_before_load();
}

TEST_F(Lifetime, DesWinAnswersZeroEveryTimeAndTheModuleGoesOn) {
  std::string before = call_bytes("getSystemDirectory");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(call("desWin").int_value, 0);
  EXPECT_EQ(call_bytes("getSystemDirectory"), before);
}

// A copy of the DLL under another name is a module of its own: it is loaded,
// used and freed while the main copy stays.
TEST_F(Lifetime, FreeingTheModuleAfterRegistryCallsReturns) {
  wine::ScratchDirectory dir("unload");
  std::string copy = dir.path() + "\\zozudu-copy.dll";
  ASSERT_TRUE(CopyFileA(wine::dll_path().c_str(), copy.c_str(), FALSE)) << GetLastError();
  const char* key = "Software\\zozudu\\Test\\Unload";
  {
    testhost::NativeModule module(copy);
    ASSERT_TRUE(module.loaded()) << GetLastError();
    auto run = [&](const char* method, std::vector<std::string> args) {
      std::vector<jstring> strings;
      for (const auto& a : args) strings.push_back(java.make_utf8(a));
      return module.call(java.jni(), method, strings);
    };
    EXPECT_EQ(run("setReg", {"HKEY_CURRENT_USER", key, "v", "x"}).boolean_value, 1);
    EXPECT_EQ(java.new_utf_bytes(run("getRegString", {"HKEY_CURRENT_USER", key, "v"}).string_value),
              "x");
    EXPECT_EQ(run("delReg", {"HKEY_CURRENT_USER", key, "v"}).boolean_value, 1);
    EXPECT_EQ(run("delRegKey", {"HKEY_CURRENT_USER", key}).boolean_value, 1);
    EXPECT_EQ(run("desWin", {}).int_value, 0);
    EXPECT_TRUE(module.unload());
  }
  EXPECT_EQ(call("desWin").int_value, 0) << "the main copy still answers";
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\zozudu\\Test");
}

}  // namespace
