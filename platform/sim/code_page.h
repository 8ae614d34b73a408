// Windows-1252, the simulated machine's ANSI code page and its users' locale.
#pragma once

#include <string>

namespace sim {

char16_t cp1252_to_unit(unsigned char byte);
// The byte for a unit, or -1 when the code page could only replace it.
int unit_to_cp1252(char16_t unit);

// A wide name as the simulated file tree keys it (its ANSI bytes, '?' where
// a unit has none), and as readable UTF-8 for the call log.
std::string to_ansi(const std::u16string& units);
std::string to_utf8(const std::u16string& units);

}  // namespace sim
