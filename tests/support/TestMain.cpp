// The main of every test binary. GoogleTest passes a run that chose nothing
// (a --gtest_filter naming no test exits 0), so a renamed test would silently
// drop out of every CTest entry that names it. Here such a run fails: each
// pattern of the filter, wanted or excluded, has to name a test of the
// binary, and at least one test has to run. Built twice: with the shared GL
// context, and without it (FELIDORA_TEST_WITHOUT_GL) for the rules binaries,
// where a test that asks for a context fails.
#include "tests/support/GlContext.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

namespace {

// GoogleTest's wildcards: '*' stands for any run of characters, '?' for one.
bool matchesPattern(const char* pattern, const char* name) {
  switch (*pattern) {
  case '\0': return *name == '\0';
  case '?': return *name != '\0' && matchesPattern(pattern + 1, name + 1);
  case '*': return matchesPattern(pattern + 1, name) || (*name != '\0' && matchesPattern(pattern, name + 1));
  default: return *pattern == *name && matchesPattern(pattern + 1, name + 1);
  }
}

std::vector<std::string> registeredTestNames() {
  std::vector<std::string> names;
  const ::testing::UnitTest& unitTest = *::testing::UnitTest::GetInstance();
  for (int s = 0; s < unitTest.total_test_suite_count(); ++s) {
    const ::testing::TestSuite& suite = *unitTest.GetTestSuite(s);
    for (int t = 0; t < suite.total_test_count(); ++t)
      names.push_back(std::string(suite.name()) + "." + suite.GetTestInfo(t)->name());
  }
  return names;
}

// The patterns of "WANTED[-EXCLUDED]" (each a ':'-separated list) that name
// no registered test.
std::vector<std::string> patternsNamingNoTest(const std::string& filter) {
  const std::vector<std::string> names = registeredTestNames();
  std::vector<std::string> unmatched;
  std::string pattern;
  auto check = [&] {
    if (pattern.empty())
      return;
    bool named = false;
    for (const std::string& name : names)
      named = named || matchesPattern(pattern.c_str(), name.c_str());
    if (!named)
      unmatched.push_back(pattern);
    pattern.clear();
  };
  bool excluding = false;
  for (char c : filter) {
    if (c == ':' || (c == '-' && !excluding)) {
      check();
      excluding = excluding || c == '-';
    } else {
      pattern += c;
    }
  }
  check();
  return unmatched;
}

} // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; "threadsafe" re-executes the binary, which is safe with
  // a GL context open in the parent.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  if (GTEST_FLAG_GET(list_tests))
    return RUN_ALL_TESTS();

  const std::vector<std::string> unmatched = patternsNamingNoTest(GTEST_FLAG_GET(filter));
  for (const std::string& pattern : unmatched)
    std::cerr << argv[0] << ": the test filter's pattern \"" << pattern << "\" names no test of this binary\n";
  if (!unmatched.empty())
    return 1;

#ifdef FELIDORA_TEST_WITHOUT_GL
  felidora::test::withholdGl();
#else
  felidora::test::installGlEnvironment();
#endif
  const int status = RUN_ALL_TESTS();
  if (::testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
    std::cerr << argv[0] << ": no test ran (filter \"" << GTEST_FLAG_GET(filter) << "\")\n";
    return 1;
  }
  return status;
}
