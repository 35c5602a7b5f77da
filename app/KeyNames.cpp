#include "app/KeyNames.h"

#include <GLFW/glfw3.h>

#include <cctype>
#include <cstddef>
#include <iterator>

namespace {

// How a key is shown: by the layout's character (a printable key; our
// character serves when the layout gives none), or by our name.
enum class Shown { Layout, Keypad, Named };

struct KeyName {
  int code;
  const char* file;    // GLFW's name without GLFW_KEY_
  const char* display; // our character or German name
  Shown shown;
};

#define LAYOUT_KEY(name, character)                                                                                    \
  { GLFW_KEY_##name, #name, character, Shown::Layout }
#define KEYPAD_KEY(name, character)                                                                                    \
  { GLFW_KEY_##name, #name, character, Shown::Keypad }
#define NAMED_KEY(name, german)                                                                                        \
  { GLFW_KEY_##name, #name, german, Shown::Named }

const KeyName kKeys[] = {
    NAMED_KEY(SPACE, "Leertaste"),
    LAYOUT_KEY(APOSTROPHE, "'"),
    LAYOUT_KEY(COMMA, ","),
    LAYOUT_KEY(MINUS, "-"),
    LAYOUT_KEY(PERIOD, "."),
    LAYOUT_KEY(SLASH, "/"),
    LAYOUT_KEY(0, "0"),
    LAYOUT_KEY(1, "1"),
    LAYOUT_KEY(2, "2"),
    LAYOUT_KEY(3, "3"),
    LAYOUT_KEY(4, "4"),
    LAYOUT_KEY(5, "5"),
    LAYOUT_KEY(6, "6"),
    LAYOUT_KEY(7, "7"),
    LAYOUT_KEY(8, "8"),
    LAYOUT_KEY(9, "9"),
    LAYOUT_KEY(SEMICOLON, ";"),
    LAYOUT_KEY(EQUAL, "="),
    LAYOUT_KEY(A, "A"),
    LAYOUT_KEY(B, "B"),
    LAYOUT_KEY(C, "C"),
    LAYOUT_KEY(D, "D"),
    LAYOUT_KEY(E, "E"),
    LAYOUT_KEY(F, "F"),
    LAYOUT_KEY(G, "G"),
    LAYOUT_KEY(H, "H"),
    LAYOUT_KEY(I, "I"),
    LAYOUT_KEY(J, "J"),
    LAYOUT_KEY(K, "K"),
    LAYOUT_KEY(L, "L"),
    LAYOUT_KEY(M, "M"),
    LAYOUT_KEY(N, "N"),
    LAYOUT_KEY(O, "O"),
    LAYOUT_KEY(P, "P"),
    LAYOUT_KEY(Q, "Q"),
    LAYOUT_KEY(R, "R"),
    LAYOUT_KEY(S, "S"),
    LAYOUT_KEY(T, "T"),
    LAYOUT_KEY(U, "U"),
    LAYOUT_KEY(V, "V"),
    LAYOUT_KEY(W, "W"),
    LAYOUT_KEY(X, "X"),
    LAYOUT_KEY(Y, "Y"),
    LAYOUT_KEY(Z, "Z"),
    LAYOUT_KEY(LEFT_BRACKET, "["),
    LAYOUT_KEY(BACKSLASH, "\\"),
    LAYOUT_KEY(RIGHT_BRACKET, "]"),
    LAYOUT_KEY(GRAVE_ACCENT, "`"),
    LAYOUT_KEY(WORLD_1, "Welt 1"),
    LAYOUT_KEY(WORLD_2, "Welt 2"),
    NAMED_KEY(ESCAPE, "Esc"),
    NAMED_KEY(ENTER, "Eingabe"),
    NAMED_KEY(TAB, "Tab"),
    NAMED_KEY(BACKSPACE, "R\u00fccktaste"),
    NAMED_KEY(INSERT, "Einfg"),
    NAMED_KEY(DELETE, "Entf"),
    NAMED_KEY(RIGHT, "Pfeil rechts"),
    NAMED_KEY(LEFT, "Pfeil links"),
    NAMED_KEY(DOWN, "Pfeil runter"),
    NAMED_KEY(UP, "Pfeil hoch"),
    NAMED_KEY(PAGE_UP, "Bild hoch"),
    NAMED_KEY(PAGE_DOWN, "Bild runter"),
    NAMED_KEY(HOME, "Pos1"),
    NAMED_KEY(END, "Ende"),
    NAMED_KEY(CAPS_LOCK, "Feststell"),
    NAMED_KEY(SCROLL_LOCK, "Rollen"),
    NAMED_KEY(NUM_LOCK, "Num"),
    NAMED_KEY(PRINT_SCREEN, "Druck"),
    NAMED_KEY(PAUSE, "Pause"),
    NAMED_KEY(F1, "F1"),
    NAMED_KEY(F2, "F2"),
    NAMED_KEY(F3, "F3"),
    NAMED_KEY(F4, "F4"),
    NAMED_KEY(F5, "F5"),
    NAMED_KEY(F6, "F6"),
    NAMED_KEY(F7, "F7"),
    NAMED_KEY(F8, "F8"),
    NAMED_KEY(F9, "F9"),
    NAMED_KEY(F10, "F10"),
    NAMED_KEY(F11, "F11"),
    NAMED_KEY(F12, "F12"),
    NAMED_KEY(F13, "F13"),
    NAMED_KEY(F14, "F14"),
    NAMED_KEY(F15, "F15"),
    NAMED_KEY(F16, "F16"),
    NAMED_KEY(F17, "F17"),
    NAMED_KEY(F18, "F18"),
    NAMED_KEY(F19, "F19"),
    NAMED_KEY(F20, "F20"),
    NAMED_KEY(F21, "F21"),
    NAMED_KEY(F22, "F22"),
    NAMED_KEY(F23, "F23"),
    NAMED_KEY(F24, "F24"),
    NAMED_KEY(F25, "F25"),
    KEYPAD_KEY(KP_0, "0"),
    KEYPAD_KEY(KP_1, "1"),
    KEYPAD_KEY(KP_2, "2"),
    KEYPAD_KEY(KP_3, "3"),
    KEYPAD_KEY(KP_4, "4"),
    KEYPAD_KEY(KP_5, "5"),
    KEYPAD_KEY(KP_6, "6"),
    KEYPAD_KEY(KP_7, "7"),
    KEYPAD_KEY(KP_8, "8"),
    KEYPAD_KEY(KP_9, "9"),
    KEYPAD_KEY(KP_DECIMAL, "."),
    KEYPAD_KEY(KP_DIVIDE, "/"),
    KEYPAD_KEY(KP_MULTIPLY, "*"),
    KEYPAD_KEY(KP_SUBTRACT, "-"),
    KEYPAD_KEY(KP_ADD, "+"),
    NAMED_KEY(KP_ENTER, "Num Eingabe"),
    KEYPAD_KEY(KP_EQUAL, "="),
    NAMED_KEY(LEFT_SHIFT, "Umschalt"),
    NAMED_KEY(LEFT_CONTROL, "Strg"),
    NAMED_KEY(LEFT_ALT, "Alt"),
    NAMED_KEY(LEFT_SUPER, "Win"),
    NAMED_KEY(RIGHT_SHIFT, "Umschalt re."),
    NAMED_KEY(RIGHT_CONTROL, "Strg rechts"),
    NAMED_KEY(RIGHT_ALT, "AltGr"),
    NAMED_KEY(RIGHT_SUPER, "Win rechts"),
    NAMED_KEY(MENU, "Men\u00fc"),
};

#undef LAYOUT_KEY
#undef KEYPAD_KEY
#undef NAMED_KEY

struct PadName {
  const char* file;
  const char* display;
};

// In PadControl's order.
const PadName kPadControls[] = {
    {"A", "A"},
    {"B", "B"},
    {"X", "X"},
    {"Y", "Y"},
    {"LEFT_BUMPER", "LB"},
    {"RIGHT_BUMPER", "RB"},
    {"BACK", "Back"},
    {"START", "Start"},
    {"GUIDE", "Guide"},
    {"LEFT_THUMB", "L3"},
    {"RIGHT_THUMB", "R3"},
    {"DPAD_UP", "Kreuz hoch"},
    {"DPAD_RIGHT", "Kreuz rechts"},
    {"DPAD_DOWN", "Kreuz runter"},
    {"DPAD_LEFT", "Kreuz links"},
    {"LEFT_STICK_LEFT", "L-Stick links"},
    {"LEFT_STICK_RIGHT", "L-Stick rechts"},
    {"LEFT_STICK_UP", "L-Stick hoch"},
    {"LEFT_STICK_DOWN", "L-Stick runter"},
    {"RIGHT_STICK_LEFT", "R-Stick links"},
    {"RIGHT_STICK_RIGHT", "R-Stick rechts"},
    {"RIGHT_STICK_UP", "R-Stick hoch"},
    {"RIGHT_STICK_DOWN", "R-Stick runter"},
    {"LEFT_TRIGGER", "LT"},
    {"RIGHT_TRIGGER", "RT"},
};
static_assert(std::size(kPadControls) == kPadControlCount, "a name for every pad control");

struct ActionName {
  const char* file;
  const char* label;
};

// In Action's order.
const ActionName kActions[] = {
    {"turn_left", "Links drehen"},
    {"turn_right", "Rechts drehen"},
    {"descend", "Sinken"},
    {"climb", "Steigen"},
    {"fire", "Feuer"},
    {"boost", "Turbo"},
    {"brake", "Bremse"},
    {"tutorial", "Anleitung"},
    {"statistics", "Statistik"},
    {"wireframe", "Drahtgitter"},
    {"filtering", "Texturfilter"},
    {"mipmapping", "Mipmaps"},
    {"culling", "Culling"},
    {"blending", "Blending"},
    {"sound", "Ton aus/an"},
    {"pause", "Pause"},
    {"fullscreen", "Vollbild"},
};
static_assert(std::size(kActions) == kActionCount, "a name for every action");

constexpr const char* kPadLinePrefix = "pad_";

const KeyName* keyOf(int glfwKey) {
  for (const KeyName& key : kKeys)
    if (key.code == glfwKey)
      return &key;
  return nullptr;
}

// The layout's name of a key as one Latin-1 character in UTF-8, upper-cased
// where Latin-1 has the capital; empty when it is anything else (several
// characters, another script, a blank, broken UTF-8).
std::string latin1Capital(const char* layoutName) {
  if (!layoutName)
    return {};
  const auto* bytes = reinterpret_cast<const unsigned char*>(layoutName);
  unsigned code = 0;
  if (bytes[0] > 0x20 && bytes[0] < 0x7f && bytes[1] == 0) {
    code = bytes[0];
  } else if ((bytes[0] == 0xc2 || bytes[0] == 0xc3) && (bytes[1] & 0xc0) == 0x80 && bytes[2] == 0) {
    code = ((bytes[0] & 0x1fu) << 6) | (bytes[1] & 0x3fu);
    if (code < 0xa1 || code == 0xad) // controls, the no-break space and the soft hyphen show nothing
      return {};
  } else {
    return {};
  }
  if (code >= 'a' && code <= 'z')
    code -= 'a' - 'A';
  else if (code >= 0xe0 && code <= 0xfe && code != 0xf7) // \u00e0 to \u00fe but the division sign
    code -= 0x20;
  std::string text;
  if (code < 0x80) {
    text += static_cast<char>(code);
  } else {
    text += static_cast<char>(0xc0 | (code >> 6));
    text += static_cast<char>(0x80 | (code & 0x3f));
  }
  return text;
}

} // namespace

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool sameInAnyCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool knownKey(int glfwKey) { return keyOf(glfwKey) != nullptr; }

bool knownPadControl(int control) { return control >= 0 && control < kPadControlCount; }

const char* keyFileName(int glfwKey) {
  const KeyName* key = keyOf(glfwKey);
  return key ? key->file : nullptr;
}

std::optional<int> keyFromFileName(std::string_view name) {
  name = trimmed(name);
  for (const KeyName& key : kKeys)
    if (sameInAnyCase(name, key.file))
      return key.code;
  return std::nullopt;
}

const char* padControlFileName(int control) { return knownPadControl(control) ? kPadControls[control].file : nullptr; }

std::optional<int> padControlFromFileName(std::string_view name) {
  name = trimmed(name);
  for (int c = 0; c < kPadControlCount; ++c)
    if (sameInAnyCase(name, kPadControls[c].file))
      return c;
  return std::nullopt;
}

const char* codeFileName(Device device, int code) {
  return device == Device::Keyboard ? keyFileName(code) : padControlFileName(code);
}

std::optional<int> codeFromFileName(Device device, std::string_view name) {
  return device == Device::Keyboard ? keyFromFileName(name) : padControlFromFileName(name);
}

std::string keyDisplayName(int glfwKey, const char* layoutName) {
  if (glfwKey == kUnbound)
    return {};
  const KeyName* key = keyOf(glfwKey);
  if (!key)
    return "Taste " + std::to_string(glfwKey);
  if (key->shown == Shown::Named)
    return key->display;
  // NOTE: a layout names a keypad key by the character it types, the same
  // as the main block's: "Num" tells them apart.
  std::string shown = latin1Capital(layoutName);
  if (shown.empty())
    shown = key->display;
  return key->shown == Shown::Keypad ? "Num " + shown : shown;
}

std::string padControlDisplayName(int control) {
  if (control == kUnbound)
    return {};
  if (!knownPadControl(control))
    return "Knopf " + std::to_string(control);
  return kPadControls[control].display;
}

const char* actionFileName(Action action) { return kActions[static_cast<int>(action)].file; }

std::optional<Action> actionFromFileName(std::string_view name) {
  name = trimmed(name);
  for (int a = 0; a < kActionCount; ++a)
    if (sameInAnyCase(name, kActions[a].file))
      return static_cast<Action>(a);
  return std::nullopt;
}

const char* actionLabel(Action action) { return kActions[static_cast<int>(action)].label; }

std::string bindingLineName(Action action, Device device) {
  return device == Device::Pad ? kPadLinePrefix + std::string(actionFileName(action)) : actionFileName(action);
}
