// The registry methods against Wine's real registry, in a private scratch
// key deleted before and after each test, cross-checked with the registry
// API of the test host and with reg.exe.
#include <windows.h>

#include <sstream>
#include <thread>

#include "wine_test.h"

namespace {

const char* const scratch = "Software\\zozudu\\Test";
const std::string scratch_for_reg = "HKCU\\Software\\zozudu\\Test";

struct RawValue {
  LONG status = -1;
  DWORD type = 0;
  std::string bytes;
};

RawValue read_raw(const std::string& name, const char* path = scratch) {
  RawValue v;
  HKEY key;
  v.status = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
  if (v.status != ERROR_SUCCESS) return v;
  BYTE data[1024];
  DWORD size = sizeof data;
  v.status = RegQueryValueExA(key, name.c_str(), nullptr, &v.type, data, &size);
  if (v.status == ERROR_SUCCESS) v.bytes.assign(reinterpret_cast<char*>(data), size);
  RegCloseKey(key);
  return v;
}

bool key_exists(const char* path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::string dword_bytes(DWORD n) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += static_cast<char>(n >> (8 * i));
  return s;
}

// One line of `reg query KEY /v NAME` (or /ve): the name, the type and the data as reg.exe prints
// them.
struct RegLine {
  bool found = false;
  std::string type, data;
};

RegLine reg_query(const std::string& name) {
  std::string command = "reg query \"" + scratch_for_reg + "\" " +
                        (name.empty() ? std::string("/ve") : "/v \"" + name + "\"") + " 2>NUL";
  std::istringstream out(wine::run_command(command));
  RegLine result;
  for (std::string line; std::getline(out, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto at = line.find("    REG_");
    if (at == std::string::npos) continue;
    std::string rest = line.substr(at + 4);
    auto gap = rest.find("    ");
    result.found = true;
    result.type = rest.substr(0, gap);
    result.data = gap == std::string::npos ? "" : rest.substr(gap + 4);
  }
  return result;
}

int reg_add(const std::string& name, const char* type, const std::string& data) {
  int code = -1;
  wine::run_command("reg add \"" + scratch_for_reg + "\" /v \"" + name + "\" /t " + type +
                        " /d \"" + data + "\" /f >NUL 2>NUL",
                    &code);
  return code;
}

class RegistryWine : public WineTest {
 protected:
  void SetUp() override { remove_scratch(); }
  void TearDown() override {
    remove_scratch();
    WineTest::TearDown();
  }
  static void remove_scratch() { RegDeleteTreeA(HKEY_CURRENT_USER, scratch); }

  bool set(const std::string& name, const std::string& value, const char* path = scratch) {
    return truth(call("setReg", {"HKEY_CURRENT_USER", path, name, value}));
  }
  bool set_dword(const std::string& name, const std::string& value) {
    return truth(call("setRegDWord", {"HKEY_CURRENT_USER", scratch, name, value}));
  }
  std::string get(const std::string& name, const char* path = scratch) {
    return call_bytes("getRegString", {"HKEY_CURRENT_USER", path, name});
  }
  bool truth(const testhost::Result& r) {
    EXPECT_TRUE(r.boolean_value == 0 || r.boolean_value == 1) << int(r.boolean_value);
    return r.boolean_value == 1;
  }
};

TEST_F(RegistryWine, SetRegWritesTheJavaBytesAsRegSz) {
  struct Case {
    const char* name;
    std::u16string java;
    std::string bytes;
  } cases[] = {
      {"ascii", u"Ab", std::string("Ab\0", 3)},
      {"e-acute", u"caf\u00E9", std::string("caf\xC3\xA9\0", 6)},
      {"nul inside", std::u16string(u"a\0b", 3),
       std::string("a\xC0\x80"
                   "b\0",
                   5)},
      {"empty", u"", std::string("\0", 1)},
  };
  for (const auto& c : cases) {
    testhost::Result r =
        wine::module().call(java.jni(), "setReg",
                            {java.make_utf8("HKEY_CURRENT_USER"), java.make_utf8(scratch),
                             java.make_utf8(c.name), java.make(c.java, "value")});
    EXPECT_EQ(r.boolean_value, 1) << c.name;
    RawValue v = read_raw(c.name);
    EXPECT_EQ(v.status, ERROR_SUCCESS) << c.name;
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ)) << c.name;
    EXPECT_EQ(v.bytes, c.bytes) << c.name;
    EXPECT_EQ(reg_query(c.name).type, "REG_SZ") << c.name;
  }
  EXPECT_EQ(reg_query("ascii").data, "Ab");
}

TEST_F(RegistryWine, SetRegCreatesTheWholePathAndReplacesANumber) {
  const char* deep = "Software\\zozudu\\Test\\a\\b";
  EXPECT_TRUE(set("v", "deep", deep));
  EXPECT_EQ(read_raw("v", deep).bytes, std::string("deep\0", 5));
  ASSERT_TRUE(set_dword("n", "5"));
  EXPECT_TRUE(set("n", "text"));
  EXPECT_EQ(read_raw("n").type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegistryWine, SetRegDWordWritesTheRuntimesConversion) {
  struct Case {
    const char* text;
    DWORD number;
  } cases[] = {{"42abc", 42},
               {"+5", 5},
               {" 7", 7},
               {"letters", 0},
               {"", 0},
               {"0x10", 0},
               {"-1", 4294967295u},
               {"-4294967295", 1},
               {"4294967295", 4294967295u},
               {"4294967296", 4294967295u},
               {"-4294967296", 4294967295u},
               {"-99999999999999999999", 4294967295u}};
  for (const auto& c : cases) {
    ASSERT_TRUE(set_dword("n", c.text)) << c.text;
    RawValue v = read_raw("n");
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_DWORD)) << c.text;
    EXPECT_EQ(v.bytes, dword_bytes(c.number)) << "\"" << c.text << "\"";
    char shown[16];
    std::snprintf(shown, sizeof shown, "0x%lx", static_cast<unsigned long>(c.number));
    RegLine line = reg_query("n");
    EXPECT_EQ(line.type, "REG_DWORD") << c.text;
    EXPECT_EQ(line.data, shown) << c.text;
  }
}

