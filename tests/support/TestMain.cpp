#include "tests/support/GlContext.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; "threadsafe" re-executes the binary, which is safe with
  // a GL context open in the parent.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  felidora::test::installGlEnvironment();
  return RUN_ALL_TESTS();
}
