// The only place that asks the operating system anything beyond what GLFW and
// the standard library offer: everything that differs between Linux,
// Windows and a browser's page is here.
#pragma once

#include <filesystem>
#include <string>

// Called first in main. Standard output passes the messages' bytes on
// unchanged, as on Linux (the Windows C runtime would otherwise write "\r\n"
// for every line end). On Windows the XInput DLL that GLFW loads and frees is
// held until the process ends: Wine's copy keeps a thread of its own running
// after GLFW frees it, which now and then faulted at exit. On Linux the heap
// keeps what a frame frees for the next (see Platform.cpp).
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

// The folder of the player's settings: $XDG_CONFIG_HOME/felidora on Linux
// ($HOME/.config/felidora where XDG_CONFIG_HOME is unset, empty or relative),
// %APPDATA%\Felidora on Windows, /felidora in a page (kept in the browser's
// IndexedDB). Empty when the system names no such place.
std::filesystem::path settingsFolder();

// Writes the bytes to the file (made, or emptied first) and returns once
// they are on the disk, so a rename that follows never puts an empty or
// half-written file in place. False on any failure (a read-only folder, a
// full disk).
bool writeFileToDisk(const std::filesystem::path& file, const std::string& bytes);

// Copies a file's bytes to another (made, or emptied first) in pieces, so a
// large file costs little memory, and returns once they are on the disk.
bool copyFileToDisk(const std::filesystem::path& from, const std::filesystem::path& to);

// Puts the file `from` in the place of `to` in one step: `to` is the old
// file or the new one whole, never a mixture, whenever the system stops.
// Returns once the change is on the disk (in a page: once it is in memory;
// the copy into the browser's storage is started then and ends later).
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
