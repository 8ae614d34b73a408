// Writing a shortcut file through the COM shell-link object. Knows nothing of Java.
#pragma once

namespace shell {

struct ShellLinkFields {
  const char* target;
  const char* description;
  const char* working_directory;
  const char* arguments;
  const char* icon;  // empty: no icon location is set
  int show_command;
};

// Initialises COM on the calling thread (left so: later calls only add to
// its count), sets the fields on a fresh shell link and saves it under
// `link_path`, widened in the ANSI code page. True only when Save succeeded;
// a path whose wide form does not fit the 260-unit name is not saved at all.
bool save_shell_link(const char* link_path, const ShellLinkFields& fields) noexcept;

}  // namespace shell
