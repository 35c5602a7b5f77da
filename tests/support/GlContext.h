// A hidden OpenGL 3.3 core context shared by all tests of one binary, so that
// GL-using classes run against the real driver (Mesa under Xvfb in CI).
#pragma once

namespace felidora::test {

// True once the environment has made its context current.
bool glAvailable();

// Call at the top of a GL test: fails under CI when no context could be made,
// skips (saying why) on a developer's machine without a display.
#define FELIDORA_REQUIRE_GL()                                                  \
  do {                                                                         \
    if (!::felidora::test::glAvailable()) {                                    \
      if (::felidora::test::runningUnderCi())                                  \
        FAIL() << "no OpenGL 3.3 context could be created under CI";           \
      GTEST_SKIP() << "no OpenGL 3.3 context (no DISPLAY?)";                   \
    }                                                                          \
  } while (0)

bool runningUnderCi();

// Registers the GoogleTest environment; TestMain calls it.
void installGlEnvironment();

// Pops and returns every pending GL error, 0 if none.
unsigned drainGlErrors();

} // namespace felidora::test
