// The shell's "open" and the machine's restart, with staged answers.
#include "platform/sim/machine.h"
#include "platform/win.h"

namespace {

using sim::quoted;

}  // namespace

namespace win {

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT show) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  bool injected = sim::log_call(sim::Op::ShellExecuteA,
                                std::string(owner ? "owner" : "null") + " " + quoted(verb) + " " +
                                    quoted(file) + " " + quoted(parameters) + " " +
                                    quoted(directory) + " " + std::to_string(show),
                                &status);
  auto& m = sim::machine();
  std::intptr_t answer;
  if (injected) {
    answer = status >= 0 && status <= 32 ? status : 0;  // a code above 32 would be no failure
  } else if (m.launches.answer) {
    answer = *m.launches.answer;
  } else {
    answer = m.files.find(file) ? 42 : ERROR_FILE_NOT_FOUND;  // a folder opens too
  }
  if (static_cast<std::int32_t>(answer) > 32) {
    m.launches.accepted.push_back({file, m.files.current_directory()});
  }
  return reinterpret_cast<HINSTANCE>(answer);
}

BOOL ExitWindowsEx(UINT flags, DWORD reason) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected =
      sim::log_call(sim::Op::ExitWindowsEx, std::to_string(flags) + " " + std::to_string(reason));
  ++sim::machine().restarts.requests;
  if (injected) return FALSE;
  return sim::machine().restarts.answer;
}

}  // namespace win
