// The C-runtime functions whose behaviour differs between the Windows runtime
// and glibc, behind the same seam as win.h: on Windows the runtime's own
// functions, on the host the simulated machine's, with the Windows runtime's
// rules (a 16-bit wide character, a 32-bit unsigned long, its "C" locale).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/operations.h"

#ifdef _WIN32

#include <direct.h>
#include <locale.h>
#include <stdlib.h>
#include <string.h>

namespace crt {
using wide_char = wchar_t;
using ulong32 = unsigned long;  // 32 bits on Windows
constexpr int locale_all = LC_ALL;

#define ZOZUDU_CRT_USING_call(name) using ::name;
#define ZOZUDU_CRT_USING_inline(name)
#define ZOZUDU_CRT_USING(name, kind, failure) ZOZUDU_CRT_USING_##kind(name)
ZOZUDU_CRT_OPERATIONS(ZOZUDU_CRT_USING)
#undef ZOZUDU_CRT_USING
#undef ZOZUDU_CRT_USING_call
#undef ZOZUDU_CRT_USING_inline
inline char* strdup(const char* text) { return ::_strdup(text); }
}  // namespace crt

#else

namespace crt {
using wide_char = char16_t;
using ulong32 = std::uint32_t;
constexpr int locale_all = 0;

int _chdir(const char* path);
void* malloc(std::size_t size);
void free(void* block);
char* setlocale(int category, const char* locale);
std::size_t mbstowcs(wide_char* out, const char* in, std::size_t count);
int wctomb(char* out, wide_char unit);
ulong32 strtoul(const char* text, char** end, int base);
char* strdup(const char* text);  // a block for crt::free
}  // namespace crt

// Every row of the table has its declaration above.
#define ZOZUDU_CRT_DECLARED(name, kind, failure) static_assert(sizeof(&crt::name) != 0, #name);
ZOZUDU_CRT_OPERATIONS(ZOZUDU_CRT_DECLARED)
#undef ZOZUDU_CRT_DECLARED

#endif

static_assert(sizeof(crt::wide_char) == 2, "Windows' wide characters are UTF-16 units");
static_assert(sizeof(crt::ulong32) == 4, "Windows' unsigned long has 32 bits");
