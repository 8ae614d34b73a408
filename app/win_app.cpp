#include "app/win_app.h"

namespace {

struct ModuleState {
  CWinApp* current_app = nullptr;
  HINSTANCE instance = nullptr;
  bool initialised = false;
};

// Constant-initialised, so it is ready before any static constructor runs.
ModuleState module_state;

}  // namespace

CWinApp::CWinApp(LPCSTR appName) noexcept
    : m_pszAppName(appName), previous_(module_state.current_app) {
  module_state.current_app = this;
}

CWinApp::~CWinApp() {
  if (module_state.current_app == this) module_state.current_app = previous_;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

CWinApp* AfxGetApp() noexcept { return module_state.current_app; }

BOOL AfxWinInit(HINSTANCE instance, HINSTANCE, LPSTR, int) noexcept {
  // Read the mode in force by setting one, then put it back with the two flags.
  UINT mode = win::SetErrorMode(0);
  win::SetErrorMode(mode | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  module_state.instance = instance;
  if (CWinApp* app = AfxGetApp()) app->m_hInstance = instance;
  module_state.initialised = true;
  return TRUE;
}

void AfxWinTerm() noexcept { module_state.initialised = false; }

bool AfxWinInitialised() noexcept { return module_state.initialised; }
