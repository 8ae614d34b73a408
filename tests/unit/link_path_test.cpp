// createSC's link path, narrowed under the process's C locale, which
// getStartupDir on another thread may switch to a double-byte code page at
// any moment, even between two units of one conversion.
#include "module_test.h"
#include "shell/link_path.h"

namespace {

class LinkPath : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    sim::stage_double_byte_user_locale(machine().locale);
  }
  // The narrowed bytes; "<null>" when there are none.
  std::string narrow(const std::u16string& units) {
    auto bytes = shell::narrow_link_path(env, java.make(units, "linkPath"));
    return bytes ? std::string(bytes.get()) : "<null>";
  }
};

std::u16string repeat(const std::u16string& unit, int times) {
  std::u16string out;
  for (int i = 0; i < times; ++i) out += unit;
  return out;
}
std::string repeat(const std::string& bytes, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += bytes;
  return out;
}

TEST_F(LinkPath, TheDoubleByteLocaleWritesPairsAndLeavesOutWhatItLacks) {
  Java_qav_Native_getStartupDir(env, nullptr);
  ASSERT_EQ(machine().locale.user_code_page, 932);
  ASSERT_TRUE(machine().locale.user_default);
  struct Case {
    const char* what;
    std::u16string units;
    std::string bytes;
  } cases[] = {
      {"lead and trail bytes", u"C:\\TEMP\\\u4E2D\u6587.lnk", "C:\\TEMP\\\x92\x86\x95\xB6.lnk"},
      {"a trail byte 0x5C", u"\u8868.lnk", "\x95\x5C.lnk"},
      {"half-width katakana take one byte", u"a\uFF71b",
       "a\xB1"
       "b"},
      {"e acute and the euro sign have no bytes", u"caf\u00E9\u20AC", "caf"},
      {"a surrogate pair has none", u"a\U0001F600b", "ab"},
      {"U+0000 ends the text", std::u16string(u"\u4E2D\0\u6587", 3), "\x92\x86"},
      {"empty", u"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(narrow(c.units), c.bytes) << c.what;
}

// The conversion begins in "C" (one byte a unit, as MB_CUR_MAX then says)
// and goes on in code page 932 after the staged number of units: each unit
// takes the locale in force when it is converted, and no write leaves the
// block (the sanitizer build checks every byte).
TEST_F(LinkPath, ALocaleSwitchMidConversionNeverOverrunsTheBuffer) {
  const std::u16string folder = u"C:\\TEMP\\";
  struct Case {
    const char* what;
    std::u16string units;
    int switch_after;  // wctomb calls before the other thread's switch
    std::string bytes;
  } cases[] = {
      {"after the folder, 40 double-byte units", folder + repeat(u"\u4E2D", 40) + u".lnk", 8,
       "C:\\TEMP\\" + repeat("\x92\x86", 40) + ".lnk"},
      {"after the first unit, which \"C\" leaves out", repeat(u"\u4E2D", 300), 1,
       repeat("\x92\x86", 299)},
      {"after the last unit: all in \"C\"", u"a\u00E9\u4E2D", 3, "a\xE9"},
      {"a long path of pairs", repeat(u"\u6587", 70000), 2, repeat("\x95\xB6", 69998)},
  };
  for (const auto& c : cases) {
    sim::reset();
    sim::stage_double_byte_user_locale(machine().locale);
    ASSERT_FALSE(machine().locale.user_default) << c.what;
    machine().locale.switch_to_user_after_wctombs = c.switch_after;
    EXPECT_EQ(narrow(c.units), c.bytes) << c.what;
    EXPECT_TRUE(machine().locale.user_default) << c.what << ": the switch happened";
  }
}

TEST_F(LinkPath, ThroughCreateScTheSwitchedLinkIsSaved) {
  machine().locale.switch_to_user_after_wctombs = 8;
  jstring link = java.make(u"C:\\TEMP\\" + repeat(u"\u4E2D", 40) + u".lnk", "linkPath");
  jstring texts[6];
  for (auto& text : texts) text = java.make_utf8("1");
  EXPECT_EQ(Java_qav_Native_createSC(env, nullptr, link, texts[0], texts[1], texts[2], texts[3],
                                     texts[4], texts[5]),
            1);
  ASSERT_EQ(machine().shell_links.saved.size(), 1u);
  // The simulated machine's ANSI code page stays Windows-1252, which reads
  // each pair as two characters.
  EXPECT_EQ(machine().shell_links.saved[0].wide_name,
            u"C:\\TEMP\\" + repeat(u"\u2019\u2020", 40) + u".lnk");
}

}  // namespace
