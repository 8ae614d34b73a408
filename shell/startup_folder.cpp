// getStartupDir.
#include <cstring>

#include "bridge/results.h"
#include "method_table.h"
#include "platform/crt.h"
#include "platform/runtime_block.h"
#include "platform/unique_handle.h"
#include "platform/win.h"

namespace {

constexpr const char* shell_folders_key =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Switches the runtime to the user's default locale for the rest of the
// process (so that later link paths narrow with its code page too), then
// reads the folder's text in that locale and hands it over as UTF-16.
jstring startup_folder_to_java(JNIEnv* env, const char* text) {
  crt::setlocale(crt::locale_all, "");
  std::size_t length = std::strlen(text);
  auto units = platform::allocate<crt::wide_char>((length + 1) * sizeof(crt::wide_char));
  if (!units) return env->NewString(nullptr, 0);
  // Bounded whatever the locale, even one switched meanwhile: mbstowcs writes
  // at most the count it is given, the buffer's size, and every locale takes
  // at least one byte a unit, so the text and its NUL always fit.
  std::size_t count = crt::mbstowcs(units.get(), text, length + 1);
  // Text that the locale cannot read gives the empty string, not a length of -1.
  if (count == static_cast<std::size_t>(-1)) count = 0;
  return env->NewString(reinterpret_cast<const jchar*>(units.get()), static_cast<jsize>(count));
}

}  // namespace

// The current user's Startup folder, from the registry's Shell Folders key;
// the empty string when the key or its "Startup" value cannot be read.
jstring JNICALL Java_qav_Native_getStartupDir(JNIEnv* env, jobject) {
  // One byte beyond the 260 offered, so that a value with no NUL of its own
  // still ends within the buffer.
  char value[261];
  value[0] = '\0';
  platform::UniqueHandle<HKEY, &win::RegCloseKey> key;
  if (win::RegOpenKeyExA(HKEY_CURRENT_USER, shell_folders_key, 0, KEY_READ, key.put()) ==
      ERROR_SUCCESS) {
    DWORD type;
    DWORD size = 260;
    LSTATUS status = win::RegQueryValueExA(key.get(), "Startup", nullptr, &type,
                                           reinterpret_cast<LPBYTE>(value), &size);
    key.reset();
    if (status != ERROR_SUCCESS) return bridge::utf_result(env, "");
    value[size < 260 ? size : 260] = '\0';
  }
  return startup_folder_to_java(env, value);
}
