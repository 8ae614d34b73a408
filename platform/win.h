// The one seam between the modules and Windows.
//
// Modules call Windows through win:: and read its types and constants by their
// Windows names. On Windows these are the system's own declarations, so the
// calls cost nothing; on the host they are our declarations of the same
// operations, answered by the simulated machine (platform/sim).
#pragma once

#ifdef _WIN32

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shobjidl.h>

namespace win {
using ::CoCreateInstance;
using ::CoInitialize;
using ::ExitWindowsEx;
using ::MultiByteToWideChar;
using ::ShellExecuteA;
using ::GetCurrentDirectoryA;
using ::GetShortPathNameA;
using ::GetSystemDirectoryA;
using ::GetWindowsDirectoryA;
using ::RegCloseKey;
using ::RegCreateKeyExA;
using ::RegDeleteKeyA;
using ::RegDeleteValueA;
using ::RegOpenKeyExA;
using ::RegQueryValueExA;
using ::RegSetValueExA;
using ::SetErrorMode;
}  // namespace win

#else

#include "platform/host/com_types.h"
#include "platform/host/win_types.h"

namespace win {
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide,
                        int units);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                        LPCSTR directory, INT show);
BOOL ExitWindowsEx(UINT flags, DWORD reason);

UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);

LSTATUS RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size);
LSTATUS RegCloseKey(HKEY key);
LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);

UINT SetErrorMode(UINT mode);
}  // namespace win

#endif
