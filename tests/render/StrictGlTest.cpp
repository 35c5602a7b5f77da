// The strict GL context of the tests: a driver error is reported where it
// happens.
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The debug context reports a driver error as one "GL: " line, in the call
// that caused it; GL still records the error.
TEST(StrictGl, ADriverErrorArrivesAsOneGlLineInTheCallThatCausedIt) {
  FELIDORA_REQUIRE_GL();
  felidora::test::GlReportCapture reports;
  glBindTexture(GL_TEXTURE_2D, 987654); // a name never generated: refused by the core profile
  ASSERT_EQ(reports.lines().size(), 1u);
  EXPECT_EQ(reports.lines()[0].rfind("GL: ", 0), 0u) << reports.lines()[0];
  EXPECT_GT(reports.lines()[0].size(), 8u) << "no driver text";
  EXPECT_EQ(reports.lines()[0].find('\n'), std::string::npos);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_OPERATION));
}

} // namespace
