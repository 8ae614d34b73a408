// The C runtime's locale-dependent conversions and the heap, with the Windows
// runtime's rules: "C" maps bytes and units below 256 one to one; a user
// locale converts with its code page (Windows-1252, or the double-byte 932)
// and rejects units that it could only replace by a default character.
#include <cstdlib>
#include <cstring>

#include "platform/crt.h"
#include "platform/sim/code_page.h"
#include "platform/sim/machine.h"

namespace {

const sim::RuntimeLocale& current_locale() { return sim::machine().locale; }

bool double_byte() {
  return current_locale().user_default && current_locale().user_code_page == sim::cp932;
}

// The unit of the character at `text`, and how many bytes it takes; a unit of
// -1 for bytes the locale cannot read.
int read_unit(const unsigned char* text, int* bytes) {
  *bytes = 1;
  if (!current_locale().user_default) return text[0];
  if (!double_byte()) return sim::cp1252_to_unit(text[0]);
  if (!sim::is_cp932_lead(text[0])) return sim::cp932_to_unit(text[0]);
  if (text[1] == 0) return -1;  // a lead byte that ends the text
  *bytes = 2;
  return sim::cp932_to_unit(text[0], text[1]);
}

// The bytes of a unit (room for two), and their count; -1 for none.
int write_unit(char16_t unit, unsigned char* out) {
  if (double_byte()) return sim::unit_to_cp932(unit, out);
  int byte = current_locale().user_default ? sim::unit_to_cp1252(unit) : (unit < 256 ? unit : -1);
  if (byte < 0) return -1;
  out[0] = static_cast<unsigned char>(byte);
  return 1;
}

void count_down_staged_switch() {
  auto& state = sim::machine().locale;
  if (state.switch_to_user_after_wctombs > 0 && --state.switch_to_user_after_wctombs == 0) {
    state.user_default = true;
  }
}

std::string hex_unit(char16_t unit) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text = "U+";
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(unit >> shift) & 15];
  return text;
}

}  // namespace

namespace crt {

char* setlocale(int category, const char* locale) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  static std::string answer;
  auto& state = sim::machine().locale;
  if (sim::log_call(sim::Op::setlocale, std::to_string(category) + " " + sim::quoted(locale))) {
    return nullptr;
  }
  if (locale) {
    if (std::strcmp(locale, "") == 0) {
      state.user_default = true;
    } else if (std::strcmp(locale, "C") == 0) {
      state.user_default = false;
    } else if (std::strcmp(locale, state.user_name.c_str()) == 0) {
      state.user_default = true;
    } else {
      return nullptr;
    }
  }
  answer = state.user_default ? state.user_name : "C";
  return &answer[0];
}

int wctomb(char* out, wide_char unit) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::wctomb, (out ? "buffer " : "null ") + hex_unit(unit))) return -1;
  if (!out) return 0;  // no shift state
  unsigned char bytes[2];
  int written = write_unit(unit, bytes);
  if (written > 0) std::memcpy(out, bytes, static_cast<std::size_t>(written));
  count_down_staged_switch();
  return written;
}

std::size_t mbstowcs(wide_char* out, const char* in, std::size_t count) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::mbstowcs, std::to_string(count))) {
    return static_cast<std::size_t>(-1);
  }
  std::size_t written = 0;
  int bytes = 1;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(in); *p; p += bytes) {
    int unit = read_unit(p, &bytes);
    if (unit < 0) return static_cast<std::size_t>(-1);
    if (out) {
      if (written == count) return written;
      out[written] = static_cast<char16_t>(unit);
    }
    ++written;
  }
  if (out && written < count) out[written] = 0;
  return written;
}

ulong32 strtoul(const char* text, char** end, int base) {
  if (sim::log_call(sim::Op::strtoul, sim::quoted(text) + " " + std::to_string(base))) {
    if (end) *end = const_cast<char*>(text);
    return 0;
  }
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (base == 0) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
      base = 16;
    } else {
      base = p[0] == '0' ? 8 : 10;
    }
  }
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
  std::uint64_t value = 0;
  bool overflow = false;
  const char* digits_start = p;
  for (;; ++p) {
    int digit;
    if (*p >= '0' && *p <= '9') {
      digit = *p - '0';
    } else if (*p >= 'a' && *p <= 'z') {
      digit = *p - 'a' + 10;
    } else if (*p >= 'A' && *p <= 'Z') {
      digit = *p - 'A' + 10;
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
    if (value > 0xFFFFFFFFu) {
      overflow = true;
      value = 0xFFFFFFFFu;
    }
  }
  if (end) *end = const_cast<char*>(p == digits_start ? text : p);
  if (p == digits_start) return 0;
  if (overflow) return 0xFFFFFFFFu;  // ULONG_MAX whatever the sign, as the Windows runtime gives
  return negative ? static_cast<ulong32>(0u - static_cast<ulong32>(value))
                  : static_cast<ulong32>(value);
}

void* malloc(std::size_t size) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::malloc, std::to_string(size))) return nullptr;
  return sim::hand_out_block(std::malloc(size));
}

void free(void* block) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected = sim::log_call(sim::Op::free, block ? "block" : "null");
  sim::take_back_block(block, injected);
}

char* strdup(const char* text) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::strdup, sim::quoted(text))) return nullptr;
  std::size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (copy) std::memcpy(copy, text, size);
  return static_cast<char*>(sim::hand_out_block(copy));
}

}  // namespace crt
