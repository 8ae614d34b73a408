#include "fake_jni.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

using fakejni::Env;

class FakeJni : public ::testing::Test {
 protected:
  Env env;
  JNIEnv* jni = env.jni();
};

// A Java string and the bytes a JNI GetStringUTFChars gives for it.
struct EncodeCase {
  const char* name;
  std::u16string units;
  std::string modified_utf8;
};

const std::vector<EncodeCase>& encode_cases() {
  static const std::vector<EncodeCase> cases = {
      {"ascii", u"Ab", "\x41\x62"},
      {"e acute", u"\u00E9", "\xC3\xA9"},
      {"nul inside", std::u16string(u"a\0b", 3),
       "a\xC0\x80"
       "b"},
      {"euro", u"\u20AC", "\xE2\x82\xAC"},
      {"beyond BMP as two surrogates", u"\U0001F600", "\xED\xA0\xBD\xED\xB8\x80"},
      {"empty", u"", ""},
      {"last one-byte", u"\u007F", "\x7F"},
      {"first two-byte", u"\u0080", "\xC2\x80"},
      {"last two-byte", u"\u07FF", "\xDF\xBF"},
      {"first three-byte", u"\u0800", "\xE0\xA0\x80"},
      {"last unit", u"\uFFFF", "\xEF\xBF\xBF"},
      {"lone low surrogate", std::u16string(1, char16_t(0xDC00)), "\xED\xB0\x80"},
      {"mixed", u"x\u00E9\u20AC\U0001F600y", "x\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD\xED\xB8\x80y"},
  };
  return cases;
}

TEST_F(FakeJni, BorrowGivesModifiedUtf8NulTerminated) {
  for (const EncodeCase& c : encode_cases()) {
    SCOPED_TRACE(c.name);
    const jstring s = env.make(c.units, c.name);
    const char* bytes = jni->GetStringUTFChars(s, nullptr);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::string(bytes, c.modified_utf8.size()), c.modified_utf8);
    EXPECT_EQ(bytes[c.modified_utf8.size()], '\0');
    jni->ReleaseStringUTFChars(s, bytes);
  }
  EXPECT_TRUE(env.clean());
  EXPECT_EQ(env.faults(), std::vector<std::string>{});
}

TEST_F(FakeJni, NewStringUtfDecodesModifiedUtf8) {
  for (const EncodeCase& c : encode_cases()) {
    SCOPED_TRACE(c.name);
    const jstring result = jni->NewStringUTF(c.modified_utf8.c_str());
    ASSERT_FALSE(env.is_null(result));
    EXPECT_EQ(env.units(result), c.units);
    EXPECT_EQ(env.new_utf_bytes(result), c.modified_utf8);
    EXPECT_FALSE(env.invalid_utf(result));
  }
  EXPECT_TRUE(env.clean());
}

