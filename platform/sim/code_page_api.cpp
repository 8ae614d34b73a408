// MultiByteToWideChar in the simulated machine's one ANSI code page, Windows-1252.
#include <cstring>

#include "platform/sim/code_page.h"
#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int units) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  if (sim::log_call(sim::Op::MultiByteToWideChar,
                    std::to_string(codePage) + " " + std::to_string(flags) + " \"" +
                        std::string(text) + "\" " + std::to_string(bytes) + " " +
                        std::to_string(units))) {
    return 0;
  }
  if (codePage != CP_ACP && codePage != 1252) return 0;
  std::size_t length = bytes < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(bytes);
  if (units == 0) return static_cast<int>(length);
  // Windows fills what fits before it reports the buffer too small.
  std::size_t fits =
      length < static_cast<std::size_t>(units) ? length : static_cast<std::size_t>(units);
  for (std::size_t i = 0; i < fits; ++i) {
    wide[i] = sim::cp1252_to_unit(static_cast<unsigned char>(text[i]));
  }
  return length > static_cast<std::size_t>(units) ? 0 : static_cast<int>(length);
}

}  // namespace win
