// The one seam between the modules and Windows.
//
// Modules call Windows through win:: and read its types and constants by their
// Windows names. On Windows these are the system's own declarations, so the
// calls cost nothing; on the host they are our declarations of the same
// operations, answered by the simulated machine (platform/sim).
#pragma once

#include "platform/operations.h"

#ifdef _WIN32

#include <intrin.h>
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlguid.h>
#include <shobjidl.h>

#include <cstdint>

namespace win {
#define ZOZUDU_WIN_USING_call(name) using ::name;
#define ZOZUDU_WIN_USING_inline(name)
#define ZOZUDU_WIN_USING_method(name)
#define ZOZUDU_WIN_USING(name, kind, failure) ZOZUDU_WIN_USING_##kind(name)
ZOZUDU_WIN_OPERATIONS(ZOZUDU_WIN_USING)
#undef ZOZUDU_WIN_USING
#undef ZOZUDU_WIN_USING_call
#undef ZOZUDU_WIN_USING_inline
#undef ZOZUDU_WIN_USING_method

// The processor's cycle count since reset: one instruction, no system call.
inline std::uint64_t read_time_stamp_counter() { return __rdtsc(); }
}  // namespace win

#else

#include "platform/host/com_types.h"
#include "platform/host/win_types.h"

namespace win {
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int bytes, LPWSTR wide, int units);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        INT show);
BOOL ExitWindowsEx(UINT flags, DWORD reason);

UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);

LSTATUS RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LSTATUS RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                         LPDWORD size);
LSTATUS RegCloseKey(HKEY key);

BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
void GlobalMemoryStatus(LPMEMORYSTATUS status);
int GetSystemMetrics(int index);
HDC GetDC(HWND window);
int GetDeviceCaps(HDC dc, int index);
int ReleaseDC(HWND window, HDC dc);
BOOL EnumDisplaySettingsA(LPCSTR device, DWORD mode, DEVMODEA* record);

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
std::uint64_t read_time_stamp_counter();

DWORD GetLogicalDrives();
DWORD GetLogicalDriveStringsA(DWORD length, LPSTR buffer);
UINT GetDriveTypeA(LPCSTR root);
BOOL GetDiskFreeSpaceExA(LPCSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                         PULARGE_INTEGER totalFreeBytes);
HANDLE FindFirstFileA(LPCSTR name, LPWIN32_FIND_DATAA findData);
BOOL FindClose(HANDLE find);

LSTATUS RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR className, DWORD options,
                        REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                        LPDWORD disposition);
LSTATUS RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                       DWORD size);
LSTATUS RegDeleteValueA(HKEY key, LPCSTR valueName);
LSTATUS RegDeleteKeyA(HKEY key, LPCSTR subKey);

UINT SetErrorMode(UINT mode);
}  // namespace win

// Every function row of the table has its declaration above.
#define ZOZUDU_WIN_DECLARED_call(name) static_assert(sizeof(&win::name) != 0, #name);
#define ZOZUDU_WIN_DECLARED_inline(name) ZOZUDU_WIN_DECLARED_call(name)
#define ZOZUDU_WIN_DECLARED_method(name)
#define ZOZUDU_WIN_DECLARED(name, kind, failure) ZOZUDU_WIN_DECLARED_##kind(name)
ZOZUDU_WIN_OPERATIONS(ZOZUDU_WIN_DECLARED)
#undef ZOZUDU_WIN_DECLARED
#undef ZOZUDU_WIN_DECLARED_call
#undef ZOZUDU_WIN_DECLARED_inline
#undef ZOZUDU_WIN_DECLARED_method

#endif
