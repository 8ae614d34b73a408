// The process error mode of the seam.
#include <sstream>

#include "platform/sim/machine.h"
#include "platform/win.h"

namespace win {

UINT SetErrorMode(UINT mode) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  std::ostringstream line;
  line << "0x" << std::hex << mode;
  long answer = 0;
  if (sim::log_call(sim::Op::SetErrorMode, line.str(), &answer)) return static_cast<UINT>(answer);
  UINT previous = sim::machine().error_mode;
  sim::machine().error_mode = mode;
  return previous;
}

}  // namespace win
