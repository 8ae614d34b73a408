#include <algorithm>

#include "module_test.h"

namespace {

// One createSC call's seven arguments; the link path as UTF-16 units.
struct Shortcut {
  std::u16string link = u"C:\\TEMP\\app.lnk";
  std::string target = "C:\\Program Files\\App\\app.exe";
  std::string description = "The app";
  std::string working_dir = "C:\\Program Files\\App";
  std::string arguments = "-quiet";
  std::string icon = "C:\\Program Files\\App\\app.ico";
  std::string show = "Normal";
};

class CreateShortcut : public ModuleTest {
 protected:
  jboolean create(const Shortcut& s) {
    return Java_qav_Native_createSC(
        env, nullptr, java.make(s.link, "linkPath"), java.make_utf8(s.target, "targetPath"),
        java.make_utf8(s.description, "description"), java.make_utf8(s.working_dir, "workingDir"),
        java.make_utf8(s.arguments, "arguments"), java.make_utf8(s.icon, "iconPath"),
        java.make_utf8(s.show, "showState"));
  }
  const std::vector<sim::SavedShellLink>& saved() { return machine().shell_links.saved; }
  // The log lines of the COM calls, in order.
  std::vector<std::string> com_calls() {
    std::vector<std::string> lines;
    for (const auto& call : machine().calls) {
      for (const char* prefix : {"Co", "IShellLinkA::", "IPersistFile::", "MultiByteToWideChar"}) {
        if (call.line.rfind(prefix, 0) == 0) lines.push_back(call.line);
      }
    }
    return lines;
  }
  // The six texts' releases, which must follow their borrows' order.
  std::vector<std::string> releases() {
    std::vector<std::string> lines;
    for (const auto& line : java.trace()) {
      if (line.rfind("release ", 0) == 0) lines.push_back(line);
    }
    return lines;
  }
  const std::vector<std::string> texts_released_in_order = {
      "release showState",  "release targetPath", "release description",
      "release workingDir", "release arguments",  "release iconPath"};
};

TEST_F(CreateShortcut, BorrowsTheSeventhArgumentFirstAndTheLinkPathAsUnitsLast) {
  ASSERT_EQ(create(Shortcut{}), 1);
  EXPECT_EQ(java.trace(),
            (std::vector<std::string>{
                "borrow showState", "borrow targetPath", "borrow description", "borrow workingDir",
                "borrow arguments", "borrow iconPath", "borrow-chars linkPath", "length linkPath",
                "release-chars linkPath",  // given back before the shell link is built
                "release showState", "release targetPath", "release description",
                "release workingDir", "release arguments", "release iconPath"}));
  EXPECT_EQ(java.is_copy_requests(), 0);
}

TEST_F(CreateShortcut, SetsEveryFieldAndSavesThroughTheShellLink) {
  ASSERT_EQ(create(Shortcut{}), 1);
  EXPECT_EQ(com_calls(), (std::vector<std::string>{
                             "CoInitialize null",
                             "CoCreateInstance CLSID_ShellLink null 1 IID_IShellLinkA",
                             "IShellLinkA::QueryInterface IID_IPersistFile",
                             "IShellLinkA::SetPath \"C:\\Program Files\\App\\app.exe\"",
                             "IShellLinkA::SetDescription \"The app\"",
                             "IShellLinkA::SetWorkingDirectory \"C:\\Program Files\\App\"",
                             "IShellLinkA::SetArguments \"-quiet\"",
                             "IShellLinkA::SetShowCmd 5",
                             "IShellLinkA::SetIconLocation \"C:\\Program Files\\App\\app.ico\" 0",
                             "MultiByteToWideChar 0 0 \"C:\\TEMP\\app.lnk\" -1 260",
                             "IPersistFile::Save \"C:\\TEMP\\app.lnk\" 1",
                             "IPersistFile::Release",
                             "IShellLinkA::Release",
                         }));
  ASSERT_EQ(saved().size(), 1u);
  const auto& link = saved()[0];
  EXPECT_EQ(link.path, "C:\\TEMP\\app.lnk");
  EXPECT_EQ(link.fields.target, "C:\\Program Files\\App\\app.exe");
  EXPECT_EQ(link.fields.description, "The app");
  EXPECT_EQ(link.fields.working_directory, "C:\\Program Files\\App");
  EXPECT_EQ(link.fields.arguments, "-quiet");
  EXPECT_EQ(link.fields.icon, "C:\\Program Files\\App\\app.ico");
  EXPECT_EQ(link.fields.icon_index, 0);
  EXPECT_EQ(link.remember, TRUE);
  EXPECT_NE(machine().files.find("C:\\TEMP\\app.lnk"), nullptr);
  EXPECT_EQ(machine().shell_links.live_objects, 0) << "both interfaces released";
}

TEST_F(CreateShortcut, ShowCommandIsSevenOnlyForExactlyMinimized) {
  struct Case {
    std::string show;
    int command;
  } cases[] = {
      {"Minimized", 7},
      {"minimized", 5},
      {"MINIMIZED", 5},
      {"MiniMized", 5},
      {"Minimized ", 5},
      {" Minimized", 5},
      {"Minimize", 5},
      {"Maximized", 5},
      {"Normal", 5},
      {"", 5},
      {std::string("Minimized\0", 10), 5},
  };
  for (const auto& c : cases) {
    sim::reset();
    Shortcut s;
    s.show = c.show;
    ASSERT_EQ(create(s), 1) << '"' << c.show << '"';
    ASSERT_EQ(saved().size(), 1u);
    EXPECT_EQ(saved()[0].fields.show_command, c.command) << '"' << c.show << '"';
  }
}

TEST_F(CreateShortcut, SetsTheIconOnlyForANonEmptyText) {
  Shortcut without_icon;
  without_icon.icon = "";
  ASSERT_EQ(create(without_icon), 1);
  EXPECT_EQ(sim::count_calls("IShellLinkA::SetIconLocation"), 0);
  EXPECT_FALSE(saved()[0].fields.icon_set);

  Shortcut with_icon;
  with_icon.icon = "shell32.dll";
  ASSERT_EQ(create(with_icon), 1);
  EXPECT_EQ(sim::count_calls("IShellLinkA::SetIconLocation \"shell32.dll\" 0"), 1);
  EXPECT_TRUE(saved()[1].fields.icon_set);
}

TEST_F(CreateShortcut, PassesEmptyTextsToTheirSetters) {
  Shortcut s;
  s.target = s.description = s.working_dir = s.arguments = "";
  ASSERT_EQ(create(s), 1);
  for (const char* setter : {"SetPath", "SetDescription", "SetWorkingDirectory", "SetArguments"}) {
    EXPECT_EQ(sim::count_calls(std::string("IShellLinkA::") + setter + " \"\""), 1) << setter;
  }
}

TEST_F(CreateShortcut, PassesTheOtherTextsAsTheirModifiedUtf8Bytes) {
  Shortcut s;
  s.description = std::string("caf\xC3\xA9 a\0b", 9);
  ASSERT_EQ(create(s), 1);
  EXPECT_EQ(saved()[0].fields.description,
            "caf\xC3\xA9 a\xC0\x80"
            "b");
}

// Narrowed one unit at a time under the runtime's locale ("C" until getStartupDir
// switches it to the user's, Windows-1252 here), widened in the ANSI code page.
TEST_F(CreateShortcut, ConvertsTheLinkPathUnderTheRuntimesCurrentLocale) {
  struct Case {
    const char* what;
    std::u16string link;
    bool after_startup_dir;
    std::u16string saved_as;
  } cases[] = {
      {"\"C\": e acute kept", u"C:\\TEMP\\caf\u00E9.lnk", false, u"C:\\TEMP\\caf\u00E9.lnk"},
      {"\"C\": units above U+00FF dropped", u"C:\\TEMP\\a\u20AC\u4E2Db.lnk", false,
       u"C:\\TEMP\\ab.lnk"},
      {"\"C\": U+0080 passes as byte 0x80, which the ANSI code page reads as the euro sign",
       u"C:\\TEMP\\a\u0080b.lnk", false, u"C:\\TEMP\\a\u20ACb.lnk"},
      {"\"C\": both halves of a surrogate pair dropped", u"C:\\TEMP\\a\U0001F600b.lnk", false,
       u"C:\\TEMP\\ab.lnk"},
      {"user's: the euro sign kept, U+4E2D dropped", u"C:\\TEMP\\a\u20AC\u4E2Db.lnk", true,
       u"C:\\TEMP\\a\u20ACb.lnk"},
      {"user's: e acute kept", u"C:\\TEMP\\caf\u00E9.lnk", true, u"C:\\TEMP\\caf\u00E9.lnk"},
      {"user's: U+0080 has no byte in Windows-1252", u"C:\\TEMP\\a\u0080b.lnk", true,
       u"C:\\TEMP\\ab.lnk"},
      {"user's: surrogate pair dropped", u"C:\\TEMP\\a\U0001F600b.lnk", true, u"C:\\TEMP\\ab.lnk"},
  };
  for (const auto& c : cases) {
    sim::reset();
    if (c.after_startup_dir) {
      Java_qav_Native_getStartupDir(env, nullptr);
      ASSERT_TRUE(machine().locale.user_default) << c.what;
    }
    Shortcut s;
    s.link = c.link;
    EXPECT_EQ(create(s), 1) << c.what;
    ASSERT_EQ(saved().size(), 1u) << c.what;
    EXPECT_EQ(saved()[0].wide_name, c.saved_as) << c.what;
  }
}

TEST_F(CreateShortcut, AUnitZeroEndsTheLinkPath) {
  Shortcut s;
  s.link = std::u16string(u"C:\\TEMP\\first\0second.lnk", 24);
  ASSERT_EQ(create(s), 1);
  EXPECT_EQ(saved()[0].wide_name, u"C:\\TEMP\\first");
}

TEST_F(CreateShortcut, AnEmptyLinkPathGivesSaveAnEmptyNameAndItsAnswer) {
  Shortcut s;
  s.link = u"";
  EXPECT_EQ(create(s), 0);
  EXPECT_EQ(sim::count_calls("IPersistFile::Save \"\" 1"), 1);
}

TEST_F(CreateShortcut, ARelativeLinkPathLandsInTheCurrentDirectory) {
  machine().files.set_current_directory("C:\\TEMP");
  Shortcut s;
  s.link = u"here.lnk";
  ASSERT_EQ(create(s), 1);
  EXPECT_EQ(saved()[0].path, "C:\\TEMP\\here.lnk");
}

TEST_F(CreateShortcut, ResultFollowsSaveAndEverythingIsReleasedOnEveryPath) {
  struct Case {
    const char* what;
    sim::Op fault;
    long status;
    jboolean result;
    std::vector<std::string> releases;
  } cases[] = {
      {"CoInitialize refused (another apartment)",
       sim::Op::CoInitialize,
       RPC_E_CHANGED_MODE,
       1,
       {"IPersistFile::Release", "IShellLinkA::Release"}},
      {"CoCreateInstance fails", sim::Op::CoCreateInstance, REGDB_E_CLASSNOTREG, 0, {}},
      {"a CoCreateInstance fault staged with a success code still fails, with no object",
       sim::Op::CoCreateInstance,
       S_FALSE,
       0,
       {}},
      {"QueryInterface fails",
       sim::Op::IShellLinkA_QueryInterface,
       E_NOINTERFACE,
       0,
       {"IShellLinkA::Release"}},
      {"a setter fails",
       sim::Op::IShellLinkA_SetPath,
       0,
       1,
       {"IPersistFile::Release", "IShellLinkA::Release"}},
      {"Save fails",
       sim::Op::IPersistFile_Save,
       E_FAIL,
       0,
       {"IPersistFile::Release", "IShellLinkA::Release"}},
  };
  for (const auto& c : cases) {
    sim::reset();
    java.clear_events();
    sim::fail(c.fault, sim::FailMode::always, c.status);
    EXPECT_EQ(create(Shortcut{}), c.result) << c.what;
    std::vector<std::string> released;
    for (const auto& line : com_calls()) {
      if (line.find("::Release") != std::string::npos) released.push_back(line);
    }
    EXPECT_EQ(released, c.releases) << c.what;
    EXPECT_EQ(machine().shell_links.live_objects, 0) << c.what;
    EXPECT_EQ(machine().files.find("C:\\TEMP\\app.lnk") != nullptr, c.result == 1) << c.what;
    EXPECT_EQ(sim::count_calls("CoCreateInstance"), 1) << c.what;
    EXPECT_EQ(releases(), texts_released_in_order) << c.what;
  }
}

TEST_F(CreateShortcut, ACreationAnsweringASuccessOtherThanSOkGivesZeroAndReleasesTheObject) {
  machine().shell_links.create_answer = S_FALSE;
  EXPECT_EQ(create(Shortcut{}), 0);
  EXPECT_EQ(sim::count_calls("IShellLinkA::Release"), 1);
  EXPECT_EQ(sim::count_calls("IShellLinkA::QueryInterface"), 0);
  EXPECT_EQ(machine().shell_links.live_objects, 0);
  EXPECT_TRUE(machine().files.find("C:\\TEMP\\app.lnk") == nullptr);
}

TEST_F(CreateShortcut, ASuccessCodeFromSaveCountsAsSaved) {
  machine().shell_links.save_answer = S_FALSE;
  EXPECT_EQ(create(Shortcut{}), 1);
}

TEST_F(CreateShortcut, SavingIntoAMissingFolderFails) {
  Shortcut s;
  s.link = u"C:\\No Such Folder\\app.lnk";
  EXPECT_EQ(create(s), 0);
  EXPECT_EQ(sim::count_calls("IPersistFile::Save"), 1);
  EXPECT_TRUE(saved().empty());
  EXPECT_EQ(machine().shell_links.live_objects, 0);
}

// Mended: a wide name that needs more than the 260 units it is given is not
// saved, rather than saved under a cut or unterminated name.
TEST_F(CreateShortcut, ALinkPathTooLongForTheWideNameIsNotSaved) {
  const std::u16string folder = u"C:\\TEMP\\";
  for (std::size_t length : {259u, 260u, 300u}) {  // without the terminator
    sim::reset();
    Shortcut s;
    s.link = folder + std::u16string(length - folder.size(), u'n');
    EXPECT_EQ(create(s), length == 259 ? 1 : 0) << length << " units";
    EXPECT_EQ(sim::count_calls("IPersistFile::Save"), length == 259 ? 1 : 0) << length;
    EXPECT_EQ(machine().shell_links.live_objects, 0) << length;
  }
}

// Mended: no memory for the UTF-16 copy or for the narrowed path gives 0,
// with every borrow given back and no shell link made.
TEST_F(CreateShortcut, NoMemoryForAWorkingBufferGivesZero) {
  for (int allocation : {0, 1}) {
    sim::reset();
    sim::fail(sim::Op::malloc, sim::FailMode::once, 0, allocation);
    EXPECT_EQ(create(Shortcut{}), 0) << "allocation " << allocation;
    EXPECT_EQ(sim::count_calls("CoInitialize"), 0) << allocation;
    EXPECT_TRUE(machine().files.find("C:\\TEMP\\app.lnk") == nullptr) << allocation;
  }
}

// Null and refused arguments are covered for every method alike in
// string_arguments_test.cpp.

}  // namespace
