#include "registry/dword_text.h"

#include "platform/crt.h"

namespace registry {

namespace {

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Whether the digits after the white space and sign read a number above
// 4294967295. Runtimes disagree on what strtoul answers for such a number
// behind a minus sign (one gives 1), so that case is settled here.
bool digits_exceed_32_bits(const char* text) {
  const char* p = text;
  while (is_space(*p)) ++p;
  if (*p == '+' || *p == '-') ++p;
  unsigned long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    if (value > 0xFFFFFFFFull) return true;
  }
  return false;
}

}  // namespace

DWORD dword_from_decimal_text(const char* text) noexcept {
  if (digits_exceed_32_bits(text)) return 0xFFFFFFFFu;
  return static_cast<DWORD>(crt::strtoul(text, nullptr, 10));
}

}  // namespace registry
