#include "app/module_entry.h"

#include "app/win_app.h"

namespace app {

namespace {

BOOL load(HINSTANCE instance) noexcept {
  char no_command_line[] = "";
  if (!AfxWinInit(instance, nullptr, no_command_line, 0)) {
    AfxWinTerm();
    return FALSE;
  }
  if (CWinApp* application = AfxGetApp()) {
    if (!application->InitInstance()) {
      application->ExitInstance();
      AfxWinTerm();
      return FALSE;
    }
  }
  return TRUE;
}

BOOL unload() noexcept {
  if (CWinApp* application = AfxGetApp()) application->ExitInstance();
  AfxWinTerm();
  return TRUE;
}

}  // namespace

BOOL module_entry(HINSTANCE instance, DWORD reason) noexcept {
  switch (reason) {
    case DLL_PROCESS_ATTACH: return load(instance);
    case DLL_PROCESS_DETACH: return unload();
    // Our framework keeps no per-thread state (no temporary object maps), so
    // a thread that starts or ends has nothing to set up or free.
    case DLL_THREAD_ATTACH:
    case DLL_THREAD_DETACH:
    default: return TRUE;
  }
}

}  // namespace app