TEST_F(FakeJni, NewStringUtfTakesInvalidBytesOneByOne) {
  struct Case {
    const char* name;
    std::string bytes;
    std::u16string units;
  };
  const std::vector<Case> cases = {
      {"lone E9", "\xE9", u"\u00E9"},
      {"E9 between ascii",
       "A\xE9"
       "B",
       u"A\u00E9"
       "B"},
      {"overlong two-byte", "\xC0\x81", u"\u00C0\u0081"},
      {"overlong three-byte", "\xE0\x81\x81", u"\u00E0\u0081\u0081"},
      {"truncated three-byte", "\xE2\x82", u"\u00E2\u0082"},
      {"standard four-byte", "\xF0\x9F\x98\x80", u"\u00F0\u009F\u0098\u0080"},
      {"stray continuation then valid", "\x80\xC3\xA9", u"\u0080\u00E9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const jstring result = jni->NewStringUTF(c.bytes.c_str());
    ASSERT_FALSE(env.is_null(result));
    EXPECT_EQ(env.units(result), c.units);
    EXPECT_EQ(env.new_utf_bytes(result), c.bytes);
    EXPECT_TRUE(env.invalid_utf(result));
  }
}

TEST_F(FakeJni, NewStringUtfRecordsBytesUpToNul) {
  const char bytes[] = "C:\\WINDOWS\0ignored";
  const jstring result = jni->NewStringUTF(bytes);
  EXPECT_EQ(env.new_utf_bytes(result), "C:\\WINDOWS");
  EXPECT_EQ(env.utf8(result), "C:\\WINDOWS");
  ASSERT_EQ(env.events().size(), 1u);
  EXPECT_EQ(env.events()[0].kind, Env::Kind::NewUTF);
  EXPECT_EQ(env.events()[0].string, result);
  EXPECT_EQ(env.events()[0].pointer, static_cast<const void*>(bytes));
}

TEST_F(FakeJni, MakeUtf8BuildsSurrogatePairsAndUtf8ReadsThemBack) {
  const jstring s = env.make_utf8("a\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(env.units(s), u"a\u00E9\U0001F600");
  EXPECT_EQ(env.units(s).size(), 4u);
  EXPECT_EQ(env.utf8(s), "a\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(env.trace(), std::vector<std::string>{});  // making is not a JNI call
}

TEST_F(FakeJni, IsCopyIsSetWhenGivenAndCounted) {
  const jstring s = env.make(u"x");
  jboolean is_copy = JNI_FALSE;
  const char* bytes = jni->GetStringUTFChars(s, &is_copy);
  EXPECT_EQ(is_copy, JNI_TRUE);
  jni->ReleaseStringUTFChars(s, bytes);
  const jchar* units = jni->GetStringChars(s, nullptr);
  jni->ReleaseStringChars(s, units);
  EXPECT_EQ(env.is_copy_requests(), 1);
  EXPECT_TRUE(env.events()[0].is_copy_requested);
  EXPECT_FALSE(env.events()[2].is_copy_requested);
  EXPECT_TRUE(env.clean());
}

TEST_F(FakeJni, UnitsBorrowLengthAndNewString) {
  const std::u16string text = u"C:\\L\u00E9nk\U0001F600.lnk";
  const jstring link = env.make(text, "linkPath");

  const jchar* units = jni->GetStringChars(link, nullptr);
  const jsize length = jni->GetStringLength(link);
  ASSERT_NE(units, nullptr);
  ASSERT_EQ(length, static_cast<jsize>(text.size()));
  EXPECT_EQ(std::u16string(units, units + length), text);
  EXPECT_EQ(units[length], 0);
  EXPECT_EQ(env.outstanding(), 1);
  jni->ReleaseStringChars(link, units);

  const jchar folder[] = {'C', ':', 0x00E9, 0xD83D, 0xDE00};
  const jstring result = jni->NewString(folder, 5);
  EXPECT_EQ(env.units(result), u"C:\u00E9\U0001F600");

  EXPECT_EQ(env.trace(), (std::vector<std::string>{"borrow-chars linkPath", "length linkPath",
                                                   "release-chars linkPath", "new-string"}));
  EXPECT_TRUE(env.clean());
}

TEST_F(FakeJni, TraceFollowsCallOrderWithLabels) {
  const jstring root = env.make(u"HKEY_CURRENT_USER", "root");
  const jstring sub = env.make(u"Software\\qav", "subKey");
  const jstring unlabelled = env.make(u"Name");

  const char* r = jni->GetStringUTFChars(root, nullptr);
  const char* k = jni->GetStringUTFChars(sub, nullptr);
  const char* n = jni->GetStringUTFChars(unlabelled, nullptr);
  jni->ReleaseStringUTFChars(unlabelled, n);
  jni->ReleaseStringUTFChars(sub, k);
  jni->ReleaseStringUTFChars(root, r);
  jni->NewStringUTF("done");

  EXPECT_EQ(env.trace(),
            (std::vector<std::string>{"borrow root", "borrow subKey", "borrow Name", "release Name",
                                      "release subKey", "release root", "new-utf"}));
  EXPECT_TRUE(env.clean());

  env.clear_events();
  EXPECT_EQ(env.trace(), std::vector<std::string>{});
}

TEST_F(FakeJni, UnreleasedBorrowIsOutstandingNotAFault) {
  const jstring s = env.make(u"x");
  jni->GetStringUTFChars(s, nullptr);
  jni->GetStringChars(s, nullptr);
  EXPECT_EQ(env.outstanding(), 2);
  EXPECT_EQ(env.faults(), std::vector<std::string>{});
  EXPECT_FALSE(env.clean());
}

TEST_F(FakeJni, ReleaseMisuseIsAFault) {
  const jstring a = env.make(u"alpha", "a");
  const jstring b = env.make(u"beta", "b");

  const char* a_bytes = jni->GetStringUTFChars(a, nullptr);
  const char* b_bytes = jni->GetStringUTFChars(b, nullptr);
  const jchar* a_units = jni->GetStringChars(a, nullptr);
  const char copy[] = "alpha";

  jni->ReleaseStringUTFChars(a, copy);     // same text, not the borrowed buffer
  jni->ReleaseStringUTFChars(a, b_bytes);  // buffer of another string
  jni->ReleaseStringUTFChars(a, nullptr);  // a refused borrow given back
  jni->ReleaseStringUTFChars(a, reinterpret_cast<const char*>(a_units));  // wrong kind
  EXPECT_EQ(env.faults().size(), 4u);
  EXPECT_EQ(env.outstanding(), 3);  // none of those released anything

  jni->ReleaseStringUTFChars(a, a_bytes);
  jni->ReleaseStringUTFChars(a, a_bytes);  // twice
  jni->ReleaseStringUTFChars(b, b_bytes);
  jni->ReleaseStringChars(a, a_units);
  const std::vector<std::string> faults = env.faults();
  ASSERT_EQ(faults.size(), 5u);
  EXPECT_NE(faults[1].find("borrowed from 'b'"), std::string::npos) << faults[1];
  EXPECT_NE(faults[3].find("came from GetStringChars"), std::string::npos) << faults[3];
  EXPECT_NE(faults[4].find("released twice"), std::string::npos) << faults[4];
  EXPECT_EQ(env.outstanding(), 0);
  EXPECT_FALSE(env.clean());
}

TEST_F(FakeJni, NullAndForeignStringsAreFaultsNotCrashes) {
  int not_a_string = 0;
  const jstring foreign = reinterpret_cast<jstring>(&not_a_string);
  for (const jstring bad : {jstring(nullptr), foreign}) {
    EXPECT_EQ(jni->GetStringUTFChars(bad, nullptr), nullptr);
    EXPECT_EQ(jni->GetStringChars(bad, nullptr), nullptr);
    EXPECT_EQ(jni->GetStringLength(bad), 0);
    jni->ReleaseStringUTFChars(bad, "x");
    const jchar unit = 'x';
    jni->ReleaseStringChars(bad, &unit);
  }
  EXPECT_EQ(jni->NewStringUTF(nullptr), nullptr);
  EXPECT_EQ(jni->NewString(nullptr, 3), nullptr);
  EXPECT_EQ(env.faults().size(), 12u);
  EXPECT_EQ(env.faults()[0], "GetStringUTFChars: null string");
  EXPECT_EQ(env.faults()[5], "GetStringUTFChars: string not made by this environment");
  EXPECT_EQ(env.trace(), std::vector<std::string>{});
}

TEST_F(FakeJni, ReleasedBytesAreOverwritten) {
  // Catches a caller that still reads the bytes after giving them back.
  const jstring s = env.make(u"secret");
  const char* bytes = jni->GetStringUTFChars(s, nullptr);
  jni->ReleaseStringUTFChars(s, bytes);
  EXPECT_NE(std::string(bytes, 6), "secret");
  EXPECT_EQ(bytes[6], '\0');
}

TEST_F(FakeJni, RefusedStringStaysRefused) {
  const jstring root = env.make(u"HKLM", "root");
  const jstring sub = env.make(u"Software", "subKey");
  env.refuse_borrow(sub);

  const char* r = jni->GetStringUTFChars(root, nullptr);
  EXPECT_NE(r, nullptr);
  EXPECT_EQ(jni->GetStringUTFChars(sub, nullptr), nullptr);
  env.clear_exception();  // as for a later native call
  EXPECT_EQ(jni->GetStringChars(sub, nullptr), nullptr);
  jni->ReleaseStringUTFChars(root, r);

  EXPECT_EQ(env.trace(), (std::vector<std::string>{"borrow root", "refused subKey",
                                                   "refused subKey", "release root"}));
  EXPECT_EQ(env.events()[1].kind, Env::Kind::Refused);
  EXPECT_EQ(env.events()[1].string, sub);
  EXPECT_TRUE(env.clean());
}

TEST_F(FakeJni, NthBorrowIsRefusedWhateverItsKind) {
  const jstring a = env.make(u"a");
  const jstring b = env.make(u"b");
  env.refuse_nth_borrow(2);
  env.refuse_nth_borrow(4);

  const char* first = jni->GetStringUTFChars(a, nullptr);
  EXPECT_EQ(jni->GetStringChars(b, nullptr), nullptr);
  env.clear_exception();
  const char* third = jni->GetStringUTFChars(b, nullptr);
  EXPECT_EQ(jni->GetStringUTFChars(a, nullptr), nullptr);
  env.clear_exception();
  const char* fifth = jni->GetStringUTFChars(a, nullptr);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(third, nullptr);
  EXPECT_NE(fifth, nullptr);
  jni->ReleaseStringUTFChars(a, first);
  jni->ReleaseStringUTFChars(b, third);
  jni->ReleaseStringUTFChars(a, fifth);

  EXPECT_EQ(env.trace(),
            (std::vector<std::string>{"borrow a", "refused b", "borrow b", "refused a", "borrow a",
                                      "release a", "release b", "release a"}));
  EXPECT_TRUE(env.clean());
}

TEST_F(FakeJni, NewStringsCanBeRefused) {
  env.refuse_new_strings(true);
  EXPECT_EQ(jni->NewStringUTF("x"), nullptr);
  EXPECT_TRUE(env.exception_pending()) << "the JVM throws OutOfMemoryError";
  env.clear_exception();
  const jchar unit = 'x';
  EXPECT_EQ(jni->NewString(&unit, 1), nullptr);
  env.clear_exception();
  env.refuse_new_strings(false);
  const jstring made = jni->NewStringUTF("y");
  EXPECT_EQ(env.utf8(made), "y");
  EXPECT_EQ(env.trace(),
            (std::vector<std::string>{"refused new-utf", "refused new-string", "new-utf"}));
  EXPECT_TRUE(env.clean());
}

// After a refusal the JVM has an OutOfMemoryError pending, and until the
// native method returns only the Release functions may be called.
TEST_F(FakeJni, ARefusalLeavesAnExceptionPendingAndOnlyReleasesMayFollow) {
  const jstring root = env.make(u"HKCU", "root");
  const jstring sub = env.make(u"Software", "subKey");
  env.refuse_borrow(sub);
  int refusals_seen = 0;
  std::size_t events_at_refusal = 0;
  env.on_refusal([&] {
    ++refusals_seen;
    events_at_refusal = env.events().size();
  });

  const char* r = jni->GetStringUTFChars(root, nullptr);
  EXPECT_FALSE(env.exception_pending());
  EXPECT_EQ(jni->GetStringUTFChars(sub, nullptr), nullptr);
  EXPECT_TRUE(env.exception_pending());
  EXPECT_EQ(refusals_seen, 1);
  EXPECT_EQ(events_at_refusal, 2u) << "the hook runs once the refusal is logged";

  jni->ReleaseStringUTFChars(root, r);  // allowed
  EXPECT_EQ(env.faults(), std::vector<std::string>{});

  // Each of these is misuse: recorded, answered as refused, nothing done.
  EXPECT_EQ(jni->GetStringUTFChars(root, nullptr), nullptr);
  EXPECT_EQ(jni->GetStringChars(root, nullptr), nullptr);
  EXPECT_EQ(jni->GetStringLength(root), 0);
  EXPECT_EQ(jni->NewStringUTF(""), nullptr);
  const jchar unit = 'x';
  EXPECT_EQ(jni->NewString(&unit, 1), nullptr);
  EXPECT_EQ(env.faults(),
            (std::vector<std::string>{"GetStringUTFChars: called with an exception pending",
                                      "GetStringChars: called with an exception pending",
                                      "GetStringLength: called with an exception pending",
                                      "NewStringUTF: called with an exception pending",
                                      "NewString: called with an exception pending"}));
  EXPECT_EQ(env.trace(),
            (std::vector<std::string>{"borrow root", "refused subKey", "release root"}));
  EXPECT_EQ(env.outstanding(), 0);
  EXPECT_EQ(refusals_seen, 1) << "misuse is no refusal";

  // Java caught the exception; the next native call may borrow again.
  env.clear_exception();
  EXPECT_FALSE(env.exception_pending());
  const char* again = jni->GetStringUTFChars(root, nullptr);
  EXPECT_NE(again, nullptr);
  jni->ReleaseStringUTFChars(root, again);
  EXPECT_EQ(env.faults().size(), 5u);
}

TEST_F(FakeJni, ARefusedUnitsBorrowLeavesTheExceptionPendingToo) {
  const jstring link = env.make(u"C:\\a.lnk", "linkPath");
  env.refuse_nth_borrow(1);
  EXPECT_EQ(jni->GetStringChars(link, nullptr), nullptr);
  EXPECT_TRUE(env.exception_pending());
  EXPECT_EQ(jni->GetStringLength(link), 0);
  ASSERT_EQ(env.faults().size(), 1u);
  EXPECT_EQ(env.faults()[0], "GetStringLength: called with an exception pending");
}

// The seven implemented slots, by the table's own layout.
bool is_implemented(std::size_t slot) {
  const std::size_t implemented[] = {
      offsetof(JNINativeInterface_, GetStringUTFChars),
      offsetof(JNINativeInterface_, ReleaseStringUTFChars),
      offsetof(JNINativeInterface_, NewStringUTF),
      offsetof(JNINativeInterface_, GetStringChars),
      offsetof(JNINativeInterface_, GetStringLength),
      offsetof(JNINativeInterface_, ReleaseStringChars),
      offsetof(JNINativeInterface_, NewString),
  };
  for (std::size_t offset : implemented) {
    if (offset / sizeof(void*) == slot) return true;
  }
  return false;
}

TEST(FakeJniDeathTest, EveryOtherSlotAbortsNamingItself) {
  Env env;
  JNIEnv* jni = env.jni();
  using Trap = void(JNICALL*)();
  const std::size_t slots = sizeof(JNINativeInterface_) / sizeof(void*);
  int trapped = 0;
  for (std::size_t slot = 0; slot < slots; ++slot) {
    if (is_implemented(slot)) continue;
    Trap trap = nullptr;
    std::memcpy(&trap, reinterpret_cast<const char*>(jni->functions) + slot * sizeof(void*),
                sizeof trap);
    ASSERT_NE(trap, nullptr) << "slot " << slot;
    const std::string message = "unexpected call to JNI slot " + std::to_string(slot) + "\n";
    EXPECT_DEATH(trap(), message) << "slot " << slot;
    ++trapped;
  }
  EXPECT_EQ(trapped, static_cast<int>(slots) - 7);
}

TEST(FakeJniDeathTest, CallsThroughTheJniApiTrap) {
  Env env;
  JNIEnv* jni = env.jni();
  EXPECT_DEATH(jni->GetVersion(), "unexpected call to JNI slot 4\n");
  EXPECT_DEATH(jni->FindClass("qav/Native"), "unexpected call to JNI slot 6\n");
  EXPECT_DEATH(jni->ExceptionCheck(), "unexpected call to JNI slot 228\n");
  EXPECT_DEATH(jni->GetStringUTFLength(nullptr), "unexpected call to JNI slot 168\n");
}

}  // namespace
