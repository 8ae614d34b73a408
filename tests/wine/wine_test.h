// What every Wine test shares: the DLL under test, loaded once as the JVM
// would, and a fresh fake JNI environment per test whose ledger must end clean.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_jni.h"
#include "native_module.h"

namespace wine {

// The loaded DLL (the path is the test host's first argument, else zozudu.dll).
testhost::NativeModule& module();
const std::string& dll_path();
// The process's error mode just before and just after the DLL was first loaded.
UINT& error_mode_before_load();
UINT& error_mode_after_load();

// Runs a command line with the console's command interpreter and returns its output.
std::string run_command(const std::string& command_line, int* exit_code = nullptr);

// A fresh directory below the system's temporary folder, removed at the end of the test.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& name);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The folder holding the test host (and the DLL and helpers built beside it).
std::string own_directory();
// The process's current directory, whatever its length; "" when it cannot be read.
std::string current_directory();

// Puts back the current directory it found when it was made, at the end of
// its scope. Declare it after any ScratchDirectory the test may enter: a
// directory cannot be removed while it is current.
class KeepCurrentDirectory {
 public:
  KeepCurrentDirectory() : saved_(current_directory()) {}
  ~KeepCurrentDirectory() { SetCurrentDirectoryA(saved_.c_str()); }
  KeepCurrentDirectory(const KeepCurrentDirectory&) = delete;
  KeepCurrentDirectory& operator=(const KeepCurrentDirectory&) = delete;
  const std::string& saved() const { return saved_; }

 private:
  std::string saved_;
};

}  // namespace wine

class WineTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const auto& fault : java.faults()) ADD_FAILURE() << "JNI misuse: " << fault;
    EXPECT_EQ(java.outstanding(), 0) << "borrowed strings left unreleased";
  }

  testhost::Result call(const std::string& method, const std::vector<std::string>& args = {}) {
    std::vector<jstring> strings;
    for (const auto& a : args) strings.push_back(java.make_utf8(a));
    return wine::module().call(java.jni(), method, strings);
  }
  std::string call_string(const std::string& method, const std::vector<std::string>& args = {}) {
    jstring s = call(method, args).string_value;
    return s ? java.utf8(s) : "<null>";
  }
  // The raw bytes that the DLL handed to NewStringUTF.
  std::string call_bytes(const std::string& method, const std::vector<std::string>& args = {}) {
    jstring s = call(method, args).string_value;
    return s ? java.new_utf_bytes(s) : "<null>";
  }

  fakejni::Env java;
};
