// Every Windows and C-runtime operation the modules call, in one table.
//
// X(name, kind, failure): `kind` says how the seam reaches it on Windows —
// `call` is the system's own function (`using ::name;`), `inline` a helper
// of ours in the seam header, `method` a method of a COM interface
// (Interface_Method). `failure` is how that operation reports failing, the
// way Windows or its runtime does; the simulation answers exactly that when
// a test makes the operation fail.
//
// win.h and crt.h make their `using` lists from this table, and the
// simulation its operation enum, names, fault switch and call log, so a
// fault can only name an operation that exists and a sweep can fail each one.
#pragma once

#define ZOZUDU_WIN_OPERATIONS(X)                                                                 \
  X(CoCreateInstance, call, "a failure HRESULT (REGDB_E_CLASSNOTREG) and a null object")         \
  X(CoInitialize, call, "a failure HRESULT (E_FAIL)")                                            \
  X(EnumDisplaySettingsA, call, "FALSE")                                                         \
  X(ExitWindowsEx, call, "FALSE")                                                                \
  X(FindClose, call, "FALSE (the handle is gone all the same)")                                  \
  X(FindFirstFileA, call, "INVALID_HANDLE_VALUE")                                                \
  X(GetComputerNameA, call, "FALSE")                                                             \
  X(GetCurrentDirectoryA, call, "0, nothing written")                                            \
  X(GetDC, call, "NULL")                                                                         \
  X(GetDeviceCaps, call, "0")                                                                    \
  X(GetDiskFreeSpaceExA, call, "FALSE")                                                          \
  X(GetDriveTypeA, call, "DRIVE_UNKNOWN (or the staged DRIVE_NO_ROOT_DIR)")                      \
  X(GetLogicalDriveStringsA, call, "0")                                                          \
  X(GetLogicalDrives, call, "0")                                                                 \
  X(GetShortPathNameA, call, "0")                                                                \
  X(GetSystemDirectoryA, call, "0")                                                              \
  X(GetSystemMetrics, call, "0")                                                                 \
  X(GetWindowsDirectoryA, call, "0")                                                             \
  X(GlobalMemoryStatus, call, "no failure return: the record comes back all zeros")              \
  X(MultiByteToWideChar, call, "0")                                                              \
  X(QueryPerformanceCounter, call, "FALSE, nothing written")                                     \
  X(QueryPerformanceFrequency, call, "FALSE, nothing written")                                   \
  X(RegCloseKey, call, "an error status (the handle is gone all the same)")                      \
  X(RegCreateKeyExA, call, "an error status (ERROR_ACCESS_DENIED), no key")                      \
  X(RegDeleteKeyA, call, "an error status (ERROR_ACCESS_DENIED)")                                \
  X(RegDeleteValueA, call, "an error status (ERROR_ACCESS_DENIED)")                              \
  X(RegOpenKeyExA, call, "an error status (ERROR_ACCESS_DENIED), no key")                        \
  X(RegQueryValueExA, call, "an error status (ERROR_FILE_NOT_FOUND)")                            \
  X(RegSetValueExA, call, "an error status (ERROR_ACCESS_DENIED)")                               \
  X(ReleaseDC, call, "0 (the device context is gone all the same)")                              \
  X(SetErrorMode, call, "no failure return: the mode unchanged, 0 as the previous mode")         \
  X(ShellExecuteA, call, "a code of 32 or below (0)")                                            \
  X(read_time_stamp_counter, inline, "no failure return: a bogus stamp (0 or the staged value)") \
  X(IShellLinkA_QueryInterface, method, "a failure HRESULT (E_NOINTERFACE) and a null object")   \
  X(IShellLinkA_Release, method, "no failure return: a meaningless count (0)")                   \
  X(IShellLinkA_SetArguments, method, "a failure HRESULT (E_FAIL)")                              \
  X(IShellLinkA_SetDescription, method, "a failure HRESULT (E_FAIL)")                            \
  X(IShellLinkA_SetIconLocation, method, "a failure HRESULT (E_FAIL)")                           \
  X(IShellLinkA_SetPath, method, "a failure HRESULT (E_FAIL)")                                   \
  X(IShellLinkA_SetShowCmd, method, "a failure HRESULT (E_FAIL)")                                \
  X(IShellLinkA_SetWorkingDirectory, method, "a failure HRESULT (E_FAIL)")                       \
  X(IPersistFile_QueryInterface, method, "a failure HRESULT (E_NOINTERFACE) and a null object")  \
  X(IPersistFile_Release, method, "no failure return: a meaningless count (0)")                  \
  X(IPersistFile_Save, method, "a failure HRESULT (E_FAIL), no file")

#define ZOZUDU_CRT_OPERATIONS(X)                                \
  X(_chdir, call, "-1, the directory unchanged")                \
  X(free, call, "no failure return: the block stays allocated") \
  X(malloc, call, "NULL")                                       \
  X(mbstowcs, call, "(size_t)-1")                               \
  X(setlocale, call, "NULL, the locale unchanged")              \
  X(strtoul, call, "0, no digits read")                         \
  X(wctomb, call, "-1")                                         \
  X(strdup, inline, "NULL")
