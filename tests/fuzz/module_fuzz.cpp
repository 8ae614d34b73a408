// libFuzzer target over the host build: the input picks one entry point, the
// simulated machine it meets (registry values of any type and length, drives,
// the current directory, the locale), each String argument (null, refused,
// or any UTF-16 text, NULs and lone surrogates included, up to 70,000 units)
// and at most one failing platform operation. Every run must end as every
// call must: no crash, no sanitizer report, a result of the method's kind,
// nothing left borrowed or open, no JNI call after a refused borrow.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_jni.h"
#include "platform/sim/machine.h"
#include "testing/entry_points.h"
#include "testing/leftovers.h"

namespace {

[[noreturn]] void broken(const char* method, const std::string& what) {
  std::fprintf(stderr, "fuzz: %s: %s\n", method, what.c_str());
  std::abort();
}

// Texts that the module compares with or that name staged things, so the
// fuzzer reaches the paths behind a match without guessing them byte by byte.
const char* const known_texts[] = {"HKEY_LOCAL_MACHINE",
                                   "HKEY_CURRENT_USER",
                                   "HKEY_USERS",
                                   "HKEY_CLASSES_ROOT",
                                   "Software\\Fuzz",
                                   "Software\\Fuzz\\Deeper",
                                   "Value",
                                   "",
                                   "C:\\",
                                   "D:\\",
                                   "A:\\",
                                   "C:\\TEMP",
                                   "C:\\TEMP\\link.lnk",
                                   "C:\\Program Files",
                                   "Minimized",
                                   "42",
                                   "-1",
                                   "4294967296",
                                   "C:\\WINDOWS\\system32\\notepad.exe",
                                   "E:\\"};

// Units that matter to the conversions: NUL, ASCII, Latin-1, Windows-1252's
// high range, a CJK character, lone and paired surrogates, path separators.
const char16_t interesting_units[] = {0x0000, u'A',   u'\\',  u':',   u'.',   0x00E9,
                                      0x00FF, 0x0100, 0x20AC, 0x4E2D, 0xD800, 0xDC00,
                                      0xDBFF, 0xDFFF, 0xFFFF, 0x0080};

std::u16string fuzzed_units(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: {
      const char* text = known_texts[in.ConsumeIntegralInRange<size_t>(
          0, sizeof known_texts / sizeof *known_texts - 1)];
      return std::u16string(text, text + std::char_traits<char>::length(text));
    }
    case 1: {  // a length around a buffer's edge, or very long
      static const size_t lengths[] = {98, 99, 100, 254, 255, 256, 259, 260, 261, 70000};
      size_t length = lengths[in.ConsumeIntegralInRange<size_t>(0, 9)];
      char16_t fill = interesting_units[in.ConsumeIntegralInRange<size_t>(0, 15)];
      if (fill == 0) fill = u'x';
      std::u16string text = u"C:\\";
      text.resize(length, fill);
      return text;
    }
    case 2: {  // a few interesting units
      std::u16string text;
      size_t count = in.ConsumeIntegralInRange<size_t>(0, 12);
      for (size_t i = 0; i < count; ++i) {
        text += interesting_units[in.ConsumeIntegralInRange<size_t>(0, 15)];
      }
      return text;
    }
    default: {  // raw units
      size_t count = in.ConsumeIntegralInRange<size_t>(0, 300);
      std::u16string text;
      for (size_t i = 0; i < count && in.remaining_bytes() >= 2; ++i) {
        text += static_cast<char16_t>(in.ConsumeIntegral<uint16_t>());
      }
      return text;
    }
  }
}

HKEY fuzzed_root(FuzzedDataProvider& in) {
  static const HKEY roots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS,
                               HKEY_CLASSES_ROOT};
  return roots[in.ConsumeIntegralInRange<int>(0, 3)];
}

