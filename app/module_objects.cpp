// The module's two process-wide objects, defined in this one file so that the
// language fixes their order: theApp is constructed first and destroyed last,
// after theRegKey has closed whatever it still holds.
#include "app/native_app.h"
#include "registry/the_reg_key.h"

platform::Lock registry::the_reg_key_lock;
CNativeApp theApp;
CRegistryKey theRegKey;
