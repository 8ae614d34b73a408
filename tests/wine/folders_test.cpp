// The folder methods against Wine's real file system and registry, compared
// with what the platform itself answers to the test host.
#include <windows.h>

#include "wine_test.h"

namespace {

const char* const shell_folders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

using wine::current_directory;

using Folders = WineTest;

TEST_F(Folders, SystemAndWindowsFoldersAreThePlatformsOwn) {
  char system[MAX_PATH], windows[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(call_bytes("getSystemDirectory"), system);
  EXPECT_EQ(call_bytes("getWindowsDirectory"), windows);
}

TEST_F(Folders, CurrentDirectoryFitsOnlyBelowNinetyNineBytes) {
  wine::ScratchDirectory scratch("cwd");
  wine::KeepCurrentDirectory keep;
  for (size_t length : {98u, 99u}) {
    std::string dir = scratch.path() + "\\";
    dir += std::string(length - dir.size(), 'd');
    ASSERT_EQ(dir.size(), length);
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    ASSERT_EQ(call("chdir", {dir}).int_value, 0) << dir;
    ASSERT_EQ(current_directory(), dir);
    EXPECT_EQ(call_bytes("getCurrentDir"), length == 98 ? dir : "") << length << " bytes";
  }
}

TEST_F(Folders, ChdirTakesWholeAndRelativePathsAndRefusesMissingOnes) {
  wine::ScratchDirectory scratch("chdir");
  wine::KeepCurrentDirectory keep;
  std::string inner = scratch.path() + "\\inner";
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));

  EXPECT_EQ(call("chdir", {scratch.path()}).int_value, 0);
  EXPECT_EQ(current_directory(), scratch.path());
  EXPECT_EQ(call("chdir", {"inner"}).int_value, 0);
  EXPECT_EQ(current_directory(), inner);
  EXPECT_EQ(call_bytes("getCurrentDir"), inner);
  EXPECT_EQ(call("chdir", {scratch.path() + "\\missing"}).int_value, -1);
  EXPECT_EQ(current_directory(), inner) << "a failed chdir leaves the directory";
}

TEST_F(Folders, ShortPathNameIsThePlatformsOwn) {
  wine::ScratchDirectory scratch("short");
  std::string long_path = scratch.path() + "\\A Rather Long Folder Name";
  ASSERT_TRUE(CreateDirectoryA(long_path.c_str(), nullptr));
  char expected[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(long_path.c_str(), expected, MAX_PATH), 0u);
  EXPECT_EQ(call_bytes("getShortPathName", {long_path}), expected);
  EXPECT_EQ(call_bytes("getShortPathName", {scratch.path() + "\\missing"}), "");
}

// The Startup value read three ways: by the DLL, by the registry API and by Wine's reg.exe.
class StartupFolder : public WineTest {
 protected:
  std::string reg_query() {
    return wine::run_command("reg query \"HKCU\\" + std::string(shell_folders) + "\" /v Startup");
  }
};

TEST_F(StartupFolder, MatchesTheRegistryAndRegExe) {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  ASSERT_EQ(
      RegGetValueA(HKEY_CURRENT_USER, shell_folders, "Startup", RRF_RT_ANY, nullptr, value, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(call_string("getStartupDir"), value);
  EXPECT_NE(reg_query().find(value), std::string::npos) << reg_query();
}

// The values of a key, saved so that a test may delete the key and put it back.
class SavedKey {
 public:
  SavedKey(HKEY root, const char* path) : root_(root), path_(path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD i = 0;; ++i) {
      char name[16384];
      static BYTE data[65536];
      DWORD name_size = sizeof name, data_size = sizeof data, type = 0;
      LONG status = RegEnumValueA(key, i, name, &name_size, nullptr, &type, data, &data_size);
      if (status == ERROR_NO_MORE_ITEMS) break;
      EXPECT_EQ(status, ERROR_SUCCESS) << "saving value " << i << " of " << path;
      if (status != ERROR_SUCCESS) continue;
      values_.push_back({name, type, std::string(reinterpret_cast<char*>(data), data_size)});
    }
    RegCloseKey(key);
  }
  ~SavedKey() {
    HKEY key;
    if (RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
      return;
    }
    for (const auto& v : values_) {
      RegSetValueExA(key, v.name.c_str(), 0, v.type, reinterpret_cast<const BYTE*>(v.data.data()),
                     static_cast<DWORD>(v.data.size()));
    }
    RegCloseKey(key);
  }
  bool has(const std::string& name) const {
    for (const auto& v : values_) {
      if (_stricmp(v.name.c_str(), name.c_str()) == 0) return true;  // Wine stores "StartUp"
    }
    return false;
  }

 private:
  struct Value {
    std::string name;
    DWORD type;
    std::string data;
  };
  HKEY root_;
  std::string path_;
  std::vector<Value> values_;
};

TEST_F(StartupFolder, MissingValueOrKeyGivesTheEmptyString) {
  std::string before = call_string("getStartupDir");
  {
    SavedKey saved(HKEY_CURRENT_USER, shell_folders);
    ASSERT_TRUE(saved.has("Startup"));

    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, shell_folders, 0, KEY_ALL_ACCESS, &key), 0);
    RegDeleteValueA(key, "Startup");
    RegCloseKey(key);
    EXPECT_EQ(reg_query().find("REG_"), std::string::npos) << "reg.exe sees it gone";
    EXPECT_EQ(call_string("getStartupDir"), "") << "value missing";

    ASSERT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, shell_folders), ERROR_SUCCESS);
    EXPECT_EQ(call_string("getStartupDir"), "") << "key missing";
  }
  EXPECT_EQ(call_string("getStartupDir"), before) << "restored";
}

}  // namespace
