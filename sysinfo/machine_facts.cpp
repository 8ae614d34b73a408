// getComputerName, getRAM.
#include <cstdint>

#include "bridge/results.h"
#include "method_table.h"
#include "platform/win.h"

// The computer's name (at most 15 characters); null when the platform refuses it.
jstring JNICALL Java_qav_Native_getComputerName(JNIEnv* env, jobject) {
  char name[16];
  DWORD size = sizeof name;
  if (!win::GetComputerNameA(name, &size)) return nullptr;
  return bridge::utf_result(env, name);
}

// Total physical memory in bytes, the 32-bit count passed bit for bit (2 GiB
// and more read negative). Where the platform counts in 64 bits, a count
// beyond 32 bits gives 0xFFFFFFFF (-1), as a 32-bit process is told.
jint JNICALL Java_qav_Native_getRAM(JNIEnv*, jobject) {
  MEMORYSTATUS status{};
  win::GlobalMemoryStatus(&status);
  std::uint64_t total = status.dwTotalPhys;
  if (total > 0xFFFFFFFFu) total = 0xFFFFFFFFu;
  return static_cast<jint>(static_cast<DWORD>(total));
}
