#include "shell/shell_link.h"

#include "platform/unique_handle.h"
#include "platform/win.h"

namespace shell {

namespace {

template <typename Interface>
void release_interface(Interface* object) noexcept {
  object->Release();
}

template <typename Interface>
using ComPointer = platform::UniqueHandle<Interface*, &release_interface<Interface>>;

}  // namespace

bool save_shell_link(const char* link_path, const ShellLinkFields& fields) noexcept {
  // A thread already in another apartment refuses; the shell link works there too.
  win::CoInitialize(nullptr);

  ComPointer<IShellLinkA> link;
  if (win::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                            reinterpret_cast<LPVOID*>(link.put())) != S_OK) {
    return false;
  }
  ComPointer<IPersistFile> file;
  if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put())) != S_OK) {
    return false;
  }

  // The setters' answers are not examined: whatever they refuse, the save goes on.
  link->SetPath(fields.target);
  link->SetDescription(fields.description);
  link->SetWorkingDirectory(fields.working_directory);
  link->SetArguments(fields.arguments);
  link->SetShowCmd(fields.show_command);
  if (fields.icon[0] != '\0') link->SetIconLocation(fields.icon, 0);

  WCHAR wide_path[MAX_PATH];
  // A name that does not fit is refused here rather than saved cut or unterminated.
  bool saved = win::MultiByteToWideChar(CP_ACP, 0, link_path, -1, wide_path, MAX_PATH) > 0 &&
               file->Save(wide_path, TRUE) >= 0;
  file.reset();
  link.reset();
  return saved;
}

}  // namespace shell
