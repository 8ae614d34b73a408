// The module's lifetime on the host: the application object in place after
// static construction, the entry's load, thread and unload steps with the
// error mode, desWin, and theRegKey closed while theApp still stands at exit.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/module_entry.h"
#include "app/native_app.h"
#include "module_test.h"
#include "registry/the_reg_key.h"

namespace {

HINSTANCE const instance = reinterpret_cast<HINSTANCE>(0x10000000);

// Stands in for theApp during one test, counting the virtual steps the entry runs.
class CountingApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    ++init_calls;
    return init_answer;
  }
  int ExitInstance() override {
    ++exit_calls;
    return CWinApp::ExitInstance();
  }
  int init_calls = 0, exit_calls = 0;
  BOOL init_answer = TRUE;
};

using ModuleLifetime = ModuleTest;

TEST_F(ModuleLifetime, StaticConstructionLeavesTheAppCurrentAndTheKeyEmpty) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_EQ(theApp.m_pszAppName, nullptr);
  EXPECT_EQ(theRegKey.m_hKey, nullptr);
}

TEST_F(ModuleLifetime, LoadAddsTheTwoErrorModeFlagsToWhatWasThere) {
  struct Case {
    UINT before, after;
  } cases[] = {{0, 0x8001}, {SEM_NOGPFAULTERRORBOX, 0x8003}, {0x8001, 0x8001}, {0x0004, 0x8005}};
  for (const auto& c : cases) {
    machine().error_mode = c.before;
    machine().calls.clear();
    EXPECT_EQ(app::module_entry(instance, DLL_PROCESS_ATTACH), TRUE);
    EXPECT_EQ(machine().error_mode, c.after) << std::hex << c.before;
    EXPECT_EQ(sim::count_calls("SetErrorMode"), 2);
    EXPECT_EQ(theApp.m_hInstance, instance);
    EXPECT_TRUE(AfxWinInitialised());
  }
  app::module_entry(instance, DLL_PROCESS_DETACH);
}

TEST_F(ModuleLifetime, EntryRunsInitInstanceAtLoadAndExitInstanceOnceAtUnload) {
  CountingApp counting;
  ASSERT_EQ(AfxGetApp(), &counting);
  EXPECT_EQ(app::module_entry(instance, DLL_PROCESS_ATTACH), TRUE);
  EXPECT_EQ(counting.init_calls, 1);
  EXPECT_EQ(counting.exit_calls, 0);

  machine().calls.clear();
  EXPECT_EQ(app::module_entry(instance, DLL_THREAD_ATTACH), TRUE);
  EXPECT_EQ(app::module_entry(instance, DLL_THREAD_DETACH), TRUE);
  EXPECT_TRUE(machine().calls.empty()) << "a thread's start and end touch nothing";
  EXPECT_EQ(counting.exit_calls, 0);

  EXPECT_EQ(app::module_entry(instance, DLL_PROCESS_DETACH), TRUE);
  EXPECT_EQ(counting.exit_calls, 1);
  EXPECT_EQ(counting.init_calls, 1);
  EXPECT_FALSE(AfxWinInitialised());
}

TEST_F(ModuleLifetime, AnInitInstanceThatRefusesEndsTheLoad) {
  CountingApp counting;
  counting.init_answer = FALSE;
  EXPECT_EQ(app::module_entry(instance, DLL_PROCESS_ATTACH), FALSE);
  EXPECT_EQ(counting.exit_calls, 1);
  EXPECT_FALSE(AfxWinInitialised());
}

TEST_F(ModuleLifetime, TheRecordReturnsToTheAppWhenAStandInEnds) {
  { CountingApp counting; }
  EXPECT_EQ(AfxGetApp(), &theApp);
}

TEST_F(ModuleLifetime, DesWinAnswersZeroAndChangesNothing) {
  machine().registry.set_text(HKEY_CURRENT_USER, "Software\\zozudu", "v", "kept");
  auto read = [&] {
    return text(Java_qav_Native_getRegString(env, nullptr, str("HKEY_CURRENT_USER"),
                                             str("Software\\zozudu"), str("v")));
  };
  CountingApp counting;  // desWin must reach CWinApp's own exit step, not an override
  for (int i = 0; i < 3; ++i) {
    machine().calls.clear();
    java.clear_events();
    EXPECT_EQ(Java_qav_Native_desWin(env, nullptr), 0);
    EXPECT_TRUE(machine().calls.empty());
    EXPECT_TRUE(java.trace().empty());
    EXPECT_EQ(read(), "kept");
  }
  EXPECT_EQ(counting.exit_calls, 0);
}

TEST_F(ModuleLifetime, UnloadAfterRegistryCallsLeavesNoKeyOpen) {
  ASSERT_EQ(app::module_entry(instance, DLL_PROCESS_ATTACH), TRUE);
  jstring root = str("HKEY_CURRENT_USER"), sub = str("Software\\zozudu\\Test");
  EXPECT_EQ(Java_qav_Native_setReg(env, nullptr, root, sub, str("a"), str("x")), 1);
  EXPECT_EQ(Java_qav_Native_setRegDWord(env, nullptr, root, sub, str("b"), str("2")), 1);
  EXPECT_EQ(text(Java_qav_Native_getRegString(env, nullptr, root, sub, str("a"))), "x");
  EXPECT_EQ(Java_qav_Native_delReg(env, nullptr, root, sub, str("b")), 1);
  EXPECT_EQ(Java_qav_Native_delRegKey(env, nullptr, root, sub), 1);
  EXPECT_EQ(app::module_entry(instance, DLL_PROCESS_DETACH), TRUE);
  EXPECT_EQ(machine().registry.open_handles(), 0);
  EXPECT_EQ(theRegKey.m_hKey, nullptr);
}

// At the process's exit the runtime's exit list closes the key theRegKey
// still holds, and theApp must still be the current application then: it is
// destroyed after. Watched in a child process that really exits.
TEST_F(ModuleLifetime, AtExitTheRegKeyClosesBeforeTheAppIsDestroyed) {
  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(channel[0]);
    int out = channel[1];
    machine().registry.ensure_key(HKEY_CURRENT_USER, "Software\\zozudu");
    if (theRegKey.Open(HKEY_CURRENT_USER, "Software\\zozudu", KEY_ALL_ACCESS) != ERROR_SUCCESS) {
      _exit(3);
    }
    machine().call_observer = [out](const sim::Call& call) {
      if (call.op != sim::Op::RegCloseKey) return;
      const char* seen =
          AfxGetApp() == &theApp ? "closed while theApp stands\n" : "closed after theApp\n";
      (void)!write(out, seen, std::strlen(seen));
    };
    std::exit(0);
  }
  close(channel[1]);
  std::string seen;
  char buffer[128];
  ssize_t n;
  while ((n = read(channel[0], buffer, sizeof buffer)) > 0) seen.append(buffer, n);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(seen, "closed while theApp stands\n");
}

}  // namespace
