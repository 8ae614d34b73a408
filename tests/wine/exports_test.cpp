#include "wine_test.h"

namespace {

TEST(Exports, EveryMethodIsFoundUnderTheNameTheJvmLooksUp) {
  for (const auto& m : testhost::methods()) {
    EXPECT_NE(wine::module().entry(m), nullptr) << testhost::exported_name(m);
  }
}

TEST(Exports, NoMethodIsFoundUnderAnyOtherName) {
  HMODULE dll = wine::module().handle();
  for (const auto& m : testhost::methods()) {
    std::string plain = std::string("Java_qav_Native_") + m.name;
    std::string bytes = "@" + std::to_string(4 * (2 + m.string_arguments));
    std::vector<std::string> others = {"_" + plain, plain + bytes};
    if (sizeof(void*) == 4) others.push_back(plain);                // the 64-bit form
    if (sizeof(void*) == 8) others.push_back("_" + plain + bytes);  // the 32-bit form
    for (const auto& name : others) {
      EXPECT_EQ(GetProcAddress(dll, name.c_str()), nullptr) << name;
    }
  }
}

TEST(Exports, OrdinalsFollowTheTable) {
  HMODULE dll = wine::module().handle();
  for (const auto& m : testhost::methods()) {
    EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(m.ordinal)), wine::module().entry(m))
        << m.name << " @" << m.ordinal;
  }
}

}  // namespace
