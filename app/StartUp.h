// Start-up shared by the game and the frame benchmark: the full-screen
// 800 x 600 window with its OpenGL 3.3 core context, GLEW, the global GL state
// and DevIL, and the pads' extra mappings. The window's callbacks are
// DesktopInput's. Any failure ends the process with its German message.
#pragma once

struct GLFWwindow;

GLFWwindow* startUp();

// F11 and Alt+Enter: from full screen to an 800 x 600 resizable window and back.
void toggleWindowMode(GLFWwindow* window);
