// The player's settings file: what is written reads back the same; a
// damaged file gives its good lines, names each bad one once and is kept as
// ".defekt"; a write that fails leaves the old file whole; a folder that
// cannot be written costs one line.
#include "app/SettingsFile.h"

#include "tests/support/MessageCapture.h"
#include "tests/support/ProcessFolder.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace {

using felidora::test::MessageCapture;
using felidora::test::ProcessFolder;

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int count(const std::string& text, const std::string& part) {
  int found = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++found;
  return found;
}

constexpr int pad(PadControl control) { return static_cast<int>(control); }

TEST(SettingsFileTest, WhatIsWrittenReadsBackTheSameAndNoFileMeansTheDefaults) {
  const ProcessFolder folder("felidora-settings-");
  const std::string path = folder.file("neu/felidora/einstellungen.ini"); // the folders are made
  SettingsFile file(path);
  {
    const MessageCapture messages;
    EXPECT_EQ(file.load(), Settings());
    EXPECT_EQ(messages.text(), "");
    EXPECT_FALSE(std::filesystem::exists(path));
  }

  Settings settings;
  bind(settings.bindings, Action::Fire, Device::Keyboard, GLFW_KEY_K);
  settings.bindings.of(Action::Fire, Device::Keyboard)[1] = GLFW_KEY_KP_ENTER;
  bind(settings.bindings, Action::Boost, Device::Keyboard, GLFW_KEY_LEFT); // turning left loses it
  bind(settings.bindings, Action::Fire, Device::Pad, pad(PadControl::B));
  settings.bindings.of(Action::Fire, Device::Pad)[1] = pad(PadControl::LeftTrigger);
  bind(settings.bindings, Action::Wireframe, Device::Pad, pad(PadControl::RightStickUp));
  settings.volume = 30;
  settings.fullScreen = true;
  settings.windowWidth = 1024;
  settings.windowHeight = 768;
  settings.vsync = false;
  settings.muted = true;
  const std::string text = settingsText(settings);
  for (const char* line : {"\nfire = K, KP_ENTER\n", "\nturn_left =\n", "\nboost = LEFT\n",
                           "\npad_fire = B, LEFT_TRIGGER\n", "\npad_wireframe = RIGHT_STICK_UP\n", "\nvolume = 30\n",
                           "\nwindow = fullscreen, 1024x768\n", "\nvsync = off\n", "\nmute = on\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
  EXPECT_EQ(text.front(), '#');

  const MessageCapture messages;
  ASSERT_TRUE(file.save(settings));
  EXPECT_EQ(bytesOf(path), text);
  EXPECT_EQ(file.load(), settings);

  settings.fullScreen = false;
  settings.windowWidth = 320;
  settings.windowHeight = 16384;
  settings.volume = 0;
  settings.bindings = defaultBindings();
  ASSERT_TRUE(file.save(settings));
  EXPECT_NE(bytesOf(path).find("\nwindow = 320x16384\n"), std::string::npos);
  EXPECT_EQ(file.load(), settings);
  EXPECT_EQ(SettingsFile(path).load(), settings);
  settings.windowWidth = 200; // dragged smaller than a file holds: the smallest size
  settings.windowHeight = 100;
  ASSERT_TRUE(file.save(settings));
  settings.windowWidth = 320;
  settings.windowHeight = 240;
  EXPECT_EQ(file.load(), settings);
  EXPECT_EQ(readSettingsText(settingsText(Settings())).settings, Settings());
  EXPECT_NE(settingsText(Settings()).find("\nwindow = fullscreen\n"), std::string::npos);
  EXPECT_EQ(messages.text(), "");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// Garbage on every second line of a file a person edited.
TEST(SettingsFileTest, ADamagedFileGivesItsGoodLinesNamesEachBadOneOnceAndIsKept) {
  const ProcessFolder folder("felidora-settings-");
  const std::string path = folder.file("einstellungen.ini");
  const std::string damaged = std::string("\xEF\xBB\xBF# von Hand\n") +   // 1
                              "fire = k,L\n"                              // 2
                              "fire = QQ\n"                               // 3: no key of that name
                              "  VOLUME = 40  \n"                         // 4
                              "volume = 150\n"                            // 5: out of range
                              "window = 1024 x 768\n"                     // 6
                              "window = 100x100\n"                        // 7: too small
                              "mute = on\r\n"                             // 8
                              + std::string("\x01\x02\xff\x00 zz\n", 8) + // 9: binary
                              "pad_boost = y\n"                           // 10: takes Y from the tutorial
                              "jump = SPACE\n"                            // 11: no such name
                              "boost = SPACE, UP\n"                       // 12: takes Up from descending
                              "kein Gleichheitszeichen\n"                 // 13
                              "brake = B\n"                               // 14
                              "sound = b, N\n"                            // 15: B is the brake's
                              "vsync = off\n"                             // 16
                              "pause = ESCAPE, P\n"                       // 17: Escape is nobody's
                              "pad_fire = A\n";                           // 18
  write(path, damaged);
  SettingsFile file(path);
  const MessageCapture messages;
  const Settings loaded = file.load();

  Settings expected;
  Bindings& b = expected.bindings;
  b.of(Action::Fire, Device::Keyboard) = {GLFW_KEY_K, GLFW_KEY_L};
  b.of(Action::Boost, Device::Keyboard) = {GLFW_KEY_SPACE, GLFW_KEY_UP};
  b.of(Action::Descend, Device::Keyboard) = {kUnbound, kUnbound};
  b.of(Action::Brake, Device::Keyboard) = {GLFW_KEY_B, kUnbound};
  b.of(Action::Sound, Device::Keyboard) = {GLFW_KEY_N, kUnbound};
  b.of(Action::Pause, Device::Keyboard) = {GLFW_KEY_P, kUnbound};
  b.of(Action::Boost, Device::Pad) = {pad(PadControl::Y), kUnbound};
  b.of(Action::Tutorial, Device::Pad) = {kUnbound, kUnbound};
  b.of(Action::Fire, Device::Pad) = {pad(PadControl::A), kUnbound};
  expected.volume = 40;
  expected.fullScreen = false;
  expected.windowWidth = 1024;
  expected.windowHeight = 768;
  expected.muted = true;
  expected.vsync = false;
  EXPECT_EQ(loaded, expected);

  const std::string text = messages.text();
  for (int line : {3, 5, 7, 9, 11, 13, 15, 17})
    EXPECT_EQ(count(text, "Zeile " + std::to_string(line) + " "), 1) << line << " in\n" << text;
  EXPECT_EQ(count(text, "unbrauchbar"), 8) << text;
  for (const char* message :
       {"Einstellungen, Zeile 3 unbrauchbar (unbekannte Taste \"QQ\"): fire = QQ\n",
        "Einstellungen, Zeile 9 unbrauchbar (unlesbare Zeichen): \\x01\\x02\\xFF\\x00 zz\n",
        "Einstellungen, Zeile 11 unbrauchbar (unbekannter Name \"jump\"): jump = SPACE\n",
        "Einstellungen, Zeile 15 teils unbrauchbar (Taste \"B\" schon vergeben): sound = b, N\n",
        "Einstellungen, Zeile 17 teils unbrauchbar (Taste \"ESCAPE\" gesperrt): pause = ESCAPE, P\n"})
    EXPECT_NE(text.find(message), std::string::npos) << message << " in\n" << text;

  // the old bytes kept exactly; the new file reads the same, quietly
  EXPECT_EQ(bytesOf(path + ".defekt"), damaged);
  EXPECT_NE(text.find(path + ".defekt"), std::string::npos) << text;
  EXPECT_EQ(bytesOf(path), settingsText(expected));
  MessageCapture again;
  EXPECT_EQ(SettingsFile(path).load(), expected);
  EXPECT_EQ(again.text(), "");
}

// Bytes no editor writes, a file of NULs, and a huge file: read safely, each
// bad line named at most once and only so many named.
TEST(SettingsFileTest, BinaryAndHugeFilesAreReadSafelyAndKept) {
  const ProcessFolder folder("felidora-settings-");
  const std::string path = folder.file("einstellungen.ini");

  std::string noise;
  unsigned state = 12345;
  for (int i = 0; i < 60000; ++i) {
    state = state * 1103515245u + 12345u;
    noise += static_cast<char>(state >> 16);
  }
  for (const std::string& bytes : {std::string(5000, '\0'), noise}) {
    write(path, bytes);
    const MessageCapture messages;
    EXPECT_EQ(SettingsFile(path).load(), Settings());
    const std::string text = messages.text();
    EXPECT_EQ(count(text, "Zeile 1 "), 1) << text;
    EXPECT_LE(count(text, "\n"), 22) << text; // 20 named, one line for the rest, one for the kept file
    EXPECT_EQ(bytesOf(path + ".defekt"), bytes);
    EXPECT_EQ(bytesOf(path), settingsText(Settings()));
  }

  // beyond 64 KiB nothing counts, not even a line cut at the limit
  std::string huge = "volume = 20\n";
  while (huge.size() < 64 * 1024 - 4)
    huge += "# ...\n";
  huge += "mute = on\n";
  huge += std::string(3 * 1024 * 1024, '#');
  write(path, huge);
  const MessageCapture messages;
  Settings expected;
  expected.volume = 20;
  EXPECT_EQ(SettingsFile(path).load(), expected);
  EXPECT_EQ(count(messages.text(), "groesser als 64 KiB"), 1) << messages.text();
  EXPECT_EQ(count(messages.text(), "Zeile"), 0) << messages.text();
  EXPECT_EQ(bytesOf(path + ".defekt"), huge);
}

// A write cut short leaves its temporary file behind and the old file whole;
// a write that fails (no room, no right) changes nothing.
TEST(SettingsFileTest, AWriteCutShortOrFailedLeavesTheOldFileWhole) {
  const ProcessFolder folder("felidora-settings-");
  const std::string path = folder.file("einstellungen.ini");
  SettingsFile file(path);
  Settings first;
  first.volume = 30;
  ASSERT_TRUE(file.save(first));
  const std::string whole = bytesOf(path);

  write(path + ".tmp", "fire = K\nvol"); // the rename never came
  const MessageCapture messages;
  EXPECT_EQ(file.load(), first);
  EXPECT_EQ(bytesOf(path), whole);
  Settings second;
  second.muted = true;
  ASSERT_TRUE(file.save(second));
  EXPECT_EQ(SettingsFile(path).load(), second);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  EXPECT_EQ(messages.text(), "");

  // nothing can be written where the temporary file would go
  std::filesystem::create_directories(path + ".tmp/busy");
  EXPECT_FALSE(file.save(first));
  EXPECT_EQ(SettingsFile(path).load(), second);
  EXPECT_EQ(messages.text(), "Die Einstellungen koennen nicht gespeichert werden: " + path + "\n");
}

// NOTE: the tests may run as root, for whom a read-only folder is writable:
// a file standing where the settings folder should be blocks it for anyone.
TEST(SettingsFileTest, AFolderThatCannotBeWrittenCostsOneLineForTheWholeRun) {
  const ProcessFolder folder("felidora-settings-");
  write(folder.file("blocker"), "");
  const std::string path = folder.file("blocker/felidora/einstellungen.ini");
  SettingsFile file(path);
  const MessageCapture messages;
  EXPECT_EQ(file.load(), Settings());
  Settings settings;
  settings.volume = 50;
  EXPECT_FALSE(file.save(settings));
  EXPECT_FALSE(file.save(settings));
  EXPECT_EQ(messages.text(), "Die Einstellungen koennen nicht gespeichert werden: " + path + "\n");

  // a folder where the file should be cannot be read, and is left alone
  const MessageCapture unreadable;
  std::filesystem::create_directories(folder.file("ordner.ini"));
  EXPECT_EQ(SettingsFile(folder.file("ordner.ini")).load(), Settings());
  EXPECT_EQ(unreadable.text(), "Die Einstellungen koennen nicht gelesen werden: " + folder.file("ordner.ini") + "\n");
}

// XDG_CONFIG_HOME counts only as an absolute path; else the home's .config.
TEST(SettingsFileTest, TheDefaultPathFollowsTheXdgRules) {
  const auto keep = [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const auto restore = [](const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  };
  const std::optional<std::string> config = keep("XDG_CONFIG_HOME");
  const std::optional<std::string> home = keep("HOME");
  setenv("HOME", "/tmp/heim", 1);
  const std::string fallback = "/tmp/heim/.config/felidora/einstellungen.ini";
  const struct {
    std::optional<std::string> value;
    std::string path;
  } cases[] = {{"/tmp/eigen", "/tmp/eigen/felidora/einstellungen.ini"},
               {"", fallback},
               {"relativ/config", fallback},
               {std::nullopt, fallback}};
  for (const auto& c : cases) {
    restore("XDG_CONFIG_HOME", c.value);
    EXPECT_EQ(SettingsFile::defaultPath().string(), c.path) << c.value.value_or("unset");
  }
  restore("XDG_CONFIG_HOME", config);
  restore("HOME", home);
}

} // namespace
