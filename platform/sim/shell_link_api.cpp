// COM and the shell-link object over the simulated machine: the object
// records what it is given and its Save writes a file into the file tree.
#include <cstdio>

#include "platform/sim/code_page.h"
#include "platform/sim/machine.h"
#include "platform/win.h"

const CLSID CLSID_ShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

std::string name_of(const GUID& id) {
  if (id == CLSID_ShellLink) return "CLSID_ShellLink";
  if (id == IID_IShellLinkA) return "IID_IShellLinkA";
  if (id == IID_IPersistFile) return "IID_IPersistFile";
  if (id == IID_IUnknown) return "IID_IUnknown";
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-...}", static_cast<unsigned>(id.Data1),
                static_cast<unsigned>(id.Data2), static_cast<unsigned>(id.Data3));
  return text;
}

std::string quoted(const char* text) { return text ? "\"" + std::string(text) + "\"" : "null"; }

// A staged failure's HRESULT; a success code (S_OK, S_FALSE) would be no
// failure at all, so it gives the call's usual failure.
HRESULT failure_or(long staged, HRESULT usual) {
  auto status = static_cast<HRESULT>(staged);
  return status < 0 ? status : usual;
}

std::string parent_of(const std::string& full_path) {
  auto slash = full_path.rfind('\\');
  if (slash == std::string::npos) return "";
  return full_path.substr(0, slash == 2 ? 3 : slash);  // "C:\" for a file in a root
}

class ShellLink;

class PersistFile final : public IPersistFile {
 public:
  explicit PersistFile(ShellLink& link) : link_(link) {}
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT Save(LPCOLESTR fileName, BOOL remember) override;

 private:
  ShellLink& link_;
};

// One object behind both interfaces, with one reference count, as COM's shell link has.
class ShellLink final : public IShellLinkA {
 public:
  ShellLink() : persist_(*this) { ++sim::machine().shell_links.live_objects; }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    return faulty_query(sim::Op::IShellLinkA_QueryInterface, iid, object);
  }
  ULONG AddRef() override {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    return ++references_;
  }
  ULONG Release() override {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    bool injected = sim::log_call(sim::Op::IShellLinkA_Release);
    ULONG left = drop();
    return injected ? 0 : left;
  }

  HRESULT SetDescription(LPCSTR description) override {
    return set(sim::Op::IShellLinkA_SetDescription, description, fields_.description);
  }
  HRESULT SetWorkingDirectory(LPCSTR directory) override {
    return set(sim::Op::IShellLinkA_SetWorkingDirectory, directory, fields_.working_directory);
  }
  HRESULT SetArguments(LPCSTR arguments) override {
    return set(sim::Op::IShellLinkA_SetArguments, arguments, fields_.arguments);
  }
  HRESULT SetShowCmd(int show) override {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    long status = 0;
    if (sim::log_call(sim::Op::IShellLinkA_SetShowCmd, std::to_string(show), &status)) {
      return failure_or(status, E_FAIL);
    }
    fields_.show_command = show;
    return S_OK;
  }
  HRESULT SetIconLocation(LPCSTR icon, int index) override {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    long status = 0;
    if (sim::log_call(sim::Op::IShellLinkA_SetIconLocation,
                      quoted(icon) + " " + std::to_string(index), &status)) {
      return failure_or(status, E_FAIL);
    }
    fields_.icon = icon;
    fields_.icon_index = index;
    fields_.icon_set = true;
    return S_OK;
  }
  HRESULT SetPath(LPCSTR target) override {
    return set(sim::Op::IShellLinkA_SetPath, target, fields_.target);
  }

  // A failed query hands out no object, whatever status was staged.
  HRESULT faulty_query(sim::Op op, REFIID iid, void** object) {
    long status = 0;
    if (sim::log_call(op, name_of(iid), &status)) {
      *object = nullptr;
      return failure_or(status, E_NOINTERFACE);
    }
    return query(iid, object);
  }
  HRESULT query(REFIID iid, void** object) {
    if (iid == IID_IUnknown || iid == IID_IShellLinkA) {
      *object = static_cast<IShellLinkA*>(this);
    } else if (iid == IID_IPersistFile) {
      *object = static_cast<IPersistFile*>(&persist_);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    ++references_;
    return S_OK;
  }
  ULONG drop() {
    ULONG left = --references_;
    if (left == 0) {
      --sim::machine().shell_links.live_objects;
      delete this;
    }
    return left;
  }
  ULONG add_reference() { return ++references_; }
  const sim::ShellLinkFields& fields() const { return fields_; }

 private:
  ~ShellLink() = default;

  HRESULT set(sim::Op setter, LPCSTR text, std::string& field) {
    std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
    long status = 0;
    if (sim::log_call(setter, quoted(text), &status)) return failure_or(status, E_FAIL);
    field = text;
    return S_OK;
  }

  ULONG references_ = 1;
  sim::ShellLinkFields fields_;
  PersistFile persist_;
};

HRESULT PersistFile::QueryInterface(REFIID iid, void** object) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  return link_.faulty_query(sim::Op::IPersistFile_QueryInterface, iid, object);
}

ULONG PersistFile::AddRef() {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  return link_.add_reference();
}

ULONG PersistFile::Release() {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  bool injected = sim::log_call(sim::Op::IPersistFile_Release);
  ULONG left = link_.drop();
  return injected ? 0 : left;
}

HRESULT PersistFile::Save(LPCOLESTR fileName, BOOL remember) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  std::u16string wide = fileName ? std::u16string(fileName) : std::u16string();
  long status = 0;
  if (sim::log_call(sim::Op::IPersistFile_Save,
                    "\"" + sim::to_utf8(wide) + "\" " + std::to_string(remember), &status)) {
    return failure_or(status, E_FAIL);
  }
  auto& files = sim::machine().files;
  std::string path = files.full_path(sim::to_ansi(wide));
  if (path.empty() || !files.is_directory(parent_of(path))) {
    return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
  }
  if (files.is_directory(path)) return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
  const auto& f = link_.fields();
  files.add_file(path, FILE_ATTRIBUTE_ARCHIVE,
                 "[shell link]\ntarget=" + f.target + "\ndescription=" + f.description +
                     "\nworking directory=" + f.working_directory + "\narguments=" + f.arguments +
                     "\nicon=" + f.icon + "\nshow=" + std::to_string(f.show_command) + "\n");
  sim::machine().shell_links.saved.push_back({wide, path, f, remember});
  return sim::machine().shell_links.save_answer;
}

}  // namespace

namespace win {

HRESULT CoInitialize(LPVOID reserved) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  if (sim::log_call(sim::Op::CoInitialize, reserved ? "pointer" : "null", &status)) {
    return failure_or(status, E_FAIL);
  }
  return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object) {
  std::lock_guard<std::recursive_mutex> hold(sim::machine_lock());
  long status = 0;
  bool injected = sim::log_call(sim::Op::CoCreateInstance,
                                name_of(clsid) + " " + (outer ? "outer" : "null") + " " +
                                    std::to_string(context) + " " + name_of(iid),
                                &status);
  *object = nullptr;
  if (injected) return failure_or(status, REGDB_E_CLASSNOTREG);
  if (!(clsid == CLSID_ShellLink)) return REGDB_E_CLASSNOTREG;
  auto* link = new ShellLink;
  HRESULT answer = link->query(iid, object);
  link->drop();
  // A success other than S_OK, when staged, comes with the object, as COM allows.
  if (answer == S_OK) answer = sim::machine().shell_links.create_answer;
  return answer;
}

}  // namespace win
