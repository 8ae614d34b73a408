#include "shell/link_path.h"

#include <cstring>

#include "bridge/borrowed_chars.h"
#include "platform/crt.h"

namespace shell {

platform::RuntimeBlock<char> narrow_link_path(JNIEnv* env, jstring link_path) noexcept {
  platform::RuntimeBlock<crt::wide_char> units;
  std::size_t length = 0;
  {
    bridge::BorrowedChars borrowed(env, link_path);
    if (!borrowed) return nullptr;
    length = static_cast<std::size_t>(borrowed.length());
    units = platform::allocate<crt::wide_char>((length + 1) * sizeof(crt::wide_char));
    if (!units) return nullptr;
    std::memcpy(units.get(), borrowed.units(), length * sizeof(crt::wide_char));
    units.get()[length] = 0;
  }  // the units go back before anything is narrowed

  auto narrow = platform::allocate<char>(length * crt::mb_cur_max() + 2);
  if (!narrow) return nullptr;
  char* out = narrow.get();
  for (const crt::wide_char* unit = units.get(); *unit != 0; ++unit) {
    int written = crt::wctomb(out, *unit);
    if (written > 0) out += written;
  }
  *out = '\0';
  return narrow;
}

}  // namespace shell
