#include "fake_jni.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <utility>

namespace fakejni {

namespace {

// The object behind a fake jstring. Deriving from the header's own _jstring
// makes the jstring <-> FakeString casts ordinary base/derived conversions.
struct FakeString : _jstring {
  std::u16string units;
  std::string label;
  std::string new_utf_bytes;
  bool invalid_utf = false;
};

// A buffer handed out by a borrow. It is kept (poisoned) after its release
// until the Env dies, so that no later borrow can reuse its address: a
// second release of the same pointer is then always recognised as such,
// and bytes read after the release are visibly wrong.
struct Borrow {
  bool utf = true;  // GetStringUTFChars, else GetStringChars
  FakeString* string = nullptr;
  std::unique_ptr<char[]> bytes;
  std::unique_ptr<jchar[]> chars;
  std::size_t size = 0;  // bytes or units, without the terminator
  bool released = false;
};

constexpr unsigned char poison_byte = 0xDD;
constexpr jchar poison_unit = 0xDDDD;

void append_unit_as_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes JNI modified UTF-8: one to three bytes per UTF-16 unit, U+0000
// only as C0 80, surrogates encoded one by one. A byte that does not start
// a valid sequence stands for itself (U+0000..U+00FF) and marks the input
// invalid.
std::u16string from_modified_utf8(const std::string& bytes, bool& invalid) {
  std::u16string out;
  invalid = false;
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    if (b0 >= 0x01 && b0 <= 0x7F) {
      out += static_cast<char16_t>(b0);
      i += 1;
      continue;
    }
    if (b0 >= 0xC0 && b0 <= 0xDF && i + 1 < n &&
        is_continuation(static_cast<unsigned char>(bytes[i + 1]))) {
      const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
      const char16_t u = static_cast<char16_t>(((b0 & 0x1F) << 6) | (b1 & 0x3F));
      if (u >= 0x80 || (b0 == 0xC0 && b1 == 0x80)) {
        out += u;
        i += 2;
        continue;
      }
    }
    if (b0 >= 0xE0 && b0 <= 0xEF && i + 2 < n &&
        is_continuation(static_cast<unsigned char>(bytes[i + 1])) &&
        is_continuation(static_cast<unsigned char>(bytes[i + 2]))) {
      const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
      const auto b2 = static_cast<unsigned char>(bytes[i + 2]);
      const char16_t u =
          static_cast<char16_t>(((b0 & 0x0F) << 12) | ((b1 & 0x3F) << 6) | (b2 & 0x3F));
      if (u >= 0x800) {
        out += u;
        i += 3;
        continue;
      }
    }
    out += static_cast<char16_t>(b0);
    invalid = true;
    i += 1;
  }
  return out;
}

[[noreturn]] void die(const char* what) noexcept {
  std::fprintf(stderr, "fake JNI: %s\n", what);
  std::fflush(stderr);
  std::abort();
}

}  // namespace

std::string to_modified_utf8(const std::u16string& units) {
  std::string out;
  for (char16_t u : units) {
    if (u == 0) {
      out += static_cast<char>(0xC0);
      out += static_cast<char>(0x80);
    } else {
      append_unit_as_utf8(out, u);
    }
  }
  return out;
}

std::u16string from_standard_utf8(const std::string& bytes) {
  std::u16string out;
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(bytes[i]);
    std::size_t len = 0;
    char32_t c = 0;
    char32_t min = 0;
    if (b0 < 0x80) {
      len = 1;
      c = b0;
    } else if (b0 >= 0xC2 && b0 <= 0xDF) {
      len = 2;
      c = b0 & 0x1F;
      min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      len = 3;
      c = b0 & 0x0F;
      min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      len = 4;
      c = b0 & 0x07;
      min = 0x10000;
    }
    bool ok = len != 0 && i + len <= n;
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(bytes[i + k]);
      ok = is_continuation(b);
      c = (c << 6) | (b & 0x3F);
    }
    ok = ok && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    if (!ok) {
      out += u'\uFFFD';
      i += 1;
    } else if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
      i += len;
    } else {
      out += static_cast<char16_t>(c);
      i += len;
    }
  }
  return out;
}

std::string to_standard_utf8(const std::u16string& units) {
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      const char32_t c =
          0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00);
      append_unit_as_utf8(out, c);
      ++i;
    } else {
      append_unit_as_utf8(out, u);
    }
  }
  return out;
}

// ---------------------------------------------------------------------------

