#include "render/FramePresenter.h"

#include <GL/glew.h>

FramePresenter::FramePresenter(int frameWidth, int frameHeight)
    : frameWidth(frameWidth), frameHeight(frameHeight), framebufferWidth(frameWidth), framebufferHeight(frameHeight) {}

FramePresenter::~FramePresenter() {
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteRenderbuffers(1, &depthStencilRenderbuffer);
  glDeleteRenderbuffers(1, &colorRenderbuffer);
}

void FramePresenter::resize(int width, int height) {
  if (width > 0 && height > 0) {
    framebufferWidth = width;
    framebufferHeight = height;
    const bool wanted = width != frameWidth || height != frameHeight;
    // a driver that cannot make the frame gets the old picture: drawn 1:1
    scaling = wanted && createFrame();
  }
  glBindFramebuffer(GL_FRAMEBUFFER, sceneFramebuffer());
}

FramePresenter::Placement FramePresenter::fit(int frameWidth, int frameHeight, int framebufferWidth,
                                              int framebufferHeight) {
  Placement p;
  if (frameWidth <= 0 || frameHeight <= 0 || framebufferWidth <= 0 || framebufferHeight <= 0)
    return p;
  // compare the aspects in integers: frame w/h against framebuffer w/h
  const long long frameByFramebuffer = static_cast<long long>(frameWidth) * framebufferHeight;
  const long long framebufferByFrame = static_cast<long long>(framebufferWidth) * frameHeight;
  if (frameByFramebuffer >= framebufferByFrame) { // wider than the framebuffer: bars above and below
    p.width = framebufferWidth;
    p.height = static_cast<int>((static_cast<long long>(framebufferWidth) * frameHeight + frameWidth / 2) / frameWidth);
  } else { // narrower: bars left and right
    p.height = framebufferHeight;
    p.width =
        static_cast<int>((static_cast<long long>(framebufferHeight) * frameWidth + frameHeight / 2) / frameHeight);
  }
  p.x = (framebufferWidth - p.width) / 2;
  p.y = (framebufferHeight - p.height) / 2;
  return p;
}

bool FramePresenter::createFrame() {
  if (framebuffer)
    return true;
  glGenRenderbuffers(1, &colorRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, colorRenderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, frameWidth, frameHeight);
  // the window's own buffer has depth and stencil; so has the frame that stands in for it
  glGenRenderbuffers(1, &depthStencilRenderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, depthStencilRenderbuffer);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, frameWidth, frameHeight);
  glBindRenderbuffer(GL_RENDERBUFFER, 0);

  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorRenderbuffer);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthStencilRenderbuffer);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
    return true;

  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glDeleteFramebuffers(1, &framebuffer);
  glDeleteRenderbuffers(1, &depthStencilRenderbuffer);
  glDeleteRenderbuffers(1, &colorRenderbuffer);
  framebuffer = colorRenderbuffer = depthStencilRenderbuffer = 0;
  return false;
}

void FramePresenter::present() const {
  if (!scaling)
    return;
  const Placement p = placement();
  // NOTE: clears and blits obey the scissor test; the bars and the frame are
  // the whole window whatever a pass left set.
  const bool scissor = glIsEnabled(GL_SCISSOR_TEST);
  glDisable(GL_SCISSOR_TEST);
  GLfloat clearColor[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);

  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
  glBlitFramebuffer(0, 0, frameWidth, frameHeight, p.x, p.y, p.x + p.width, p.y + p.height, GL_COLOR_BUFFER_BIT,
                    GL_LINEAR);

  glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
  if (scissor)
    glEnable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}
