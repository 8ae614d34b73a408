#include "module_test.h"

namespace {

constexpr const char* processor_key = "Hardware\\Description\\System\\CentralProcessor\\0";

class CpuVendor : public ModuleTest {
 protected:
  std::string vendor() { return text(Java_qav_Native_getCPUVendor(env, nullptr)); }
  void stage(const std::string& identifier, DWORD type = REG_SZ) {
    machine().registry.set_text(HKEY_LOCAL_MACHINE, processor_key, "Identifier", identifier, type);
  }
  void TearDown() override {
    EXPECT_EQ(machine().registry.open_handles(), 0) << "the call's own key is closed";
    ModuleTest::TearDown();
  }
};

TEST_F(CpuVendor, ReadsTheIdentifierThroughAKeyOpenedWithFullAccess) {
  stage("AMD64 Family 25 Model 1 Stepping 1");
  EXPECT_EQ(vendor(), "AMD64 Family 25 Model 1 Stepping 1");
  EXPECT_EQ(sim::count_calls("RegOpenKeyExA HKEY_LOCAL_MACHINE \"" + std::string(processor_key) +
                             "\" 0 0xf003f"),
            1);
  EXPECT_EQ(sim::count_calls("RegQueryValueExA \"Identifier\" 255"), 1);
  EXPECT_EQ(sim::count_calls("RegCloseKey"), 1);
}

TEST_F(CpuVendor, TakesUpTo255BytesWholeAndFailsBeyond) {
  struct Case {
    size_t length;  // without the NUL that the value stores
    bool whole;
  } cases[] = {{0, true}, {100, true}, {254, true}, {255, false}, {400, false}};
  for (const auto& c : cases) {
    std::string identifier(c.length, 'x');
    stage(identifier);
    EXPECT_EQ(vendor(), c.whole ? identifier : "") << c.length << " bytes and a NUL";
  }
  // 255 bytes with no NUL of their own fit too, and still end within the buffer.
  machine().registry.set_value(HKEY_LOCAL_MACHINE, processor_key, "Identifier", REG_BINARY,
                               std::vector<BYTE>(255, 'y'));
  EXPECT_EQ(vendor(), std::string(255, 'y'));
}

TEST_F(CpuVendor, EmptyWhenTheKeyOrValueCannotBeHad) {
  stage("x86 Family 6");
  machine().registry.ensure_key(HKEY_LOCAL_MACHINE, processor_key).read_only = true;
  EXPECT_EQ(vendor(), "") << "a read-only open is never tried";

  machine().registry.ensure_key(HKEY_LOCAL_MACHINE, processor_key).read_only = false;
  sim::fail(sim::Op::RegQueryValueExA, sim::FailMode::once, ERROR_MORE_DATA);
  EXPECT_EQ(vendor(), "") << "a failed read leaves nothing";

  machine().registry.remove_key(HKEY_LOCAL_MACHINE, processor_key);
  EXPECT_EQ(vendor(), "") << "no key";
  EXPECT_EQ(sim::count_calls("RegQueryValueExA"), 1) << "no read without the key";
}

}  // namespace