void stage_machine(FuzzedDataProvider& in, sim::Machine& m) {
  // Registry values where the registry methods, the Startup folder and the
  // processor's identifier look, of any type and length, with or without a NUL.
  static const char* const keys[] = {
      "Software\\Fuzz", "Software\\Fuzz\\Deeper",
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "Hardware\\Description\\System\\CentralProcessor\\0"};
  static const char* const names[] = {"Value", "", "Startup", "Identifier"};
  int values = in.ConsumeIntegralInRange<int>(0, 3);
  for (int i = 0; i < values; ++i) {
    HKEY root = fuzzed_root(in);
    const char* key = keys[in.ConsumeIntegralInRange<int>(0, 3)];
    const char* name = names[in.ConsumeIntegralInRange<int>(0, 3)];
    DWORD type = in.ConsumeIntegralInRange<DWORD>(0, 11);
    size_t length = in.ConsumeBool() ? in.ConsumeIntegralInRange<size_t>(0, 600)
                                     : in.ConsumeIntegralInRange<size_t>(95, 105);
    std::vector<BYTE> data = in.ConsumeBytes<BYTE>(length);
    if (in.ConsumeBool()) data.resize(length, 'v');  // a value without a NUL
    m.registry.set_value(root, key, name, type, std::move(data));
  }
  if (in.ConsumeBool()) m.registry.ensure_key(fuzzed_root(in), "Software\\Fuzz\\Empty");

  // Drives: change kinds and media, add E: with the DOS system file.
  if (in.ConsumeBool()) {
    static const UINT types[] = {DRIVE_UNKNOWN, DRIVE_NO_ROOT_DIR, DRIVE_REMOVABLE, DRIVE_FIXED,
                                 DRIVE_REMOTE,  DRIVE_CDROM,       DRIVE_RAMDISK,   9};
    char letter = static_cast<char>('A' + in.ConsumeIntegralInRange<int>(0, 25));
    UINT type = types[in.ConsumeIntegralInRange<int>(0, 7)];
    bool medium = in.ConsumeBool();
    sim::Drive& drive = sim::add_drive(m, letter, type, medium);
    drive.free_bytes = in.ConsumeIntegral<uint64_t>();
    if (medium && in.ConsumeBool()) m.files.add_file(std::string(1, letter) + ":\\MSDOS.SYS");
  }
  if (in.ConsumeBool()) m.files.add_file("C:\\MSDOS.SYS");

  // A current directory of any length around the buffers' edges.
  if (in.ConsumeBool()) {
    std::string directory = "C:\\";
    directory.append(in.ConsumeIntegralInRange<size_t>(0, 300), 'd');
    m.files.add_directory(directory);
    m.files.set_current_directory(directory);
  }
  // The locale: "C", the user's single-byte one or a double-byte one, and
  // perhaps another thread's switch to the user's in the middle of a conversion.
  if (in.ConsumeBool()) sim::stage_double_byte_user_locale(m.locale);
  m.locale.user_default = in.ConsumeBool();
  if (in.ConsumeBool())
    m.locale.switch_to_user_after_wctombs = in.ConsumeIntegralInRange<int>(1, 300);
}

// At most one operation fails: which one, at which of its occurrences, and
// with what status where it reports one.
void stage_fault(FuzzedDataProvider& in) {
  if (!in.ConsumeBool()) return;
  constexpr int operations = sim::operation_count;
  auto operation = static_cast<sim::Op>(in.ConsumeIntegralInRange<int>(0, operations - 1));
  int after = in.ConsumeIntegralInRange<int>(0, 3);
  long status = in.ConsumeBool() ? 0 : in.ConsumeIntegral<int32_t>();
  sim::fail(operation, sim::FailMode::once, status, after);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  sim::reset();
  const auto& methods = entry_points::all();
  const entry_points::EntryPoint& method =
      methods[in.ConsumeIntegralInRange<size_t>(0, methods.size() - 1)];
  sim::Machine& m = sim::machine();
  stage_machine(in, m);

  fakejni::Env java;
  std::vector<jstring> arguments;
  for (int i = 0; i < method.string_arguments; ++i) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0: arguments.push_back(nullptr); break;
      case 1: {
        jstring refused = java.make(fuzzed_units(in), "refused");
        java.refuse_borrow(refused);
        arguments.push_back(refused);
        break;
      }
      default: arguments.push_back(java.make(fuzzed_units(in))); break;
    }
  }
  stage_fault(in);
  const sim::Holdings before = sim::holdings();
  const bool switch_staged = m.locale.switch_to_user_after_wctombs > 0;

  entry_points::Answer answer = method.call(java.jni(), arguments);

  if (answer.kind == entry_points::ResultKind::Boolean && answer.number != 0 &&
      answer.number != 1) {
    broken(method.name, "a truth value other than 0 or 1");
  }
  if (java.exception_pending() && answer.string != nullptr) {
    broken(method.name, "a String was made while an exception was pending");
  }
  const std::string name = method.name;
  testing_support::Purpose purpose;
  purpose.moves_current_directory = name == "chdir" && answer.number == 0;
  // A staged switch stands for another thread's getStartupDir.
  purpose.switches_locale = name == "getStartupDir" || switch_staged;
  for (const auto& line : testing_support::leftovers(java, before, purpose)) {
    broken(method.name, line);
  }
  return 0;
}
