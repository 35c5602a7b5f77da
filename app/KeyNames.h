// The names of keys, pad controls and actions: the ones the settings file
// uses (GLFW's key names without their GLFW_KEY_ prefix, read in any case)
// and the German ones the options screen shows. Plain tables: nothing here
// calls GLFW.
#pragma once

#include "app/Bindings.h"

#include <optional>
#include <string>
#include <string_view>

// Whether the code is one of GLFW's keys (GLFW_KEY_UNKNOWN is not).
bool knownKey(int glfwKey);
// Whether the code is one of PadControl's.
bool knownPadControl(int control);

// A key's name in the settings file ("SPACE", "LEFT", "K", "7", "KP_ENTER");
// nullptr for a code that is no key.
const char* keyFileName(int glfwKey);
// The key of a name in the settings file, in any case, blanks around it
// ignored.
std::optional<int> keyFromFileName(std::string_view name);

// A pad control's name in the settings file ("A", "RIGHT_BUMPER",
// "LEFT_STICK_UP"); nullptr for a code that is no pad control.
const char* padControlFileName(int control);
std::optional<int> padControlFromFileName(std::string_view name);

// The code's name on the device, for the settings file; nullptr as above.
const char* codeFileName(Device device, int code);
std::optional<int> codeFromFileName(Device device, std::string_view name);

// What the options screen shows for a key (UTF-8, Latin-1 characters only,
// at most 14 of them). layoutName is what the keyboard layout calls the key
// (GLFW's key name; may be null): a printable key shows the layout's
// character, upper-cased, so the player sees the letter printed on the key.
// Other keys, and printable ones whose layout character the screen cannot
// show, get our German names ("Leertaste", "Pfeil links", "F5", "Num 0").
// An unbound slot shows nothing; a code without a name shows its number.
std::string keyDisplayName(int glfwKey, const char* layoutName);
// What the options screen shows for a pad control ("A", "RB", "L-Stick hoch").
std::string padControlDisplayName(int control);

// An action's name in the settings file ("turn_left"); its pad line is
// "pad_" and this name.
const char* actionFileName(Action action);
std::optional<Action> actionFromFileName(std::string_view name);
// An action's German label on the options screen ("Links drehen").
const char* actionLabel(Action action);

// The name in the settings file for the action's line on the device
// ("fire", "pad_fire").
std::string bindingLineName(Action action, Device device);

// The text without its leading and trailing blanks (spaces and tabs).
std::string_view trimmed(std::string_view text);
// Whether two names are the same but for the case of their ASCII letters.
bool sameInAnyCase(std::string_view a, std::string_view b);