struct Env::State {
  // What the entry point receives as its JNIEnv*. Standard layout with
  // the JNIEnv first, so the functions can get back from the pointer to
  // the state that owns it.
  struct Handle {
    JNIEnv jni;
    State* state;
  } handle{};

  std::map<jstring, std::unique_ptr<FakeString>> strings;
  std::map<const void*, Borrow> borrows;
  std::vector<Event> events;
  std::vector<std::string> faults;

  std::set<jstring> refused_strings;
  std::set<int> refused_borrow_numbers;
  int borrow_attempts = 0;
  bool refuse_new = false;
  // Set by every refusal, as the JVM throws OutOfMemoryError when it
  // cannot hand out a borrow or make a string.
  bool exception_pending = false;
  std::function<void()> refusal_hook;

  static State& of(JNIEnv* env) noexcept { return *reinterpret_cast<Handle*>(env)->state; }

  FakeString* find(jstring s) const {
    const auto it = strings.find(s);
    return it == strings.end() ? nullptr : it->second.get();
  }

  jstring add(std::unique_ptr<FakeString> s) {
    const jstring key = s.get();
    strings.emplace(key, std::move(s));
    return key;
  }

  void fault(const char* function, const std::string& what) {
    faults.push_back(std::string(function) + ": " + what);
  }

  void refuse(Event event) {
    events.push_back(std::move(event));
    exception_pending = true;
    if (refusal_hook) refusal_hook();
  }

  // Only the Release functions may be called while an exception is
  // pending; any other call is misuse, answered as refused (null or 0)
  // without touching anything.
  bool misused_while_pending(const char* function) {
    if (!exception_pending) return false;
    fault(function, "called with an exception pending");
    return true;
  }

  // A string argument the function may use, or null after recording why
  // not. A pointer not made here is never dereferenced.
  FakeString* argument(const char* function, jstring s) {
    if (s == nullptr) {
      fault(function, "null string");
      return nullptr;
    }
    FakeString* found = find(s);
    if (found == nullptr) fault(function, "string not made by this environment");
    return found;
  }

  // Counts the attempt and says whether the test asked for it to fail.
  bool refuses_borrow(jstring s) {
    ++borrow_attempts;
    return refused_strings.count(s) != 0 || refused_borrow_numbers.count(borrow_attempts) != 0;
  }

  const void* borrow(const char* function, jstring s, jboolean* isCopy, bool utf) {
    if (misused_while_pending(function)) return nullptr;
    FakeString* str = argument(function, s);
    if (str == nullptr) return nullptr;
    const bool copy_requested = isCopy != nullptr;
    if (refuses_borrow(s)) {
      refuse({Kind::Refused, s, nullptr, str->label, copy_requested});
      return nullptr;
    }
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    Borrow b;
    b.utf = utf;
    b.string = str;
    const void* handed_out = nullptr;
    if (utf) {
      const std::string text = to_modified_utf8(str->units);
      b.size = text.size();
      b.bytes.reset(new char[text.size() + 1]);
      std::memcpy(b.bytes.get(), text.c_str(), text.size() + 1);
      handed_out = b.bytes.get();
    } else {
      b.size = str->units.size();
      b.chars.reset(new jchar[b.size + 1]);
      for (std::size_t i = 0; i < b.size; ++i) b.chars[i] = str->units[i];
      b.chars[b.size] = 0;
      handed_out = b.chars.get();
    }
    borrows.emplace(handed_out, std::move(b));
    events.push_back(
        {utf ? Kind::BorrowUTF : Kind::BorrowChars, s, handed_out, str->label, copy_requested});
    return handed_out;
  }

  void release(const char* function, jstring s, const void* pointer, bool utf) {
    FakeString* str = argument(function, s);
    if (str == nullptr) return;
    events.push_back({utf ? Kind::ReleaseUTF : Kind::ReleaseChars, s, pointer, str->label});
    const auto it = borrows.find(pointer);
    if (it == borrows.end()) {
      fault(function, "pointer given back for '" + str->label + "' was never handed out");
      return;
    }
    Borrow& b = it->second;
    if (b.utf != utf) {
      fault(function, "pointer given back for '" + str->label + "' came from " +
                          (b.utf ? "GetStringUTFChars" : "GetStringChars"));
      return;
    }
    if (b.string != str) {
      fault(function, "pointer given back for '" + str->label + "' was borrowed from '" +
                          b.string->label + "'");
      return;
    }
    if (b.released) {
      fault(function, "'" + str->label + "' released twice");
      return;
    }
    b.released = true;
    if (utf) {
      std::memset(b.bytes.get(), poison_byte, b.size);
    } else {
      for (std::size_t i = 0; i < b.size; ++i) b.chars[i] = poison_unit;
    }
  }

