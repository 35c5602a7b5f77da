// The presenter: where a frame of 800 x 600 lands in a window of another
// size, and the scaled frame read back from the window.
#include "render/FramePresenter.h"
#include "tests/support/GlContext.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// The frame keeps its aspect, centred between black bars: plain arithmetic,
// no GL context needed.
TEST(FramePresenterTest, PlacesTheFrameCentredWithItsAspectKept) {
  const FramePresenter::Placement wide = FramePresenter::fit(800, 600, 1920, 1080);
  EXPECT_EQ(std::vector<int>({wide.x, wide.y, wide.width, wide.height}), std::vector<int>({240, 0, 1440, 1080}));
  const FramePresenter::Placement tall = FramePresenter::fit(800, 600, 600, 1000);
  EXPECT_EQ(std::vector<int>({tall.x, tall.y, tall.width, tall.height}), std::vector<int>({0, 275, 600, 450}));
}

// A window framebuffer of another size gets the frame scaled into its
// placement between black bars; at 800 x 600 the window is drawn directly.
TEST(FramePresenterTest, ScalesTheFrameIntoTheWindowBetweenBlackBars) {
  FELIDORA_REQUIRE_GL();
  FramePresenter presenter(800, 600);
  presenter.resize(800, 600);
  EXPECT_EQ(presenter.sceneFramebuffer(), 0u);

  // a 400 x 400 "window" is the lower-left corner of the test's own 800 x 600 one
  presenter.resize(400, 400);
  ASSERT_NE(presenter.sceneFramebuffer(), 0u);
  GLint bound = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), presenter.sceneFramebuffer());
  glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0.14f, 0.25f, 0.43f, 0.0f);
  presenter.present();

  auto windowPixel = [](int x, int y) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    unsigned char rgba[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return std::vector<int>({rgba[0], rgba[1], rgba[2]});
  };
  // the frame lands at y 50..349
  EXPECT_EQ(windowPixel(200, 200), std::vector<int>({255, 0, 0}));
  EXPECT_EQ(windowPixel(0, 51), std::vector<int>({255, 0, 0}));
  EXPECT_EQ(windowPixel(399, 348), std::vector<int>({255, 0, 0}));
  EXPECT_EQ(windowPixel(200, 20), std::vector<int>({0, 0, 0}));
  EXPECT_EQ(windowPixel(200, 380), std::vector<int>({0, 0, 0}));
  GLfloat clear[4] = {};
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_FLOAT_EQ(clear[2], 0.43f);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(static_cast<unsigned>(bound), presenter.sceneFramebuffer());

  presenter.resize(800, 600);
  EXPECT_EQ(presenter.sceneFramebuffer(), 0u);
  glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
  EXPECT_EQ(bound, 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
