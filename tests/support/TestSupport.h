// Small helpers shared by all test executables.
#pragma once

#include <string>

namespace tavik::test {

// A fresh empty folder under the system's temporary folder, removed at exit of the process.
std::string TempFolder();
// Path of a folder of the peer test data (../shared/testdata/<name>), "" when absent.
std::string TestData(const std::string& name);

}  // namespace tavik::test

// Skips the current test when the peer data folder is absent.
#define TAVIK_REQUIRE_TESTDATA(var, name)                  \
    const std::string var = ::tavik::test::TestData(name); \
    if (var.empty()) GTEST_SKIP() << "test data folder " << (name) << " absent"
