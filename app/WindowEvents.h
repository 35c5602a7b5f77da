// What the window reports between two frames: its framebuffer's size, that it
// lost its focus or was iconified, and that its picture is needed again. The
// window's callbacks write it as events arrive; the frame takes each once.
#pragma once

struct FramebufferSize {
  int width = 0;
  int height = 0;
  bool operator==(const FramebufferSize& other) const { return width == other.width && height == other.height; }
};

class WindowEvents {
public:
  explicit WindowEvents(FramebufferSize initial = {}) : size(initial) {}

  // what the callbacks do
  void framebufferResized(int width, int height) { size = {width, height}; }
  void focusChanged(bool focused);
  void iconifyChanged(bool iconified);
  void pictureNeeded() { exposed = true; }

  // The framebuffer's size in pixels as last reported.
  FramebufferSize framebufferSize() const { return size; }
  // The window lost its focus or was iconified since the previous call.
  bool takeLeft();
  // The system asked for the window's picture again (uncovered, restored)
  // since the previous call.
  bool takeExposed();

private:
  FramebufferSize size;
  bool left = false;
  bool exposed = false;
};
