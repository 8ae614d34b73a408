#include "shell/link_path.h"

#include <climits>
#include <cstdint>
#include <cstring>

#include "bridge/borrowed_chars.h"
#include "platform/crt.h"

namespace shell {

namespace {

// The narrowed text is sized by the most bytes any locale writes for a unit,
// not by MB_CUR_MAX: the locale belongs to the whole process, and
// getStartupDir on another thread may switch it to a double-byte one in the
// middle of the conversion. Each unit goes through a buffer of that size and
// is copied only when it fits, so no locale can make a write overrun.
void narrow_units(const crt::wide_char* units, char* out, std::size_t size) {
  char* const end = out + size - 1;  // room for the NUL
  for (const crt::wide_char* unit = units; *unit != 0; ++unit) {
    char bytes[MB_LEN_MAX];
    int written = crt::wctomb(bytes, *unit);
    if (written <= 0 || written > end - out) continue;  // left out: no bytes, or no room
    std::memcpy(out, bytes, static_cast<std::size_t>(written));
    out += written;
  }
  *out = '\0';
}

}  // namespace

platform::RuntimeBlock<char> narrow_link_path(JNIEnv* env, jstring link_path) noexcept {
  platform::RuntimeBlock<crt::wide_char> units;
  std::size_t length = 0;
  {
    bridge::BorrowedChars borrowed(env, link_path);
    if (!borrowed) return nullptr;
    length = static_cast<std::size_t>(borrowed.length());
    if (length >= SIZE_MAX / MB_LEN_MAX) return nullptr;  // sizes below must not wrap
    units = platform::allocate<crt::wide_char>((length + 1) * sizeof(crt::wide_char));
    if (!units) return nullptr;
    std::memcpy(units.get(), borrowed.units(), length * sizeof(crt::wide_char));
    units.get()[length] = 0;
  }  // the units go back before anything is narrowed

  const std::size_t size = length * MB_LEN_MAX + 1;
  auto narrow = platform::allocate<char>(size);
  if (!narrow) return nullptr;
  narrow_units(units.get(), narrow.get(), size);
  return narrow;
}

}  // namespace shell
