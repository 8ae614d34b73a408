// What a call into the module must leave behind, whatever happened in it:
// nothing borrowed, nothing open on the simulated machine, theRegKey empty,
// and the process's current directory and locale where they were unless
// moving them is the method's purpose. Shared by the fault sweep and the
// fuzz target, so that both hold every call to the same account.
#pragma once

#include <string>
#include <vector>

#include "fake_jni.h"
#include "platform/sim/machine.h"
#include "registry/the_reg_key.h"

namespace testing_support {

struct Purpose {
  bool moves_current_directory = false;  // chdir, when it succeeded
  bool switches_locale = false;          // getStartupDir
};

// One readable line per thing left behind; empty when the call was clean.
inline std::vector<std::string> leftovers(const fakejni::Env& java, const sim::Holdings& before,
                                          Purpose purpose = {}) {
  std::vector<std::string> found;
  for (const auto& fault : java.faults()) found.push_back("JNI misuse: " + fault);
  if (java.outstanding() != 0) {
    found.push_back(std::to_string(java.outstanding()) + " borrow(s) kept");
  }
  const sim::Holdings after = sim::holdings();
  auto count = [&](int n, const char* what) {
    if (n != 0) found.push_back(std::to_string(n) + " " + what);
  };
  count(after.registry_keys, "registry key(s) open");
  count(after.find_handles, "find handle(s) open");
  count(after.device_contexts, "device context(s) not released");
  count(after.com_objects, "COM object(s) alive");
  count(after.runtime_blocks, "runtime block(s) not freed");
  if (theRegKey.m_hKey) found.push_back("theRegKey still holds a key");
  if (after.current_directory != before.current_directory && !purpose.moves_current_directory) {
    found.push_back("current directory moved to " + after.current_directory);
  }
  if (after.user_locale != before.user_locale && !purpose.switches_locale) {
    found.push_back("the C locale was switched");
  }
  return found;
}

}  // namespace testing_support
