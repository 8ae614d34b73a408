#include "registry/registry_key.h"

#include <cstring>

CRegistryKey::~CRegistryKey() { Close(); }

LONG CRegistryKey::Close() noexcept {
  if (!m_hKey) return ERROR_SUCCESS;
  LONG status = win::RegCloseKey(m_hKey);
  m_hKey = nullptr;
  return status;
}

LONG CRegistryKey::hold(HKEY opened) noexcept {
  LONG status = Close();
  m_hKey = opened;
  return status;
}

LONG CRegistryKey::Open(HKEY parent, LPCSTR subKey, REGSAM access) noexcept {
  HKEY opened = nullptr;
  LONG status = win::RegOpenKeyExA(parent, subKey, 0, access, &opened);
  if (status != ERROR_SUCCESS) return status;
  return hold(opened);
}

LONG CRegistryKey::Create(HKEY parent, LPCSTR subKey, LPSTR className, DWORD options, REGSAM access,
                          LPSECURITY_ATTRIBUTES security, LPDWORD disposition) noexcept {
  HKEY created = nullptr;
  DWORD reported = 0;
  LONG status = win::RegCreateKeyExA(parent, subKey, 0, className, options, access, security,
                                     &created, &reported);
  if (disposition) *disposition = reported;
  if (status != ERROR_SUCCESS) return status;
  return hold(created);
}

LONG CRegistryKey::QueryValue(LPSTR buffer, LPCSTR valueName, DWORD* count) noexcept {
  DWORD type = 0;
  return win::RegQueryValueExA(m_hKey, valueName, nullptr, &type, reinterpret_cast<LPBYTE>(buffer),
                               count);
}

LONG CRegistryKey::SetValue(DWORD number, LPCSTR valueName) noexcept {
  BYTE bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<BYTE>(number >> (8 * i));
  return win::RegSetValueExA(m_hKey, valueName, 0, REG_DWORD, bytes, sizeof bytes);
}

LONG CRegistryKey::SetValue(LPCSTR text, LPCSTR valueName) noexcept {
  return win::RegSetValueExA(m_hKey, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>(std::strlen(text) + 1));
}
