// What the simulated machine holds before a test stages anything: a small
// but complete Windows installation, so that the host library answers every
// method sensibly when a real JVM calls it.
#include "platform/sim/machine.h"

namespace sim {

void stage_default(Machine& m) {
  add_drive(m, 'A', DRIVE_REMOVABLE, false);
  Drive& c = add_drive(m, 'C', DRIVE_FIXED);
  c.free_bytes = c.free_to_caller = 8000000000ull;
  c.total_bytes = 20000000000ull;
  add_drive(m, 'D', DRIVE_CDROM, false);
  m.display.modes = {{640, 480, 32}, {800, 600, 32}, {1024, 768, 32}};
  m.registry.set_text(HKEY_LOCAL_MACHINE, "Hardware\\Description\\System\\CentralProcessor\\0",
                      "Identifier", "x86 Family 6 Model 15 Stepping 11");
  m.files.add_directory("C:\\WINDOWS\\system32");
  m.files.add_directory("C:\\Program Files", "PROGRA~1");
  m.files.add_directory("C:\\Documents and Settings\\user\\Start Menu\\Programs\\Startup");
  m.files.add_directory("C:\\TEMP");
  m.registry.set_text(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                      "Startup", "C:\\Documents and Settings\\user\\Start Menu\\Programs\\Startup");
}

}  // namespace sim
