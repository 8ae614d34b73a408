// Benchmark, not a test: what a call through the DLL costs beyond the
// platform work it does. For each cheap method, its exported entry point
// (found by name, as the JVM finds it) is timed against the same platform
// calls, and the same JNI string calls, made directly by this program. Rounds
// interleave the two sides, alternating which goes first, so that drift in
// the machine's speed falls on both; the table gives the medians in ns per
// call and the median of each round's difference.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fake_jni.h"
#include "native_module.h"

namespace {

// What one call needs: the environment and a drive root argument.
struct Context {
  JNIEnv* env;
  jstring root;
};

// --- Directly: the platform calls each method makes, in this program ---

// Each is a real call (neither inlined nor its result assumed), as a program's own
// helper would be; the result goes to a sink so that nothing is optimised away.
#define DIRECT __attribute__((noipa)) std::intptr_t

// desWin makes no platform call: the direct side is an empty call.
DIRECT direct_nothing(const Context&) { return 0; }

DIRECT direct_screen_x(const Context&) { return GetSystemMetrics(SM_CXSCREEN); }

DIRECT direct_screen_y(const Context&) { return GetSystemMetrics(SM_CYSCREEN); }

DIRECT direct_color_bits(const Context&) {
  HDC dc = GetDC(nullptr);
  if (!dc) return 0;
  int bits = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
  return bits;
}

DIRECT direct_logical_drives(const Context&) { return GetLogicalDrives(); }

DIRECT direct_ram(const Context&) {
  MEMORYSTATUS status{};
  GlobalMemoryStatus(&status);
  return static_cast<std::intptr_t>(status.dwTotalPhys);
}

DIRECT direct_drive_type(const Context& c) {
  const char* root = c.env->GetStringUTFChars(c.root, nullptr);
  UINT code = GetDriveTypeA(root);
  c.env->ReleaseStringUTFChars(c.root, root);
  return (std::intptr_t)c.env->NewStringUTF(code == DRIVE_FIXED ? "Hard Disk" : "Unknown");
}

DIRECT direct_is_hd(const Context& c) {
  const char* root = c.env->GetStringUTFChars(c.root, nullptr);
  UINT code = GetDriveTypeA(root);
  c.env->ReleaseStringUTFChars(c.root, root);
  return code == DRIVE_FIXED;
}

DIRECT direct_current_dir(const Context& c) {
  char directory[100];
  directory[0] = '\0';
  GetCurrentDirectoryA(99, directory);
  return (std::intptr_t)c.env->NewStringUTF(directory);
}

DIRECT direct_computer_name(const Context& c) {
  char name[16];
  DWORD size = 16;
  if (!GetComputerNameA(name, &size)) return 0;
  return (std::intptr_t)c.env->NewStringUTF(name);
}

volatile std::intptr_t sink;
std::int64_t counter_now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double counter_ns() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1e9 / static_cast<double>(frequency.QuadPart);
}

// A fake JNI environment keeps every string it made and logs every call, so
// each batch gets a fresh one, made and destroyed outside the timing.
struct Batch {
  fakejni::Env java;
  Context context{java.jni(), java.make_utf8("C:\\", "root")};
};

// ns per call of `calls` calls of `call`, one batch.
template <typename Call>
double time_batch(Call call, int calls) {
  Batch batch;
  const Context& c = batch.context;
  std::intptr_t total = 0;
  std::int64_t start = counter_now();
  for (int i = 0; i < calls; ++i) total += call(c);
  std::int64_t stop = counter_now();
  sink = total;
  return static_cast<double>(stop - start) * counter_ns() / calls;
}

// The DLL side: the entry point called through its own prototype, as the JVM calls it.
template <typename R>
double dll_batch_no_argument(FARPROC entry, int calls) {
  auto method = reinterpret_cast<R(JNICALL*)(JNIEnv*, jobject)>(reinterpret_cast<void*>(entry));
  return time_batch([method](const Context& c) { return (std::intptr_t)method(c.env, nullptr); },
                    calls);
}

