// What the simulated machine holds before a test stages anything: a small
// but complete Windows installation, so that the host library answers every
// method sensibly when a real JVM calls it.
#include "platform/sim/machine.h"

namespace sim {

void stage_default(Machine& m) {
  m.files.add_directory("C:\\WINDOWS\\system32");
  m.files.add_directory("C:\\Program Files", "PROGRA~1");
  m.files.add_directory("C:\\Documents and Settings\\user\\Start Menu\\Programs\\Startup");
  m.files.add_directory("C:\\TEMP");
  m.registry.set_text(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Startup",
                      "C:\\Documents and Settings\\user\\Start Menu\\Programs\\Startup");
}

}  // namespace sim