TEST_F(RegistryWine, GetRegStringReadsValuesThatRegExeStaged) {
  std::string ninety_eight(98, 'x'), two_hundred(200, 'y');
  ASSERT_EQ(reg_add("text", "REG_SZ", "plain text"), 0);
  ASSERT_EQ(reg_add("expand", "REG_EXPAND_SZ", "%ZOZUDU_UNSET%\\bin"), 0);
  ASSERT_EQ(reg_add("multi", "REG_MULTI_SZ", "one\\0two"), 0);
  ASSERT_EQ(reg_add("zero", "REG_DWORD", "0"), 0);
  ASSERT_EQ(reg_add("ninety-eight", "REG_SZ", ninety_eight), 0);
  ASSERT_EQ(reg_add("two-hundred", "REG_SZ", two_hundred), 0);
  EXPECT_EQ(get("text"), "plain text");
  EXPECT_EQ(get("expand"), read_raw("expand").bytes.c_str()) << "as stored, not expanded";
  EXPECT_EQ(get("expand").find('%'), 0u);
  EXPECT_EQ(get("multi"), "one");
  EXPECT_EQ(get("zero"), "");
  EXPECT_EQ(get("ninety-eight"), ninety_eight);
  EXPECT_EQ(get("two-hundred"), "") << "more than 99 bytes";
}

TEST_F(RegistryWine, MissingKeysAndValuesGiveTheFailureValues) {
  ASSERT_TRUE(set("v", "x"));
  EXPECT_EQ(get("missing"), "");
  EXPECT_EQ(get("v", "Software\\zozudu\\Test\\missing"), "");
  EXPECT_EQ(call("delReg", {"HKEY_CURRENT_USER", scratch, "missing"}).boolean_value, 0);
  EXPECT_EQ(
      call("delReg", {"HKEY_CURRENT_USER", "Software\\zozudu\\Test\\missing", "v"}).boolean_value,
      0);
  EXPECT_EQ(
      call("delRegKey", {"HKEY_CURRENT_USER", "Software\\zozudu\\Test\\missing"}).boolean_value, 0);
  for (const char* root :
       {"hkey_current_user", "HKEY_CURRENT_USER ", "HKCU", "\\HKEY_CURRENT_USER"}) {
    EXPECT_EQ(call_bytes("getRegString", {root, scratch, "v"}), "") << root;
    EXPECT_EQ(call("setReg", {root, scratch, "w", "x"}).boolean_value, 0) << root;
  }
  EXPECT_FALSE(reg_query("w").found);
}

TEST_F(RegistryWine, DeletesRemoveTheValueAndTheKey) {
  ASSERT_TRUE(set("v", "x"));
  ASSERT_TRUE(reg_query("v").found);
  EXPECT_EQ(call("delReg", {"HKEY_CURRENT_USER", scratch, "v"}).boolean_value, 1);
  EXPECT_FALSE(reg_query("v").found);
  EXPECT_EQ(read_raw("v").status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(call("delRegKey", {"HKEY_CURRENT_USER", scratch}).boolean_value, 1);
  EXPECT_FALSE(key_exists(scratch));
}

TEST_F(RegistryWine, AnEmptyValueNameIsTheDefaultValue) {
  ASSERT_TRUE(set("", "default text"));
  RegLine line = reg_query("");
  EXPECT_EQ(line.type, "REG_SZ");
  EXPECT_EQ(line.data, "default text");
  EXPECT_EQ(get(""), "default text");
  EXPECT_EQ(call("delReg", {"HKEY_CURRENT_USER", scratch, ""}).boolean_value, 1);
  EXPECT_EQ(read_raw("").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryWine, ThreadsDoingSetGetAndDeleteAtOnceAllSucceed) {
  ASSERT_TRUE(set("seed", "x"));
  constexpr int threads = 6, rounds = 60;
  std::vector<int> wrong(threads, 0);
  std::vector<std::thread> workers;
  for (int t = 0; t < threads; ++t) {
    workers.emplace_back([t, &wrong] {
      fakejni::Env own;
      auto run = [&](const char* method, std::vector<std::string> args) {
        std::vector<jstring> strings;
        for (const auto& a : args) strings.push_back(own.make_utf8(a));
        return wine::module().call(own.jni(), method, strings);
      };
      std::string name = "thread" + std::to_string(t);
      for (int i = 0; i < rounds; ++i) {
        std::string value = name + "-" + std::to_string(i);
        wrong[t] += run("setReg", {"HKEY_CURRENT_USER", scratch, name, value}).boolean_value != 1;
        jstring read = run("getRegString", {"HKEY_CURRENT_USER", scratch, name}).string_value;
        wrong[t] += !read || own.new_utf_bytes(read) != value;
        wrong[t] +=
            run("setRegDWord", {"HKEY_CURRENT_USER", scratch, name + "n", std::to_string(i)})
                .boolean_value != 1;
        wrong[t] += run("delReg", {"HKEY_CURRENT_USER", scratch, name}).boolean_value != 1;
        wrong[t] += run("delReg", {"HKEY_CURRENT_USER", scratch, name + "n"}).boolean_value != 1;
      }
      wrong[t] += own.outstanding() + !own.clean();
    });
  }
  for (auto& w : workers) w.join();
  for (int t = 0; t < threads; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  EXPECT_EQ(get("seed"), "x");
}

}  // namespace
