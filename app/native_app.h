// The module's application class: the framework's application, with
// nothing of its own.
#pragma once

#include "app/win_app.h"

class CNativeApp : public CWinApp {
 public:
  CNativeApp() noexcept : CWinApp(nullptr) {}
  ~CNativeApp() override = default;
};

extern CNativeApp theApp;
