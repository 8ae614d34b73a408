// The system's entry into the DLL. The C runtime's start-up wraps it: static
// constructors run before the load reaches here, the exit list after the
// unload has returned.
#ifdef _WIN32

#include "app/module_entry.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  return app::module_entry(instance, reason);
}

#endif
