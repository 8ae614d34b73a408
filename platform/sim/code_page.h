// Windows-1252, the simulated machine's ANSI code page and its users' locale.
#pragma once

#include <string>

namespace sim {

char16_t cp1252_to_unit(unsigned char byte);
// The byte for a unit, or -1 when the code page could only replace it.
int unit_to_cp1252(char16_t unit);

// A slice of Windows code page 932 (Shift JIS), the double-byte code page a
// user locale may have: ASCII, the half-width katakana as single bytes
// (0xA1..0xDF), and a few characters as lead and trail byte pairs (among them
// U+8868, whose trail byte is 0x5C, the backslash). Anything else is taken
// as having no bytes.
constexpr int cp932 = 932;
bool is_cp932_lead(unsigned char byte);
// The unit of a single byte (trail 0) or of a lead and trail byte; -1 when
// the slice has none.
int cp932_to_unit(unsigned char lead, unsigned char trail = 0);
// The bytes for a unit, written to `out` (room for two); their count, or -1
// when the code page could only replace it.
int unit_to_cp932(char16_t unit, unsigned char* out);

// A wide name as the simulated file tree keys it (its ANSI bytes, '?' where
// a unit has none), and as readable UTF-8 for the call log.
std::string to_ansi(const std::u16string& units);
std::string to_utf8(const std::u16string& units);

}  // namespace sim
