// createSC against Wine's COM shell link: each shortcut is read back from its
// file, its ShowCommand straight from the bytes at offset 0x3C and the other
// fields through a fresh shell link's Load, field by field.
//
// The shortcuts stay in "shortcut-links" next to the test host, with
// expected.tsv describing them, so that tests/wine/check_links.py can read
// them again on the Linux side with lnkinfo.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstdint>
#include <fstream>
#include <iterator>

#include "wine_test.h"

namespace {

struct Link {
  std::string file;  // UTF-8, within the links folder
  std::string target, description, working_dir, arguments, icon, show_state;
  std::uint32_t show_command;
};

const Link round_trips[] = {
    {"full.lnk", "C:\\windows\\notepad.exe", "Edit the notes", "C:\\windows", "/a readme.txt",
     "C:\\windows\\system32\\shell32.dll", "Minimized", 7},
    {"bare.lnk", "C:\\windows\\system32\\cmd.exe", "", "", "", "", "Normal", 5},
    {"lower case.lnk", "C:\\windows\\notepad.exe", "not minimized", "C:\\windows\\system32", "x",
     "", "minimized", 5},
    {"caf\xC3\xA9.lnk", "C:\\windows\\notepad.exe", "e acute in the name", "", "", "", "", 5},
};

std::wstring widen(const std::string& utf8) {
  wchar_t wide[1024];
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide, 1024);
  return n > 0 ? std::wstring(wide, n - 1) : L"";
}

std::string file_bytes(const std::wstring& path) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The fields a shortcut file holds, as a fresh shell link loads them.
struct ReadBack {
  bool loaded = false;
  std::string target, description, working_dir, arguments, icon;
  int icon_index = -1;  // the show command is read from the bytes: Wine's Load skips it
};

ReadBack read_back(const std::wstring& path) {
  ReadBack r;
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) != S_OK) {
    return r;
  }
  IPersistFile* file = nullptr;
  if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)) == S_OK) {
    if (file->Load(path.c_str(), STGM_READ) == S_OK) {
      char text[MAX_PATH * 2];
      r.loaded = true;
      text[0] = '\0';
      link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH);
      r.target = text;
      text[0] = '\0';
      link->GetDescription(text, sizeof text);
      r.description = text;
      text[0] = '\0';
      link->GetWorkingDirectory(text, sizeof text);
      r.working_dir = text;
      text[0] = '\0';
      link->GetArguments(text, sizeof text);
      r.arguments = text;
      text[0] = '\0';
      link->GetIconLocation(text, sizeof text, &r.icon_index);
      r.icon = text;
    }
    file->Release();
  }
  link->Release();
  return r;
}

class Shortcuts : public WineTest {
 protected:
  void SetUp() override { CoInitialize(nullptr); }

  jboolean create(const std::string& link_path, const Link& l) {
    return call("createSC", {link_path, l.target, l.description, l.working_dir, l.arguments, l.icon,
                             l.show_state})
        .boolean_value;
  }
  static std::uint32_t show_command_in(const std::string& bytes) {
    if (bytes.size() < 0x40) return 0xFFFFFFFFu;
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data()) + 0x3C;
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  }

  wine::ScratchDirectory scratch{"shortcuts"};
};

TEST_F(Shortcuts, RoundTripEveryFieldAndLeaveTheFilesForLnkinfo) {
  const std::string folder = wine::own_directory() + "\\shortcut-links";
  wine::run_command("rmdir /s /q \"" + folder + "\" 2>NUL");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  std::ofstream manifest(folder + "\\expected.tsv", std::ios::binary);
  manifest << "# file\ttarget\tdescription\tworking directory\targuments\ticon\tshow command\n";

  for (const auto& l : round_trips) {
    std::wstring path = widen(folder + "\\" + l.file);
    ASSERT_EQ(create(folder + "\\" + l.file, l), 1) << l.file;
    ASSERT_TRUE(exists(path)) << l.file << ": saved under its own name";
    std::string bytes = file_bytes(path);
    ASSERT_GE(bytes.size(), 0x4Cu) << l.file;
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x4C\0\0\0", 4)) << l.file << ": a shell link";
    EXPECT_EQ(show_command_in(bytes), l.show_command) << l.file;

    ReadBack r = read_back(path);
    ASSERT_TRUE(r.loaded) << l.file;
    EXPECT_EQ(r.target, l.target) << l.file;
    EXPECT_EQ(r.description, l.description) << l.file;
    EXPECT_EQ(r.working_dir, l.working_dir) << l.file;
    EXPECT_EQ(r.arguments, l.arguments) << l.file;
    EXPECT_EQ(r.icon, l.icon) << l.file;
    if (!l.icon.empty()) {
      EXPECT_EQ(r.icon_index, 0) << l.file;
    }

    manifest << l.file << '\t' << l.target << '\t' << l.description << '\t' << l.working_dir << '\t'
             << l.arguments << '\t' << l.icon << '\t' << l.show_command << '\n';
  }
}

// U+4E2D has neither a byte nor a best-fit stand-in in Windows-1252, so
// wctomb rejects it (Wine, like Windows, best-fits some others: omega to O).
TEST_F(Shortcuts, KeepAUnitOfTheUsersCodePageOnceGetStartupDirSwitchedTheLocale) {
  call("getStartupDir");  // the runtime now narrows with the user's code page (1252 here)
  Link l = round_trips[1];
  ASSERT_EQ(create(scratch.path() + "\\euro \xE2\x82\xAC cjk \xE4\xB8\xAD.lnk", l), 1);
  EXPECT_TRUE(exists(widen(scratch.path() + "\\euro \xE2\x82\xAC cjk .lnk")))
      << "the euro sign is kept, U+4E2D is left out; found:\n"
      << wine::run_command("dir /b \"" + scratch.path() + "\"");
}

TEST_F(Shortcuts, ASaveIntoAMissingFolderGivesZero) {
  std::string path = scratch.path() + "\\missing\\x.lnk";
  EXPECT_EQ(create(path, round_trips[0]), 0);
  EXPECT_FALSE(exists(widen(path)));
}

// Mended: a name too long for the 260-unit wide buffer is not saved at all.
TEST_F(Shortcuts, ALinkPathTooLongForAWindowsPathGivesZeroAndWritesNothing) {
  std::string prefix = scratch.path() + "\\long-";
  std::string path = prefix + std::string(300 - prefix.size(), 'n') + ".lnk";
  EXPECT_EQ(create(path, round_trips[0]), 0);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((prefix + "*").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "found " << found.cFileName;
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

}  // namespace
