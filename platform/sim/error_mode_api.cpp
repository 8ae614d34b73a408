// The process error mode of the seam.
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

UINT SetErrorMode(UINT mode) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  std::ostringstream line;
  line << "SetErrorMode 0x" << std::hex << mode;
  sim::log_call(line.str());
  UINT previous = sim::machine().error_mode;
  sim::machine().error_mode = mode;
  return previous;
}

}  // namespace win
