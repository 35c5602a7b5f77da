// The player's settings on disk: a plain text file a person can read and
// edit, one "action = KEY, KEY" line per action (pad bindings on "pad_"
// lines of their own), then the volume, the window, vertical sync and
// muting. Written whole to a temporary file beside it, flushed and renamed
// over the old one, so a crash or a full disk never leaves half a file. A
// damaged file gives what its good lines say, names each bad line once, and
// is kept as "einstellungen.ini.defekt" before a clean one takes its place.
#pragma once

#include "app/Settings.h"

#include <filesystem>
#include <string>
#include <string_view>

// The file's text for the settings: a comment line, the keyboard's lines,
// the pad's lines, then "volume", "window", "vsync" and "mute". Values the
// file cannot hold are written as the nearest it can (a window dragged
// smaller than the smallest size written reads back as that size).
std::string settingsText(const Settings& settings);

// What the text of a settings file gave.
struct SettingsReading {
  Settings settings; // what the good lines say; the defaults for the rest
  int badLines = 0;  // lines that could not be used, or only in part
};

// Reads a settings file's text: blank lines and lines starting with "#" are
// skipped, every line that can be read counts (a later line for the same
// name wins), and each bad line is named once on the message stream. A
// binding line takes its codes from the actions no line gave; a code two
// lines give, and a reserved one, are then cleared where tidy clears them,
// and their lines are named too.
SettingsReading readSettingsText(std::string_view text);

class SettingsFile {
public:
  explicit SettingsFile(std::filesystem::path path);

  // settingsFolder()/einstellungen.ini; empty when the system names no
  // folder for settings (then nothing is read, and saving fails).
  static std::filesystem::path defaultPath();

  const std::filesystem::path& path() const { return file; }

  // The settings in the file. A missing file gives the defaults, silently; a
  // damaged one is copied to ".defekt" beside it and replaced by a clean
  // file at once, so the next start is quiet. Only the first 64 KiB of a
  // file are read.
  Settings load();

  // Writes the settings ("<file>.tmp", flushed, renamed over the file),
  // making the folder if needed. A failure is reported in one line for the
  // whole life of this object; the game plays on with what it holds.
  bool save(const Settings& settings);

private:
  void keepDamagedFile(const Settings& settings);
  void reportSaveFailure();

  std::filesystem::path file;
  bool saveFailureReported = false;
};
