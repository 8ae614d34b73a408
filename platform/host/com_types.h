// The COM identities and the two shell-link interfaces for the host build,
// reduced to the methods the modules call. Each keeps the relative order its
// methods have in the Windows vtable, IUnknown's three first.
#pragma once

#include <cstring>

#include "platform/host/win_types.h"

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using OLECHAR = WCHAR;
using LPCOLESTR = const OLECHAR*;

inline bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

extern const CLSID CLSID_ShellLink;
extern const IID IID_IShellLinkA;
extern const IID IID_IPersistFile;

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct IShellLinkA : IUnknown {
  virtual HRESULT SetDescription(LPCSTR description) = 0;
  virtual HRESULT SetWorkingDirectory(LPCSTR directory) = 0;
  virtual HRESULT SetArguments(LPCSTR arguments) = 0;
  virtual HRESULT SetShowCmd(int show) = 0;
  virtual HRESULT SetIconLocation(LPCSTR iconPath, int index) = 0;
  virtual HRESULT SetPath(LPCSTR target) = 0;

 protected:
  ~IShellLinkA() = default;
};

// IPersist's GetClassID and IPersistFile's IsDirty and Load come before Save
// on Windows; the modules call none of them.
struct IPersistFile : IUnknown {
  virtual HRESULT Save(LPCOLESTR fileName, BOOL remember) = 0;

 protected:
  ~IPersistFile() = default;
};
