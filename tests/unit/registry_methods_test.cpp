// The five registry methods over the simulated registry: root-key matching,
// results in every case, the borrow and release orders, and theRegKey left
// empty after each call.
#include <cstring>
#include <functional>
#include <thread>

#include "module_test.h"
#include "registry/the_reg_key.h"

namespace {

const char* const key_path = "Software\\zozudu\\Test";

class RegistryMethods : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    registry().ensure_key(HKEY_CURRENT_USER, key_path);
  }
  void TearDown() override {
    EXPECT_EQ(theRegKey.m_hKey, nullptr) << "theRegKey holds no key between calls";
    EXPECT_EQ(registry().open_handles(), 0) << "a key was left open";
    ModuleTest::TearDown();
  }
  sim::Registry& registry() { return machine().registry; }

  std::string get(const std::string& root, const std::string& sub, const std::string& name) {
    return text(Java_qav_Native_getRegString(env, nullptr, str(root), str(sub), str(name)));
  }
  jboolean set(const std::string& sub, const std::string& name, const std::string& value) {
    return Java_qav_Native_setReg(env, nullptr, str("HKEY_CURRENT_USER"), str(sub), str(name),
                                  str(value));
  }
  jboolean set_dword(const std::string& sub, const std::string& name, const std::string& value) {
    return Java_qav_Native_setRegDWord(env, nullptr, str("HKEY_CURRENT_USER"), str(sub), str(name),
                                       str(value));
  }
  jboolean del(const std::string& sub, const std::string& name) {
    return Java_qav_Native_delReg(env, nullptr, str("HKEY_CURRENT_USER"), str(sub), str(name));
  }
  const sim::RegistryValue* stored(const std::string& name, const std::string& sub = key_path) {
    return registry().find_value(HKEY_CURRENT_USER, sub, name);
  }
  int registry_calls() { return sim::count_calls("Reg"); }
};

std::vector<BYTE> bytes(const std::string& s) { return std::vector<BYTE>(s.begin(), s.end()); }

// --- Root-key names ---------------------------------------------------------

