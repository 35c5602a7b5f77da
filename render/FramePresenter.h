// How the finished frame reaches the window. The game always renders its
// 800 x 600 frame; when the window's framebuffer has another size (no such
// video mode, a HiDPI scale, a compositor that refuses the mode), the main
// view is drawn into a frame of its own, which is then scaled into the window
// with its aspect kept, centred between black bars. At the frame's own size
// the passes draw straight into the window and nothing is copied.
#pragma once

class FramePresenter {
public:
  // Where the frame lands in the window, in framebuffer pixels.
  struct Placement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
  };

  FramePresenter(int frameWidth, int frameHeight);
  ~FramePresenter();
  FramePresenter(const FramePresenter&) = delete;
  FramePresenter& operator=(const FramePresenter&) = delete;

  // Follows the window's framebuffer size; an empty one (a minimised window)
  // keeps the last. Leaves the scene framebuffer bound.
  void resize(int framebufferWidth, int framebufferHeight);

  // The framebuffer the main view and the water surface draw into: 0 (the
  // window) or the frame that present() scales into it.
  unsigned sceneFramebuffer() const { return scaling ? framebuffer : 0; }
  bool isScaling() const { return scaling; }
  // True when the presenter already follows a framebuffer of this size.
  bool sizedFor(int width, int height) const { return width == framebufferWidth && height == framebufferHeight; }
  Placement placement() const { return fit(frameWidth, frameHeight, framebufferWidth, framebufferHeight); }

  // The largest centred rectangle of the frame's aspect inside the window's
  // framebuffer.
  static Placement fit(int frameWidth, int frameHeight, int framebufferWidth, int framebufferHeight);

  // Scales the finished frame into the window (when scaling) and binds the
  // scene framebuffer again, ready for the next frame's clear.
  void present() const;

private:
  bool createFrame();

  // the game's frame, and the window's framebuffer it is presented in
  int frameWidth;
  int frameHeight;
  int framebufferWidth;
  int framebufferHeight;
  bool scaling = false;
  // GL names of the frame drawn when scaling; made the first time it is needed
  unsigned framebuffer = 0;
  unsigned colorRenderbuffer = 0;
  unsigned depthStencilRenderbuffer = 0;
};
