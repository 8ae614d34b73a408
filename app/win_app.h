// The least of an application framework that the module's lifetime needs:
// an application object the module entry initialises and ends, and the
// framework's record of which object is the module's current application.
#pragma once

#include "platform/win.h"

class CWinApp {
 public:
  // Records the new object as the module's current application object.
  explicit CWinApp(LPCSTR appName = nullptr) noexcept;
  // Clears that record (handing it back to any object recorded before).
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // True lets the load go on.
  virtual BOOL InitInstance();
  // The exit code: the parameter of the last quit message the object's
  // message loop received. No message loop runs in a library, so it stays 0;
  // nor are there profile settings to save or hooks to call.
  virtual int ExitInstance();

  LPCSTR m_pszAppName;
  HINSTANCE m_hInstance = nullptr;

 protected:
  int m_exitCode = 0;

 private:
  CWinApp* previous_;
};

// The module's current application object, or null.
CWinApp* AfxGetApp() noexcept;

// Sets up the framework's per-module state and hands the instance to the
// current application object. Also adds SEM_FAILCRITICALERRORS and
// SEM_NOOPENFILEERRORBOX to the process's error mode, for good, so that a
// drive without a medium answers with an error code instead of a dialog box.
BOOL AfxWinInit(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) noexcept;
// Ends the framework's per-module work.
void AfxWinTerm() noexcept;
// Whether AfxWinInit has run and AfxWinTerm has not.
bool AfxWinInitialised() noexcept;
