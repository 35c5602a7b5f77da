// The only place that asks the operating system anything beyond what GLFW and
// the standard library offer.
#pragma once

// The console "press a key" pause after a fatal message. Waits for Enter only
// when standard input is a terminal, so scripts and CI never hang.
void waitForKeyIfInteractive();

// Makes the folder that holds the running executable (links resolved) the
// working directory, so the content beside the game is found wherever it was
// started from. A folder without Shader/ (a build tree laid out otherwise, a
// test binary) leaves the working directory as it was.
void enterExecutableFolder();
