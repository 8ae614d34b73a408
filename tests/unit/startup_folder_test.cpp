#include "module_test.h"

namespace {

const char* const shell_folders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class StartupFolder : public ModuleTest {
 protected:
  jstring call() { return Java_qav_Native_getStartupDir(env, nullptr); }
  bool locale_switched() { return machine().locale.user_default; }
  void stage(const std::string& data, DWORD type = REG_SZ) {
    machine().registry.set_value(HKEY_CURRENT_USER, shell_folders, "Startup", type,
                                 std::vector<BYTE>(data.begin(), data.end()));
  }
  // Which JNI function made the result.
  std::string made_by() {
    auto trace = java.trace();
    return trace.empty() ? "" : trace.back();
  }
};

TEST_F(StartupFolder, ReadsTheValueAndSwitchesToTheUsersLocale) {
  stage(std::string("C:\\Users\\Me\\Startup") + '\0');
  EXPECT_EQ(text(call()), "C:\\Users\\Me\\Startup");
  EXPECT_EQ(made_by(), "new-string");
  EXPECT_TRUE(locale_switched());
  EXPECT_EQ(sim::count_calls("setlocale 0 \"\""), 1);
  EXPECT_EQ(sim::count_calls("RegOpenKeyExA HKEY_CURRENT_USER \"" + std::string(shell_folders) +
                             "\" 0 0x20019"),
            1);
  EXPECT_EQ(sim::count_calls("RegQueryValueExA \"Startup\" 260"), 1);
  EXPECT_EQ(machine().registry.open_handles(), 0);
}

TEST_F(StartupFolder, ConvertsWithTheUsersCodePage) {
  stage(std::string("C:\\Caf\xE9 \x80") + '\0');  // Windows-1252: e acute, euro sign
  EXPECT_EQ(java.units(call()), u"C:\\Caf\u00E9 \u20AC");
}

TEST_F(StartupFolder, ReturnsTheTextOfAnyValueTypeUnexpanded) {
  stage(std::string("%USERPROFILE%\\Startup") + '\0', REG_EXPAND_SZ);
  EXPECT_EQ(text(call()), "%USERPROFILE%\\Startup");
}

TEST_F(StartupFolder, MissingKeyGivesTheEmptyStringAndStillSwitchesTheLocale) {
  machine().registry.remove_key(HKEY_CURRENT_USER, shell_folders);
  EXPECT_EQ(text(call()), "");
  EXPECT_EQ(made_by(), "new-string");
  EXPECT_TRUE(locale_switched());
}

TEST_F(StartupFolder, UnreadableValueGivesTheEmptyStringAndLeavesTheLocale) {
  struct Case {
    const char* what;
    bool present;
    size_t length;
  } cases[] = {
      {"missing", false, 0}, {"261 bytes with its NUL", true, 260}, {"400 bytes", true, 399}};
  for (const auto& c : cases) {
    sim::reset();
    machine().registry.ensure_key(HKEY_CURRENT_USER, shell_folders).values.clear();
    if (c.present) stage(std::string(c.length, 's') + '\0');
    java.clear_events();
    EXPECT_EQ(text(call()), "") << c.what;
    EXPECT_EQ(made_by(), "new-utf") << c.what;
    EXPECT_FALSE(locale_switched()) << c.what;
    EXPECT_EQ(machine().registry.open_handles(), 0) << c.what << ": the key is closed";
  }
}

TEST_F(StartupFolder, EndsTextWithoutANulWithinTheBytesRead) {
  struct Case {
    const char* what;
    std::string data;
    std::string expected;
  } cases[] = {
      {"259 bytes and the NUL", std::string(259, 'a') + '\0', std::string(259, 'a')},
      {"260 bytes, no NUL", std::string(260, 'b'), std::string(260, 'b')},
      {"3 bytes, no NUL", "abc", "abc"},
      {"NUL inside", std::string("ab\0cd", 5), "ab"},
  };
  for (const auto& c : cases) {
    stage(c.data, REG_BINARY);
    EXPECT_EQ(text(call()), c.expected) << c.what;
  }
}

TEST_F(StartupFolder, TextTheLocaleCannotReadGivesTheEmptyString) {
  sim::fail(sim::Op::mbstowcs);
  EXPECT_EQ(java.units(call()), u"");
  EXPECT_EQ(made_by(), "new-string");
}

TEST_F(StartupFolder, NoMemoryForTheUnitsGivesTheEmptyString) {
  sim::fail(sim::Op::malloc, sim::FailMode::once);
  EXPECT_EQ(text(call()), "");
}

}  // namespace

// With a double-byte user locale (code page 932) a character may take two
// bytes, never fewer than one, so the units never outnumber the bytes and
// the buffer of one unit per byte, and the NUL, always holds them.
TEST_F(StartupFolder, ConvertsADoubleByteValueWithTheUsersCodePage) {
  const std::string middle = "\x92\x86";  // U+4E2D
  struct Case {
    const char* what;
    std::string data;  // staged as it is, without a NUL of its own
    std::u16string expected;
  } cases[] = {
      {"pairs, one with the trail byte 0x5C, and a half-width katakana",
       "C:\\\x95\x5C\\\x92\x86\x95\xB6 \xB1", u"C:\\\u8868\\\u4E2D\u6587 \uFF71"},
      {"130 pairs fill the 260 bytes",
       [&] {
         std::string s;
         for (int i = 0; i < 130; ++i) s += middle;
         return s;
       }(),
       std::u16string(130, u'\u4E2D')},
      {"260 single bytes give the most units", std::string(260, '\xB1'),
       std::u16string(260, u'\uFF71')},
      {"a lead byte cut from its trail by the end of the value",
       [&] {
         std::string s = "a";
         for (int i = 0; i < 129; ++i) s += middle;
         return s + "\x92";
       }(),
       u""},
  };
  for (const auto& c : cases) {
    sim::reset();
    sim::stage_double_byte_user_locale(machine().locale);
    stage(c.data, REG_BINARY);
    java.clear_events();
    EXPECT_EQ(java.units(call()), c.expected) << c.what;
    EXPECT_EQ(made_by(), "new-string") << c.what;
    EXPECT_EQ(sim::count_calls("mbstowcs " + std::to_string(c.data.size() + 1)), 1)
        << c.what << ": bounded by the buffer of one unit per byte and the NUL";
  }
}