  jstring new_string(Kind kind, const void* input, std::u16string units,
                     const std::string* utf_bytes, bool invalid) {
    if (refuse_new) {
      refuse({Kind::Refused, nullptr, input, kind == Kind::NewUTF ? "new-utf" : "new-string"});
      return nullptr;
    }
    auto made = std::make_unique<FakeString>();
    made->label = to_standard_utf8(units);
    made->units = std::move(units);
    if (utf_bytes != nullptr) {
      made->new_utf_bytes = *utf_bytes;
      made->invalid_utf = invalid;
    }
    const std::string label = made->label;
    const jstring result = add(std::move(made));
    events.push_back({kind, result, input, label});
    return result;
  }
};

namespace {

using State = Env::State;

// Runs one JNI function body. Nothing may be thrown back into the caller's
// C-style code, and running out of memory in a test is not worth modelling.
template <typename Body>
auto guarded(Body body) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    die("exception inside a JNI function");
  }
}

const char* JNICALL get_string_utf_chars(JNIEnv* env, jstring s, jboolean* isCopy) noexcept {
  return guarded([&] {
    return static_cast<const char*>(State::of(env).borrow("GetStringUTFChars", s, isCopy, true));
  });
}

void JNICALL release_string_utf_chars(JNIEnv* env, jstring s, const char* chars) noexcept {
  guarded([&] { State::of(env).release("ReleaseStringUTFChars", s, chars, true); });
}

const jchar* JNICALL get_string_chars(JNIEnv* env, jstring s, jboolean* isCopy) noexcept {
  return guarded([&] {
    return static_cast<const jchar*>(State::of(env).borrow("GetStringChars", s, isCopy, false));
  });
}

void JNICALL release_string_chars(JNIEnv* env, jstring s, const jchar* chars) noexcept {
  guarded([&] { State::of(env).release("ReleaseStringChars", s, chars, false); });
}

jsize JNICALL get_string_length(JNIEnv* env, jstring s) noexcept {
  return guarded([&]() -> jsize {
    State& st = State::of(env);
    if (st.misused_while_pending("GetStringLength")) return 0;
    FakeString* str = st.argument("GetStringLength", s);
    if (str == nullptr) return 0;
    st.events.push_back({Env::Kind::Length, s, nullptr, str->label});
    return static_cast<jsize>(str->units.size());
  });
}

jstring JNICALL new_string_utf(JNIEnv* env, const char* bytes) noexcept {
  return guarded([&]() -> jstring {
    State& st = State::of(env);
    if (st.misused_while_pending("NewStringUTF")) return nullptr;
    if (bytes == nullptr) {
      st.fault("NewStringUTF", "null bytes");
      return nullptr;
    }
    const std::string raw(bytes);
    bool invalid = false;
    std::u16string units = from_modified_utf8(raw, invalid);
    return st.new_string(Env::Kind::NewUTF, bytes, std::move(units), &raw, invalid);
  });
}

jstring JNICALL new_string(JNIEnv* env, const jchar* units, jsize len) noexcept {
  return guarded([&]() -> jstring {
    State& st = State::of(env);
    if (st.misused_while_pending("NewString")) return nullptr;
    if (len < 0 || (units == nullptr && len > 0)) {
      st.fault("NewString", "null units or negative length");
      return nullptr;
    }
    std::u16string copy;
    for (jsize i = 0; i < len; ++i) copy += static_cast<char16_t>(units[i]);
    return st.new_string(Env::Kind::NewString, units, std::move(copy), nullptr, false);
  });
}

// The function table is an array of pointers in a struct; every slot that
// is not one of the seven above traps with its index.
constexpr int slot_count = static_cast<int>(sizeof(JNINativeInterface_) / sizeof(void*));
static_assert(sizeof(JNINativeInterface_) % sizeof(void*) == 0,
              "the JNI function table holds pointers only");

template <int Slot>
[[noreturn]] void JNICALL trap() noexcept {
  std::fprintf(stderr, "fake JNI: unexpected call to JNI slot %d\n", Slot);
  std::fflush(stderr);
  std::abort();
}

