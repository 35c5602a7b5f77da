// The only place that asks the operating system anything beyond what GLFW and
// the standard library offer: everything that differs between Linux and
// Windows is here.
#pragma once

#include <filesystem>

// Called first in main. Standard output passes the messages' bytes on
// unchanged, as on Linux (the Windows C runtime would otherwise write "\r\n"
// for every line end). On Windows the XInput DLL that GLFW loads and frees is
// held until the process ends: Wine's copy keeps a thread of its own running
// after GLFW frees it, which now and then faulted at exit.
void setUpProcess();

// Called in main before anything else starts a thread (setting a variable of
// the environment is not safe beside threads that read it). Without a sound
// device OpenAL Soft, and ALSA beneath it on Linux, write lines of their own to
// standard error before the game says so in its one line; this quiets both:
// OpenAL Soft through its log level (ALSOFT_LOGLEVEL=0), ALSA through its
// error handler. A player who set ALSOFT_LOGLEVEL asked for the libraries' own
// words, and gets them from both.
void quietSoundLibraries();

// The console "press a key" pause after a fatal message. Waits only when
// standard input is a terminal (a console on Windows, where "PAUSE" goes to
// the command interpreter), so scripts and CI never hang.
void waitForKeyIfInteractive();

// Makes the folder that holds the running executable (links resolved) the
// working directory, so the content beside the game is found wherever it was
// started from. A folder without Shader/ (a build tree laid out otherwise, a
// test binary) leaves the working directory as it was. Returns the folder the
// game was started from (empty if the system does not say), against which
// the player's own relative paths are read.
std::filesystem::path enterExecutableFolder();
