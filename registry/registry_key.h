// A holder of at most one open registry key, over the five registry calls
// the module makes on such a key. Every operation hands back the platform's
// status unchanged.
#pragma once

#include "platform/win.h"

class CRegistryKey {
 public:
  CRegistryKey() noexcept = default;
  ~CRegistryKey();
  CRegistryKey(const CRegistryKey&) = delete;
  CRegistryKey& operator=(const CRegistryKey&) = delete;

  // Closes the held key, if any, and forgets it even when the close fails,
  // so that no handle is closed twice. ERROR_SUCCESS when none was held.
  LONG Close() noexcept;

  // Opens (or creates) the new key first and only then closes the one held
  // so far: on failure the held key stays held and open, and the result is
  // the open's status; on success the result is the status of that close.
  LONG Open(HKEY parent, LPCSTR subKey, REGSAM access) noexcept;
  LONG Create(HKEY parent, LPCSTR subKey, LPSTR className, DWORD options, REGSAM access,
              LPSECURITY_ATTRIBUTES security, LPDWORD disposition) noexcept;

  // Copies the value's raw bytes, whatever its type, and adds no NUL;
  // `count` carries the buffer's size in and the platform's byte count out.
  LONG QueryValue(LPSTR buffer, LPCSTR valueName, DWORD* count) noexcept;

  // The value first, its name second. The number is written as REG_DWORD,
  // the text as REG_SZ with its NUL.
  LONG SetValue(DWORD number, LPCSTR valueName) noexcept;
  LONG SetValue(LPCSTR text, LPCSTR valueName) noexcept;

  // The held key, null while none is held. Users may pass it to registry
  // calls of their own; only the holder closes it.
  HKEY m_hKey = nullptr;

 private:
  LONG hold(HKEY opened) noexcept;
};
