// Start-up shared by the game and the frame benchmark: the full-screen
// 800 x 600 window with its OpenGL 3.3 core context, GLEW, the global GL state
// and DevIL, and the pads' extra mappings. The window's callbacks are
// DesktopInput's. Any failure ends the process with its German message.
#pragma once

struct GLFWwindow;
struct Settings;

// The window opens full screen, or as the player's window of its size, and
// the display paces the frames unless the player turned vertical sync off.
GLFWwindow* startUp(const Settings& settings);

// Full screen at 800 x 600, or a resizable window of the settings' size in
// the middle of the screen; the frame follows through the framebuffer size
// either way.
void setWindowMode(GLFWwindow* window, const Settings& settings);

// The window's size now, into the settings, while it is a window.
void keepWindowSize(GLFWwindow* window, Settings& settings);
