// The only place that asks the operating system anything beyond what GLFW and
// the standard library offer.
#pragma once

// The console "press a key" pause after a fatal message. Waits for Enter only
// when standard input is a terminal, so scripts and CI never hang.
void waitForKeyIfInteractive();
