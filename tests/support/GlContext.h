// A hidden OpenGL 3.3 core context shared by all tests of one binary, so that
// GL-using classes run against the real driver (Mesa under Xvfb in CI).
//
// It is always a debug context with the game's strict-GL reports installed
// (render/GlDebug): every report fails the test that caused it and shows the
// line, unless the test collects reports on purpose with GlReportCapture.
#pragma once

#include <string>
#include <vector>

namespace felidora::test {

// True once the environment has made its context current.
bool glAvailable();

// Call at the top of a GL test: fails under CI when no context could be made,
// skips (saying why) on a developer's machine without a display, and fails
// in a binary of the tier without GL.
#define FELIDORA_REQUIRE_GL()                                                                                          \
  do {                                                                                                                 \
    if (!::felidora::test::glAvailable()) {                                                                            \
      if (::felidora::test::glWithheld())                                                                              \
        FAIL() << "a GL test in a binary without a GL context: it belongs to a GL test binary";                        \
      if (::felidora::test::runningUnderCi())                                                                          \
        FAIL() << "no OpenGL 3.3 context could be created under CI";                                                   \
      GTEST_SKIP() << "no OpenGL 3.3 context (no DISPLAY?)";                                                           \
    }                                                                                                                  \
  } while (0)

bool runningUnderCi();

// Registers the GoogleTest environment; TestMain calls it.
void installGlEnvironment();
// The rules binaries' TestMain calls this instead: no context is made.
void withholdGl();
bool glWithheld();

// Pops and returns every pending GL error, 0 if none.
unsigned drainGlErrors();

// While one lives, GL reports are collected here instead of failing the
// test: for tests that provoke them (a shader that does not compile).
class GlReportCapture {
public:
  GlReportCapture();
  ~GlReportCapture();
  GlReportCapture(const GlReportCapture&) = delete;
  GlReportCapture& operator=(const GlReportCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }

private:
  friend void reportGl(const std::string& line);
  std::vector<std::string> lines_;
  GlReportCapture* previous_;
};

} // namespace felidora::test
