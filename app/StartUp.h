// Start-up shared by the game and the frame benchmark: the full-screen
// 800 x 600 window with its OpenGL 3.3 core context, GLEW, the global GL state
// and DevIL, with the key and framebuffer-size callbacks installed. Any
// failure ends the process with its German message.
#pragma once

struct GLFWwindow;

GLFWwindow* startUp();

// F11 and Alt+Enter: from full screen to an 800 x 600 resizable window and back.
void toggleWindowMode(GLFWwindow* window);

// The window framebuffer's size in pixels: read at start-up, then kept by
// GLFW's size callback as events are processed.
struct FramebufferSize {
  int width = 0;
  int height = 0;
};
FramebufferSize framebufferSize();
