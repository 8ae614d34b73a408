// The key holder over the simulated registry: what each operation passes to
// the platform, what it returns, and when the held key is closed.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/sim/machine.h"
#include "registry/registry_key.h"

namespace {

class RegistryKey : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::reset();
    registry().ensure_key(HKEY_CURRENT_USER, "Software\\A");
    registry().ensure_key(HKEY_CURRENT_USER, "Software\\B");
  }
  void TearDown() override { sim::reset(); }
  sim::Registry& registry() { return sim::machine().registry; }
  int open_keys() { return registry().open_handles(); }
};

TEST_F(RegistryKey, CloseOnAnEmptyHolderMakesNoPlatformCall) {
  CRegistryKey key;
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS);
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 0);
}

TEST_F(RegistryKey, CloseForgetsTheHandleEvenWhenTheCloseFails) {
  CRegistryKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);
  sim::fail(sim::Op::RegCloseKey, sim::FailMode::once, ERROR_INVALID_HANDLE);
  EXPECT_EQ(key.Close(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(key.m_hKey, nullptr);
  EXPECT_EQ(key.Close(), ERROR_SUCCESS) << "a second close closes nothing";
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 1);
}

TEST_F(RegistryKey, OpenPassesItsArgumentsAndHoldsTheKey) {
  CRegistryKey key;
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_READ), ERROR_SUCCESS);
  EXPECT_NE(key.m_hKey, nullptr);
  EXPECT_EQ(sim::count_calls("RegOpenKeyExA HKEY_CURRENT_USER \"Software\\A\" 0 0x20019"), 1);
  EXPECT_EQ(open_keys(), 1);
}

TEST_F(RegistryKey, FailedOpenOrCreateLeavesTheHeldKeyOpen) {
  CRegistryKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);
  HKEY held = key.m_hKey;
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Missing", KEY_ALL_ACCESS), ERROR_FILE_NOT_FOUND);
  sim::fail(sim::Op::RegCreateKeyExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
  EXPECT_EQ(
      key.Create(HKEY_CURRENT_USER, "Software\\C", nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr),
      ERROR_ACCESS_DENIED);
  EXPECT_EQ(key.m_hKey, held);
  EXPECT_EQ(open_keys(), 1);
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 0);
}

TEST_F(RegistryKey, ReplacingAKeyClosesTheOldOneAfterTheNewOneOpened) {
  CRegistryKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);
  HKEY first = key.m_hKey;
  sim::machine().calls.clear();
  EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\B", KEY_ALL_ACCESS), ERROR_SUCCESS);
  EXPECT_NE(key.m_hKey, first);
  ASSERT_EQ(sim::machine().calls.size(), 2u);
  EXPECT_EQ(sim::machine().calls[0].op, sim::Op::RegOpenKeyExA);
  EXPECT_EQ(sim::machine().calls[1].line, "RegCloseKey");
  EXPECT_EQ(open_keys(), 1);

  // The old key's failed close is the result, though the new key is held.
  sim::fail(sim::Op::RegCloseKey, sim::FailMode::once, ERROR_INVALID_HANDLE);
  HKEY second = key.m_hKey;
  EXPECT_EQ(
      key.Create(HKEY_CURRENT_USER, "Software\\C", nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr),
      ERROR_INVALID_HANDLE);
  EXPECT_NE(key.m_hKey, nullptr);
  EXPECT_NE(key.m_hKey, second);
  EXPECT_NE(registry().find_key(HKEY_CURRENT_USER, "Software\\C"), nullptr);
}

TEST_F(RegistryKey, CreateMakesMissingKeysAndReportsTheDisposition) {
  CRegistryKey key;
  DWORD disposition = 0xdeadbeef;
  char no_class[] = "";
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\New\\Deeper", no_class, 0, KEY_ALL_ACCESS,
                       nullptr, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
  EXPECT_EQ(sim::count_calls("RegCreateKeyExA HKEY_CURRENT_USER \"Software\\New\\Deeper\" 0 \"\" 0 "
                             "0xf003f null disposition"),
            1);
  EXPECT_NE(registry().find_key(HKEY_CURRENT_USER, "Software\\New\\Deeper"), nullptr);
  EXPECT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\New", nullptr, 0, KEY_ALL_ACCESS, nullptr,
                       &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
  EXPECT_EQ(open_keys(), 1);
}

TEST_F(RegistryKey, SetValueWritesTheNumberOrTheTextWithItsNul) {
  CRegistryKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);
  struct Case {
    const char* name;
    bool number;
    DWORD value;
    const char* text;
    DWORD type;
    std::vector<BYTE> bytes;
  } cases[] = {
      {"one", true, 1, nullptr, REG_DWORD, {1, 0, 0, 0}},
      {"big", true, 0x12345678, nullptr, REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {"empty", false, 0, "", REG_SZ, {0}},
      {"text", false, 0, "Ab\xC3\xA9", REG_SZ, {'A', 'b', 0xC3, 0xA9, 0}},
      {"", false, 0, "default", REG_SZ, {'d', 'e', 'f', 'a', 'u', 'l', 't', 0}},
  };
  for (const auto& c : cases) {
    LONG status = c.number ? key.SetValue(c.value, c.name) : key.SetValue(c.text, c.name);
    EXPECT_EQ(status, ERROR_SUCCESS) << c.name;
    const auto* stored = registry().find_value(HKEY_CURRENT_USER, "Software\\A", c.name);
    ASSERT_NE(stored, nullptr) << c.name;
    EXPECT_EQ(stored->type, c.type) << c.name;
    EXPECT_EQ(stored->data, c.bytes) << c.name;
  }
  sim::fail(sim::Op::RegSetValueExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
  EXPECT_EQ(key.SetValue(DWORD{7}, "seven"), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryKey, QueryValueCopiesRawBytesAndReportsWhatATooSmallBufferNeeds) {
  registry().set_dword(HKEY_CURRENT_USER, "Software\\A", "number", 0x41424344);
  registry().set_text(HKEY_CURRENT_USER, "Software\\A", "text", "hello");
  CRegistryKey key;
  ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);

  char buffer[16];
  std::memset(buffer, 0xBD, sizeof buffer);
  DWORD count = sizeof buffer;
  EXPECT_EQ(key.QueryValue(buffer, "number", &count), ERROR_SUCCESS);
  EXPECT_EQ(count, 4u);
  EXPECT_EQ(std::string(buffer, 5), "DCBA\xBD") << "no NUL added";

  count = 3;
  EXPECT_EQ(key.QueryValue(buffer, "text", &count), ERROR_MORE_DATA);
  EXPECT_EQ(count, 6u);

  count = sizeof buffer;
  EXPECT_EQ(key.QueryValue(buffer, "missing", &count), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(sim::count_calls("RegQueryValueExA \"missing\" 16"), 1);
}

TEST_F(RegistryKey, DestructionClosesAHeldKey) {
  {
    CRegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\A", KEY_ALL_ACCESS), ERROR_SUCCESS);
    EXPECT_EQ(open_keys(), 1);
  }
  EXPECT_EQ(open_keys(), 0);
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 1);
}

}  // namespace
