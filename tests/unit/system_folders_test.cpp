#include "module_test.h"

namespace {

using Getter = jstring(JNICALL*)(JNIEnv*, jobject);

struct FolderMethod {
  const char* name;
  sim::Op operation;
  Getter method;
  std::string sim::Machine::*folder;
};

const FolderMethod folder_methods[] = {
    {"GetSystemDirectoryA", sim::Op::GetSystemDirectoryA, Java_qav_Native_getSystemDirectory,
     &sim::Machine::system_directory},
    {"GetWindowsDirectoryA", sim::Op::GetWindowsDirectoryA, Java_qav_Native_getWindowsDirectory,
     &sim::Machine::windows_directory},
};

class SystemFolders : public ModuleTest, public ::testing::WithParamInterface<FolderMethod> {};

TEST_P(SystemFolders, ReturnsThePlatformsBytesUnconverted) {
  const auto& m = GetParam();
  machine().*m.folder = "D:\\W\xE9N";  // one ANSI byte 0xE9, passed on as it is
  jstring result = m.method(env, nullptr);
  EXPECT_EQ(java.new_utf_bytes(result), "D:\\W\xE9N");
  EXPECT_EQ(sim::count_calls(std::string(m.name) + " 260"), 1) << "offers its 260-byte buffer";
}

TEST_P(SystemFolders, GivesTheEmptyStringWhenThePlatformFails) {
  const auto& m = GetParam();
  sim::fail(m.operation);
  EXPECT_EQ(text(m.method(env, nullptr)), "");
}

TEST_P(SystemFolders, GivesTheEmptyStringForAFolderThatDoesNotFit) {
  const auto& m = GetParam();
  machine().*m.folder = "C:\\" + std::string(257, 'x');  // 260 bytes, 261 with the NUL
  EXPECT_EQ(text(m.method(env, nullptr)), "");
  machine().*m.folder = "C:\\" + std::string(256, 'x');  // fits exactly
  EXPECT_EQ(text(m.method(env, nullptr)), "C:\\" + std::string(256, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Both, SystemFolders, ::testing::ValuesIn(folder_methods),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