using TrapFunction = void(JNICALL*)();
static_assert(sizeof(TrapFunction) == sizeof(void*), "function and data pointers differ");

template <int... Slots>
void fill_with_traps(JNINativeInterface_& table, std::integer_sequence<int, Slots...>) {
  const TrapFunction traps[] = {&trap<Slots>...};
  static_assert(sizeof(traps) == sizeof(JNINativeInterface_), "one trap per slot");
  std::memcpy(&table, traps, sizeof(traps));
}

JNINativeInterface_ build_table() {
  JNINativeInterface_ table;
  fill_with_traps(table, std::make_integer_sequence<int, slot_count>{});
  // Typed assignments: a signature or calling convention that differs from
  // the header's slot does not compile.
  table.GetStringUTFChars = &get_string_utf_chars;
  table.ReleaseStringUTFChars = &release_string_utf_chars;
  table.NewStringUTF = &new_string_utf;
  table.GetStringChars = &get_string_chars;
  table.GetStringLength = &get_string_length;
  table.ReleaseStringChars = &release_string_chars;
  table.NewString = &new_string;
  return table;
}

const JNINativeInterface_* function_table() {
  static const JNINativeInterface_ table = build_table();
  return &table;
}

}  // namespace

// ---------------------------------------------------------------------------

Env::Env() : state_(std::make_unique<State>()) {
  state_->handle.jni.functions = function_table();
  state_->handle.state = state_.get();
}

Env::~Env() = default;

JNIEnv* Env::jni() noexcept { return &state_->handle.jni; }

jstring Env::make(std::u16string units, std::string label) {
  auto made = std::make_unique<FakeString>();
  made->label = label.empty() ? to_standard_utf8(units) : std::move(label);
  made->units = std::move(units);
  return state_->add(std::move(made));
}

jstring Env::make_utf8(const std::string& standard_utf8, std::string label) {
  return make(from_standard_utf8(standard_utf8), std::move(label));
}

void Env::refuse_borrow(jstring s) { state_->refused_strings.insert(s); }

void Env::refuse_nth_borrow(int n) { state_->refused_borrow_numbers.insert(n); }

void Env::refuse_new_strings(bool on) { state_->refuse_new = on; }

void Env::on_refusal(std::function<void()> hook) { state_->refusal_hook = std::move(hook); }

bool Env::exception_pending() const { return state_->exception_pending; }

void Env::clear_exception() { state_->exception_pending = false; }

const std::vector<Env::Event>& Env::events() const { return state_->events; }

std::vector<std::string> Env::trace() const {
  std::vector<std::string> lines;
  for (const Event& e : state_->events) {
    switch (e.kind) {
      case Kind::BorrowUTF: lines.push_back("borrow " + e.label); break;
      case Kind::ReleaseUTF: lines.push_back("release " + e.label); break;
      case Kind::BorrowChars: lines.push_back("borrow-chars " + e.label); break;
      case Kind::ReleaseChars: lines.push_back("release-chars " + e.label); break;
      case Kind::Length: lines.push_back("length " + e.label); break;
      case Kind::NewUTF: lines.push_back("new-utf"); break;
      case Kind::NewString: lines.push_back("new-string"); break;
      case Kind::Refused: lines.push_back("refused " + e.label); break;
    }
  }
  return lines;
}

void Env::clear_events() { state_->events.clear(); }

int Env::outstanding() const {
  int count = 0;
  for (const auto& entry : state_->borrows) {
    if (!entry.second.released) ++count;
  }
  return count;
}

std::vector<std::string> Env::faults() const { return state_->faults; }

bool Env::clean() const { return state_->faults.empty() && outstanding() == 0; }

int Env::is_copy_requests() const {
  int count = 0;
  for (const Event& e : state_->events) {
    if (e.is_copy_requested) ++count;
  }
  return count;
}

std::u16string Env::units(jstring s) const {
  const FakeString* str = state_->find(s);
  return str == nullptr ? std::u16string() : str->units;
}

std::string Env::utf8(jstring s) const { return to_standard_utf8(units(s)); }

std::string Env::new_utf_bytes(jstring s) const {
  const FakeString* str = state_->find(s);
  return str == nullptr ? std::string() : str->new_utf_bytes;
}

bool Env::invalid_utf(jstring s) const {
  const FakeString* str = state_->find(s);
  return str != nullptr && str->invalid_utf;
}

bool Env::is_null(jstring s) const { return s == nullptr; }

}  // namespace fakejni
