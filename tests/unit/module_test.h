// The fixture every module test starts from: the default simulated machine
// and a fresh fake JNI environment, checked at the end for a clean ledger
// (every borrow released with its own pointer, no JNI misuse).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "fake_jni.h"
#include "method_table.h"
#include "platform/sim/machine.h"

class ModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::reset(); }
  void TearDown() override {
    for (const auto& fault : java.faults()) ADD_FAILURE() << "JNI misuse: " << fault;
    EXPECT_EQ(java.outstanding(), 0) << "borrowed strings left unreleased";
    sim::reset();
  }

  sim::Machine& machine() { return sim::machine(); }
  jstring str(const std::string& utf8) { return java.make_utf8(utf8); }
  // The result as readable UTF-8; "<null>" for a null string.
  std::string text(jstring s) { return java.is_null(s) ? "<null>" : java.utf8(s); }

  fakejni::Env java;
  JNIEnv* env = java.jni();
};
