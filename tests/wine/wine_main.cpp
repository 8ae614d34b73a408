#include <windows.h>

#include <cstdio>
#include <memory>

#include "wine_test.h"

namespace wine {

namespace {
std::string& path_storage() {
  static std::string path = "zozudu.dll";
  return path;
}
}  // namespace

const std::string& dll_path() { return path_storage(); }

UINT& error_mode_before_load() {
  static UINT mode = 0;
  return mode;
}

UINT& error_mode_after_load() {
  static UINT mode = 0;
  return mode;
}

testhost::NativeModule& module() {
  static testhost::NativeModule loaded(dll_path());
  return loaded;
}

}  // namespace wine

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc > 1) wine::path_storage() = argv[1];
  // A flag of our own beforehand shows that the load keeps what was there;
  // read both sides here, since the test framework sets its own mode later.
  SetErrorMode(SEM_NOALIGNMENTFAULTEXCEPT);
  wine::error_mode_before_load() = GetErrorMode();
  if (!wine::module().loaded()) {
    std::fprintf(stderr, "cannot load %s (error %lu)\n", wine::dll_path().c_str(), GetLastError());
    return 2;
  }
  wine::error_mode_after_load() = GetErrorMode();
  return RUN_ALL_TESTS();
}