TEST_F(RegistryMethods, OnlyTheFourExactRootNamesSelectARootKey) {
  struct Case {
    const char* name;
    HKEY key;
  } accepted[] = {{"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                  {"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                  {"HKEY_USERS", HKEY_USERS},
                  {"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT}};
  for (const auto& c : accepted) {
    registry().set_text(c.key, "K", "v", c.name);
    EXPECT_EQ(get(c.name, "K", "v"), c.name);
    EXPECT_EQ(sim::count_calls(std::string("RegOpenKeyExA ") + c.name + " \"K\" 0 0xf003f"), 1)
        << c.name;
  }
}

TEST_F(RegistryMethods, AnyOtherRootTextMatchesNothingAndTouchesNoKey) {
  registry().set_text(HKEY_CURRENT_USER, key_path, "v", "x");
  const char* others[] = {"hkey_current_user",
                          "HKEY_Current_User",
                          " HKEY_CURRENT_USER",
                          "HKEY_CURRENT_USER ",
                          "\\HKEY_CURRENT_USER",
                          "HKEY_CURRENT_USER\\",
                          "HKCU",
                          "HKEY_CURRENT_CONFIG",
                          "HKEY_PERFORMANCE_DATA",
                          "",
                          "HKEY_"};
  for (const char* root : others) {
    java.clear_events();
    EXPECT_EQ(get(root, key_path, "v"), "") << root;
    EXPECT_EQ(java.trace(),
              (std::vector<std::string>{
                  "borrow " + std::string(root), std::string("borrow ") + key_path,
                  "release " + std::string(root), std::string("release ") + key_path, "new-utf"}))
        << root;
    EXPECT_EQ(Java_qav_Native_setReg(env, nullptr, str(root), str(key_path), str("v"), str("y")), 0)
        << root;
    EXPECT_EQ(
        Java_qav_Native_setRegDWord(env, nullptr, str(root), str(key_path), str("v"), str("1")), 0)
        << root;
    EXPECT_EQ(Java_qav_Native_delReg(env, nullptr, str(root), str(key_path), str("v")), 0) << root;
    EXPECT_EQ(Java_qav_Native_delRegKey(env, nullptr, str(root), str(key_path)), 0) << root;
  }
  EXPECT_EQ(registry_calls(), 0);
  EXPECT_EQ(stored("v")->data, bytes(std::string("x", 2)));
}

// --- getRegString -----------------------------------------------------------

TEST_F(RegistryMethods, GetRegStringReadsAnyTypeUpToItsFirstNul) {
  std::string ninety_eight(98, 't'), ninety_nine(99, 'u');
  struct Case {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
    std::string expected;
  } cases[] = {
      {"text", REG_SZ, bytes(std::string("caf\xC3\xA9", 6)), "caf\xC3\xA9"},
      {"empty text", REG_SZ, {0}, ""},
      {"expandable text, not expanded", REG_EXPAND_SZ, bytes(std::string("%TEMP%\\x", 9)),
       "%TEMP%\\x"},
      {"multi-text gives its first", REG_MULTI_SZ, bytes(std::string("one\0two\0\0", 9)), "one"},
      {"number 0", REG_DWORD, {0, 0, 0, 0}, ""},
      {"number up to its zero byte", REG_DWORD, {'A', 'B', 0, 0}, "AB"},
      {"bytes without a NUL end where the data ends", REG_BINARY, bytes("abc"), "abc"},
      {"98 bytes and the NUL fill 99", REG_SZ, bytes(ninety_eight + '\0'), ninety_eight},
      {"99 bytes without a NUL stay in the buffer", REG_BINARY, bytes(ninety_nine), ninety_nine},
      {"99 bytes and the NUL do not fit", REG_SZ, bytes(ninety_nine + '\0'), ""},
      {"200 bytes do not fit", REG_SZ, bytes(std::string(199, 'w') + '\0'), ""},
      {"no data at all", REG_BINARY, {}, ""},
  };
  for (const auto& c : cases) {
    registry().set_value(HKEY_CURRENT_USER, key_path, "v", c.type, c.data);
    EXPECT_EQ(get("HKEY_CURRENT_USER", key_path, "v"), c.expected) << c.label;
  }
  EXPECT_EQ(sim::count_calls("RegQueryValueExA \"v\" 99"), 12) << "offers 99 bytes";
}

TEST_F(RegistryMethods, GetRegStringGivesTheEmptyStringWhenItCannotRead) {
  registry().set_text(HKEY_CURRENT_USER, key_path, "v", "x");
  registry().ensure_key(HKEY_LOCAL_MACHINE, "Locked").read_only = true;
  registry().set_text(HKEY_LOCAL_MACHINE, "Locked", "v", "readable");
  EXPECT_EQ(get("HKEY_CURRENT_USER", key_path, "missing"), "");
  EXPECT_EQ(get("HKEY_CURRENT_USER", "Software\\Missing", "v"), "");
  EXPECT_EQ(get("HKEY_LOCAL_MACHINE", "Locked", "v"), "") << "opened with full access";
  sim::fail(sim::Op::RegQueryValueExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
  EXPECT_EQ(get("HKEY_CURRENT_USER", key_path, "v"), "");
  sim::fail(sim::Op::RegCloseKey, sim::FailMode::once, ERROR_INVALID_HANDLE);
  EXPECT_EQ(get("HKEY_CURRENT_USER", key_path, "v"), "x") << "the close is not examined";
}

TEST_F(RegistryMethods, AnEmptyValueNameIsTheKeysDefaultValue) {
  EXPECT_EQ(set(key_path, "", "default text"), 1);
  EXPECT_EQ(stored("")->data, bytes(std::string("default text", 13)));
  EXPECT_EQ(get("HKEY_CURRENT_USER", key_path, ""), "default text");
  EXPECT_EQ(set_dword(key_path, "", "7"), 1);
  EXPECT_EQ(stored("")->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(del(key_path, ""), 1);
  EXPECT_EQ(stored(""), nullptr);
}

// --- setReg -----------------------------------------------------------------

TEST_F(RegistryMethods, SetRegWritesTheBorrowedBytesAndTheirNul) {
  struct Case {
    std::u16string java;
    std::string bytes;
  } cases[] = {
      {u"Ab", std::string("Ab\0", 3)},
      {u"", std::string("\0", 1)},
      {u"\u00E9", std::string("\xC3\xA9\0", 3)},
      {std::u16string(u"a\0b", 3), std::string("a\xC0\x80"
                                               "b\0",
                                               5)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Java_qav_Native_setReg(env, nullptr, str("HKEY_CURRENT_USER"), str(key_path),
                                     str("v"), java.make(c.java, "value")),
              1);
    ASSERT_NE(stored("v"), nullptr);
    EXPECT_EQ(stored("v")->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored("v")->data, bytes(c.bytes));
  }
}

TEST_F(RegistryMethods, SetRegCreatesMissingKeysAndReplacesAnyType) {
  EXPECT_EQ(set("Software\\zozudu\\New\\Deeper", "v", "x"), 1);
  EXPECT_NE(stored("v", "Software\\zozudu\\New\\Deeper"), nullptr);
  EXPECT_EQ(sim::count_calls("RegCreateKeyExA HKEY_CURRENT_USER \"Software\\zozudu\\New\\Deeper\" "
                             "0 null 0 0xf003f null disposition"),
            1);
  registry().set_dword(HKEY_CURRENT_USER, key_path, "n", 5);
  EXPECT_EQ(set(key_path, "n", "text now"), 1);
  EXPECT_EQ(stored("n")->type, static_cast<DWORD>(REG_SZ));
}

// Create fails, the write fails, the close fails: each gives false, and the
// key is closed whenever it was created.
TEST_F(RegistryMethods, SettersReportEveryFailedStepAndStillClose) {
  using Setter = std::function<jboolean()>;
  Setter setters[] = {[&] { return set(key_path, "v", "x"); },
                      [&] { return set_dword(key_path, "v", "1"); }};
  for (auto& setter : setters) {
    sim::fail(sim::Op::RegCreateKeyExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
    int closes = sim::count_calls("RegCloseKey");
    EXPECT_EQ(setter(), 0) << "create fails";
    EXPECT_EQ(sim::count_calls("RegCloseKey"), closes);

    sim::fail(sim::Op::RegSetValueExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
    EXPECT_EQ(setter(), 0) << "write fails";
    EXPECT_EQ(sim::count_calls("RegCloseKey"), closes + 1) << "closed after a failed write";

    registry().find_key(HKEY_CURRENT_USER, key_path)->values.clear();
    sim::fail(sim::Op::RegCloseKey, sim::FailMode::once, ERROR_INVALID_HANDLE);
    EXPECT_EQ(setter(), 0) << "close fails";
    EXPECT_NE(stored("v"), nullptr) << "the write took effect all the same";

    EXPECT_EQ(setter(), 1);
  }
}

// --- setRegDWord --------------------------------------------------------------

TEST_F(RegistryMethods, SetRegDWordConvertsAsTheWindowsRuntimesStrtoul) {
  struct Case {
    const char* text;
    DWORD number;
  } cases[] = {
      {"42abc", 42},
      {"+5", 5},
      {" 7", 7},
      {"\t\n 8", 8},
      {"letters", 0},
      {"", 0},
      {"0x10", 0},
      {"0", 0},
      {"-1", 4294967295u},
      {"-4294967295", 1},
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"99999999999999999999999", 4294967295u},
      {"-4294967296", 4294967295u},
      {"-99999999999999999999999", 4294967295u},
      {"+-3", 0},
      {"- 3", 0},
      {"12 34", 12},
      {"007", 7},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(set_dword(key_path, "n", c.text), 1) << c.text;
    const auto* value = stored("n");
    ASSERT_NE(value, nullptr) << c.text;
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << c.text;
    std::vector<BYTE> expected;
    for (int i = 0; i < 4; ++i) expected.push_back(static_cast<BYTE>(c.number >> (8 * i)));
    EXPECT_EQ(value->data, expected) << "\"" << c.text << "\"";
  }
}

// --- delReg, delRegKey ----------------------------------------------------------

TEST_F(RegistryMethods, DelRegDeletesOnlyWhatExistsAndAlwaysCloses) {
  registry().set_text(HKEY_CURRENT_USER, key_path, "v", "x");
  EXPECT_EQ(del(key_path, "v"), 1);
  EXPECT_EQ(stored("v"), nullptr);
  EXPECT_EQ(sim::count_calls("RegDeleteValueA \"v\""), 1);
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 1);

  EXPECT_EQ(del(key_path, "v"), 0) << "the value is gone";
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 2) << "closed after the failed delete";
  EXPECT_EQ(del("Software\\Missing", "v"), 0);

  registry().set_text(HKEY_CURRENT_USER, key_path, "v", "x");
  sim::fail(sim::Op::RegCloseKey, sim::FailMode::once, ERROR_INVALID_HANDLE);
  EXPECT_EQ(del(key_path, "v"), 0) << "the close failed";
  EXPECT_EQ(stored("v"), nullptr) << "the delete took effect all the same";
}

TEST_F(RegistryMethods, DelRegKeyDeletesALeafKeyOnTheRootKeyItself) {
  registry().ensure_key(HKEY_CURRENT_USER, "Software\\zozudu\\Test\\Leaf");
  auto del_key = [&](const char* sub) {
    return Java_qav_Native_delRegKey(env, nullptr, str("HKEY_CURRENT_USER"), str(sub));
  };
  EXPECT_EQ(del_key("Software\\zozudu\\Test"), 0) << "it has a sub-key: the platform refuses";
  EXPECT_EQ(del_key("Software\\zozudu\\Test\\Leaf"), 1);
  EXPECT_EQ(registry().find_key(HKEY_CURRENT_USER, "Software\\zozudu\\Test\\Leaf"), nullptr);
  EXPECT_EQ(del_key("Software\\zozudu\\Test\\Leaf"), 0) << "already gone";
  EXPECT_EQ(sim::count_calls("RegDeleteKeyA HKEY_CURRENT_USER \"Software\\zozudu\\Test\\Leaf\""),
            2);
  EXPECT_EQ(sim::count_calls("RegOpenKeyExA") + sim::count_calls("RegCreateKeyExA"), 0);
}

// --- Borrowing and releasing ------------------------------------------------------

std::vector<std::string> lines(std::initializer_list<const char*> items) {
  return std::vector<std::string>(items.begin(), items.end());
}

TEST_F(RegistryMethods, EachMethodBorrowsAndReleasesInItsOwnOrder) {
  registry().set_text(HKEY_CURRENT_USER, key_path, "name", "x");
  jstring root = java.make_utf8("HKEY_CURRENT_USER", "root");
  jstring sub = java.make_utf8(key_path, "subKey");
  jstring name = java.make_utf8("name", "valueName");
  jstring value = java.make_utf8("1", "value");
  jstring missing = java.make_utf8("Software\\Missing", "subKey");

  struct Case {
    const char* label;
    std::function<void()> call;
    std::vector<std::string> trace;
  } cases[] = {
      {"getRegString", [&] { Java_qav_Native_getRegString(env, nullptr, root, sub, name); },
       lines({"borrow root", "borrow subKey", "borrow valueName", "release valueName",
              "release root", "release subKey", "new-utf"})},
      {"getRegString, key missing",
       [&] { Java_qav_Native_getRegString(env, nullptr, root, missing, name); },
       lines({"borrow root", "borrow subKey", "release root", "release subKey", "new-utf"})},
      {"setReg", [&] { Java_qav_Native_setReg(env, nullptr, root, sub, name, value); },
       lines({"borrow root", "borrow subKey", "borrow valueName", "borrow value", "release value",
              "release valueName", "release root", "release subKey"})},
      {"setRegDWord", [&] { Java_qav_Native_setRegDWord(env, nullptr, root, sub, name, value); },
       lines({"borrow root", "borrow subKey", "borrow valueName", "borrow value",
              "release valueName", "release value", "release root", "release subKey"})},
      {"delReg", [&] { Java_qav_Native_delReg(env, nullptr, root, sub, name); },
       lines({"borrow root", "borrow subKey", "borrow valueName", "release valueName",
              "release root", "release subKey"})},
      {"delReg, key missing", [&] { Java_qav_Native_delReg(env, nullptr, root, missing, name); },
       lines({"borrow root", "borrow subKey", "release root", "release subKey"})},
      {"delRegKey", [&] { Java_qav_Native_delRegKey(env, nullptr, root, missing); },
       lines({"borrow root", "borrow subKey", "release root", "release subKey"})},
  };
  for (const auto& c : cases) {
    java.clear_events();
    c.call();
    EXPECT_EQ(java.trace(), c.trace) << c.label;
  }

  // A failed create borrows nothing further.
  for (auto setter : {Java_qav_Native_setReg, Java_qav_Native_setRegDWord}) {
    sim::fail(sim::Op::RegCreateKeyExA, sim::FailMode::once, ERROR_ACCESS_DENIED);
    java.clear_events();
    EXPECT_EQ(setter(env, nullptr, root, sub, name, value), 0);
    EXPECT_EQ(java.trace(),
              lines({"borrow root", "borrow subKey", "release root", "release subKey"}));
  }
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

// --- Several threads at once ------------------------------------------------------

TEST_F(RegistryMethods, ThreadsSharingTheRegKeyEachGetTheirOwnResults) {
  constexpr int threads = 6, rounds = 150;
  std::vector<int> wrong(threads, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([t, &wrong] {
      fakejni::Env own;  // one JNI environment per thread, as the JVM gives
      JNIEnv* e = own.jni();
      auto s = [&](const std::string& v) { return own.make_utf8(v); };
      std::string name = "thread" + std::to_string(t);
      for (int i = 0; i < rounds; ++i) {
        std::string value = name + "-" + std::to_string(i);
        wrong[t] += Java_qav_Native_setReg(e, nullptr, s("HKEY_CURRENT_USER"), s(key_path), s(name),
                                           s(value)) != 1;
        jstring read =
            Java_qav_Native_getRegString(e, nullptr, s("HKEY_CURRENT_USER"), s(key_path), s(name));
        wrong[t] += own.utf8(read) != value;
        wrong[t] += Java_qav_Native_setRegDWord(e, nullptr, s("HKEY_CURRENT_USER"), s(key_path),
                                                s(name + "n"), s(std::to_string(i))) != 1;
        wrong[t] +=
            Java_qav_Native_delReg(e, nullptr, s("HKEY_CURRENT_USER"), s(key_path), s(name)) != 1;
        wrong[t] += Java_qav_Native_delReg(e, nullptr, s("HKEY_CURRENT_USER"), s(key_path),
                                           s(name + "n")) != 1;
      }
      wrong[t] += own.outstanding();
    });
  }
  for (auto& w : workers) w.join();
  for (int t = 0; t < threads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  EXPECT_EQ(sim::count_calls("RegCloseKey"), threads * rounds * 5);
}

}  // namespace
