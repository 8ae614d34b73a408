// The number that setRegDWord writes for Java's decimal text.
#pragma once

#include "platform/win.h"

namespace registry {

// The Windows runtime's 32-bit strtoul in base 10: leading white space, one
// optional sign, decimal digits up to the first other byte; 0 without
// digits, 4294967295 above that, a negated number taken modulo 2^32. A minus
// sign before a number above 4294967295 gives 4294967295 too.
DWORD dword_from_decimal_text(const char* text) noexcept;

}  // namespace registry
