#include "platform/sim/code_page.h"

namespace sim {

namespace {

// Bytes 0x80..0x9F; the five that Windows-1252 leaves undefined map to the
// same C1 control units, as Windows does.
constexpr char16_t cp1252_high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct DoubleByte {
  char16_t unit;
  unsigned char lead, trail;
};

constexpr DoubleByte cp932_pairs[] = {
    {0x3042, 0x82, 0xA0},  // HIRAGANA A
    {0x30A2, 0x83, 0x41},  // KATAKANA A: trail byte 'A'
    {0x4E2D, 0x92, 0x86},  // middle
    {0x65E5, 0x93, 0xFA},  // day
    {0x6587, 0x95, 0xB6},  // text
    {0x672C, 0x96, 0x7B},  // book: trail byte '{'
    {0x8868, 0x95, 0x5C},  // table: trail byte '\\'
    {0x8A9E, 0x8C, 0xEA},  // language
};

}  // namespace

bool is_cp932_lead(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

int cp932_to_unit(unsigned char lead, unsigned char trail) {
  if (!is_cp932_lead(lead)) {
    if (lead < 0x80) return lead;
    if (lead >= 0xA1 && lead <= 0xDF) return 0xFF61 + (lead - 0xA1);
    return -1;
  }
  for (const auto& pair : cp932_pairs) {
    if (pair.lead == lead && pair.trail == trail) return pair.unit;
  }
  return -1;
}

int unit_to_cp932(char16_t unit, unsigned char* out) {
  if (unit < 0x80 || (unit >= 0xFF61 && unit <= 0xFF9F)) {
    out[0] = static_cast<unsigned char>(unit < 0x80 ? unit : unit - 0xFF61 + 0xA1);
    return 1;
  }
  for (const auto& pair : cp932_pairs) {
    if (pair.unit == unit) {
      out[0] = pair.lead;
      out[1] = pair.trail;
      return 2;
    }
  }
  return -1;
}

char16_t cp1252_to_unit(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return cp1252_high[byte - 0x80];
  return byte;
}

int unit_to_cp1252(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i) {
    if (cp1252_high[i] == unit) return 0x80 + i;
  }
  return -1;
}

std::string to_ansi(const std::u16string& units) {
  std::string bytes;
  for (char16_t unit : units) {
    int byte = unit_to_cp1252(unit);
    bytes += byte < 0 ? '?' : static_cast<char>(byte);
  }
  return bytes;
}

std::string to_utf8(const std::u16string& units) {
  std::string out;
  for (char16_t unit : units) {  // each unit alone: a surrogate shows as itself
    if (unit < 0x80) {
      out += static_cast<char>(unit);
    } else if (unit < 0x800) {
      out += static_cast<char>(0xC0 | (unit >> 6));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (unit >> 12));
      out += static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (unit & 0x3F));
    }
  }
  return out;
}

}  // namespace sim