template <typename R>
double dll_batch_root_argument(FARPROC entry, int calls) {
  auto method =
      reinterpret_cast<R(JNICALL*)(JNIEnv*, jobject, jstring)>(reinterpret_cast<void*>(entry));
  return time_batch(
      [method](const Context& c) { return (std::intptr_t)method(c.env, nullptr, c.root); }, calls);
}

// The direct side: this program's own function making the same calls.
template <std::intptr_t (*Direct)(const Context&)>
double direct_batch(FARPROC, int calls) {
  return time_batch([](const Context& c) { return Direct(c); }, calls);
}

using Timer = double (*)(FARPROC entry, int calls);

struct Case {
  const char* method;
  Timer through_dll;
  Timer direct;
  const char* direct_calls;
};

const Case cases[] = {
    {"desWin", dll_batch_no_argument<jint>, direct_batch<direct_nothing>, "(none)"},
    {"getScreenX", dll_batch_no_argument<jint>, direct_batch<direct_screen_x>, "GetSystemMetrics"},
    {"getScreenY", dll_batch_no_argument<jint>, direct_batch<direct_screen_y>, "GetSystemMetrics"},
    {"getColorBits", dll_batch_no_argument<jint>, direct_batch<direct_color_bits>,
     "GetDC GetDeviceCaps ReleaseDC"},
    {"getLogicalDrives", dll_batch_no_argument<jint>, direct_batch<direct_logical_drives>,
     "GetLogicalDrives"},
    {"getRAM", dll_batch_no_argument<jint>, direct_batch<direct_ram>, "GlobalMemoryStatus"},
    {"getDriveType", dll_batch_root_argument<jstring>, direct_batch<direct_drive_type>,
     "borrow GetDriveTypeA release NewStringUTF"},
    {"isHD", dll_batch_root_argument<jboolean>, direct_batch<direct_is_hd>,
     "borrow GetDriveTypeA release"},
    {"getCurrentDir", dll_batch_no_argument<jstring>, direct_batch<direct_current_dir>,
     "GetCurrentDirectoryA NewStringUTF"},
    {"getComputerName", dll_batch_no_argument<jstring>, direct_batch<direct_computer_name>,
     "GetComputerNameA NewStringUTF"},
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dll = argc > 1 ? argv[1] : "zozudu.dll";
  int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 31;
  double batch_ms = argc > 3 ? std::atof(argv[3]) : 2.0;
  testhost::NativeModule module(dll);
  if (!module.loaded()) {
    std::printf("call overhead bench: cannot load %s (error %lu)\n", dll.c_str(), GetLastError());
    return 1;
  }
  std::printf("%s, %d-bit: median ns per call over %d interleaved rounds of about %.1f ms\n",
              dll.c_str(), static_cast<int>(8 * sizeof(void*)), rounds, batch_ms);
  std::printf("%-17s %10s %10s %10s  %s\n", "method", "DLL entry", "direct", "overhead",
              "direct calls");
  for (const Case& test : cases) {
    const testhost::MethodInfo* method = testhost::find_method(test.method);
    FARPROC entry = method ? module.entry(*method) : nullptr;
    if (!entry) {
      std::printf("%-17s not exported\n", test.method);
      continue;
    }
    // Size the batches from a short trial of the direct side.
    double trial = std::max(test.direct(entry, 1000), 0.1);
    int calls = std::max(100, static_cast<int>(batch_ms * 1e6 / trial));
    test.through_dll(entry, calls);  // warm both paths
    std::vector<double> through_dll, direct, difference;
    for (int r = 0; r < rounds; ++r) {
      double a, b;
      if (r % 2 == 0) {
        a = test.through_dll(entry, calls);
        b = test.direct(entry, calls);
      } else {
        b = test.direct(entry, calls);
        a = test.through_dll(entry, calls);
      }
      through_dll.push_back(a);
      direct.push_back(b);
      difference.push_back(a - b);
    }
    std::printf("%-17s %10.1f %10.1f %+10.1f  %s\n", test.method, median(through_dll),
                median(direct), median(difference), test.direct_calls);
  }
  std::printf("(string methods include the fake JNI environment's string work on both sides)\n");
  return 0;
}
