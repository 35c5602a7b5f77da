#include "app/SettingsFile.h"

#include "app/KeyNames.h"
#include "base/Console.h"
#include "base/Platform.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <optional>
#include <ostream>
#include <utility>

namespace {

constexpr const char* kFileName = "einstellungen.ini";
constexpr const char* kDamagedSuffix = ".defekt";
constexpr const char* kTemporarySuffix = ".tmp";

// A settings file is a few hundred bytes: more is read no further.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
// A file of nothing but bad lines is named this far, then counted.
constexpr int kMaxNamedLines = 20;
// How much of a bad line, or of a name in it, a message shows.
constexpr std::size_t kShownLineLength = 60;
constexpr std::size_t kShownNameLength = 24;

constexpr int kMaxVolume = 100;
constexpr int kMinWindowWidth = Settings::kMinWindowWidth;
constexpr int kMinWindowHeight = Settings::kMinWindowHeight;
constexpr int kMaxWindowSize = Settings::kMaxWindowSide;

constexpr const char* kHeader = "# Felidora: Einstellungen. Tasten wie SPACE, LEFT, F5, K, 7; "
                                "Gamepad wie A, RIGHT_BUMPER, LEFT_STICK_UP";
constexpr const char* kPadPrefix = "pad_";
constexpr const char* kFullScreen = "fullscreen";

bool printable(unsigned char byte) { return byte >= 0x20 && byte < 0x7f; }

// A control character other than the tab: no text file has one in a line.
// Bytes beyond ASCII may be UTF-8 and are taken as text.
bool binaryByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

// The text as a message shows it: printable ASCII, every other byte (and
// the backslash) as \xNN, cut (never inside an \xNN) after `limit`
// characters.
std::string shown(std::string_view text, std::size_t limit) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
    const std::string piece = printable(byte) && byte != '\\' ? std::string(1, text[i]) : std::string(escaped);
    if (out.size() + piece.size() > limit)
      return out + "...";
    out += piece;
  }
  return out;
}

// A whole number of at most `digits` digits, nothing else.
std::optional<int> wholeNumber(std::string_view text, std::size_t digits) {
  if (text.empty() || text.size() > digits)
    return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::optional<bool> onOff(std::string_view text) {
  if (sameInAnyCase(text, "on"))
    return true;
  if (sameInAnyCase(text, "off"))
    return false;
  return std::nullopt;
}

const char* onOffText(bool on) { return on ? "on" : "off"; }

std::string codeKind(Device device) { return device == Device::Keyboard ? "Taste" : "Gamepad-Knopf"; }

// Frees the code from the binding, keeping its other code in the first slot.
bool release(ActionBinding& binding, int code) {
  bool held = false;
  for (int& slot : binding)
    if (slot == code) {
      slot = kUnbound;
      held = true;
    }
  if (binding[0] == kUnbound)
    std::swap(binding[0], binding[1]);
  return held;
}

// Reads "CODE, CODE" (or nothing: unbound) as the device's codes; the
// reason when it cannot.
std::optional<std::string> readBinding(std::string_view value, Device device, ActionBinding& binding) {
  binding = {kUnbound, kUnbound};
  if (value.empty())
    return std::nullopt;
  std::size_t slot = 0;
  for (;;) {
    const std::size_t comma = value.find(',');
    const std::string_view item = trimmed(value.substr(0, comma));
    if (item.empty())
      return std::string("leerer Eintrag");
    if (slot == binding.size())
      return "mehr als " + std::to_string(kBindingsPerAction) + " Eintraege";
    const std::optional<int> code = codeFromFileName(device, item);
    if (!code)
      return std::string(device == Device::Keyboard ? "unbekannte Taste \"" : "unbekannter Gamepad-Knopf \"") +
             shown(item, kShownNameLength) + "\"";
    binding[slot++] = *code;
    if (comma == std::string_view::npos)
      return std::nullopt;
    value.remove_prefix(comma + 1);
  }
}

// "fullscreen", a size "800x600", or both, comma-separated.
std::optional<std::string> readWindow(std::string_view value, Settings& settings) {
  const std::string wanted = std::string("\"") + kFullScreen + "\" oder Groesse " + std::to_string(kMinWindowWidth) +
                             "x" + std::to_string(kMinWindowHeight) + " bis " + std::to_string(kMaxWindowSize) + "x" +
                             std::to_string(kMaxWindowSize) + " erwartet";
  bool fullScreen = false;
  std::optional<std::pair<int, int>> size;
  for (;;) {
    const std::size_t comma = value.find(',');
    const std::string_view item = trimmed(value.substr(0, comma));
    if (sameInAnyCase(item, kFullScreen) && !fullScreen) {
      fullScreen = true;
    } else {
      const std::size_t x = std::min(item.find('x'), item.find('X'));
      if (x == std::string_view::npos || size)
        return wanted;
      const std::optional<int> width = wholeNumber(trimmed(item.substr(0, x)), 5);
      const std::optional<int> height = wholeNumber(trimmed(item.substr(x + 1)), 5);
      if (!width || !height || *width < kMinWindowWidth || *width > kMaxWindowSize || *height < kMinWindowHeight ||
          *height > kMaxWindowSize)
        return wanted;
      size = std::pair(*width, *height);
    }
    if (comma == std::string_view::npos)
      break;
    value.remove_prefix(comma + 1);
  }
  settings.fullScreen = fullScreen;
  if (size) {
    settings.windowWidth = size->first;
    settings.windowHeight = size->second;
  }
  return std::nullopt;
}

// The reading of one file's text: the settings so far, and the lines named.
class SettingsReader {
public:
  SettingsReading reading;

  void readLine(int number, std::string_view line) {
    const std::string_view content = trimmed(line);
    if (content.empty() || content.front() == '#')
      return;
    if (std::any_of(line.begin(), line.end(), binaryByte)) {
      bad(number, line, "unlesbare Zeichen");
      return;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) {
      bad(number, line, "kein \"=\"");
      return;
    }
    const std::string_view name = trimmed(content.substr(0, equals));
    const std::string_view value = trimmed(content.substr(equals + 1));
    if (const std::optional<std::string> why = readValue(number, line, name, value))
      bad(number, line, *why);
  }

  // The binding lines' codes, taken from the actions no line gave, then
  // tidied; the lines that lost a code are named.
  void finish() {
    Bindings& bindings = reading.settings.bindings;
    for (Device device : {Device::Keyboard, Device::Pad})
      for (int given = 0; given < kActionCount; ++given) {
        if (lineOf(device, given).number == 0)
          continue;
        for (int code : bindings.of(static_cast<Action>(given), device))
          for (int other = 0; other < kActionCount; ++other)
            if (code != kUnbound && lineOf(device, other).number == 0)
              release(bindings.of(static_cast<Action>(other), device), code);
      }
    const Bindings given = bindings;
    if (tidy(bindings).none())
      return;
    for (Device device : {Device::Keyboard, Device::Pad})
      for (int a = 0; a < kActionCount; ++a) {
        const auto action = static_cast<Action>(a);
        const ActionBinding& before = given.of(action, device);
        const ActionBinding& after = bindings.of(action, device);
        for (int code : before) {
          if (code == kUnbound || std::find(after.begin(), after.end(), code) != after.end())
            continue;
          const char* codeName = codeFileName(device, code);
          const std::string why = codeKind(device) + " \"" + (codeName ? codeName : std::to_string(code)) + "\" " +
                                  (reserved(device, code) ? "gesperrt" : "schon vergeben");
          const BindingLine& line = lineOf(device, a);
          const bool partly = after[0] != kUnbound;
          if (line.number == 0)
            named("Einstellungen, " + bindingLineName(action, device) + " bereinigt (" + why + ")");
          else
            bad(line.number, line.text, why, partly);
          break;
        }
      }
  }

  void finishNaming() {
    if (reading.badLines > kMaxNamedLines)
      messageStream() << "Einstellungen: " << reading.badLines - kMaxNamedLines << " weitere Zeilen unbrauchbar"
                      << std::endl;
  }

private:
  struct BindingLine {
    int number = 0; // 0: no line gave it
    std::string text;
  };

  BindingLine& lineOf(Device device, int action) {
    return bindingLines[device == Device::Keyboard ? 0 : 1][static_cast<std::size_t>(action)];
  }

  std::optional<std::string> readValue(int lineNumber, std::string_view line, std::string_view name,
                                       std::string_view value) {
    Settings& settings = reading.settings;
    Device device = Device::Keyboard;
    std::string_view actionName = name;
    const std::size_t prefix = std::char_traits<char>::length(kPadPrefix);
    if (name.size() > prefix && sameInAnyCase(name.substr(0, prefix), kPadPrefix)) {
      device = Device::Pad;
      actionName = name.substr(prefix);
    }
    if (const std::optional<Action> action = actionFromFileName(actionName)) {
      ActionBinding binding;
      if (std::optional<std::string> why = readBinding(value, device, binding))
        return why;
      settings.bindings.of(*action, device) = binding;
      lineOf(device, static_cast<int>(*action)) = {lineNumber, std::string(line)};
      return std::nullopt;
    }
    if (sameInAnyCase(name, "volume")) {
      const std::optional<int> volume = wholeNumber(value, 3);
      if (!volume || *volume > kMaxVolume)
        return "Zahl von 0 bis " + std::to_string(kMaxVolume) + " erwartet";
      settings.volume = *volume;
      return std::nullopt;
    }
    if (sameInAnyCase(name, "window"))
      return readWindow(value, settings);
    const bool vsync = sameInAnyCase(name, "vsync");
    if (vsync || sameInAnyCase(name, "mute")) {
      const std::optional<bool> on = onOff(value);
      if (!on)
        return std::string("\"on\" oder \"off\" erwartet");
      (vsync ? settings.vsync : settings.muted) = *on;
      return std::nullopt;
    }
    return "unbekannter Name \"" + shown(name, kShownNameLength) + "\"";
  }

  void bad(int number, std::string_view line, const std::string& why, bool partly = false) {
    named("Einstellungen, Zeile " + std::to_string(number) + (partly ? " teils" : "") + " unbrauchbar (" + why +
          "): " + shown(line, kShownLineLength));
  }

  void named(const std::string& message) {
    if (++reading.badLines <= kMaxNamedLines)
      messageStream() << message << std::endl;
  }

  std::array<std::array<BindingLine, kActionCount>, 2> bindingLines;
};

} // namespace

std::string settingsText(const Settings& settings) {
  std::string text = std::string(kHeader) + "\n";
  for (Device device : {Device::Keyboard, Device::Pad})
    for (int a = 0; a < kActionCount; ++a) {
      const auto action = static_cast<Action>(a);
      std::string codes;
      for (int code : settings.bindings.of(action, device))
        if (const char* name = codeFileName(device, code))
          codes += (codes.empty() ? " " : ", ") + std::string(name);
      text += bindingLineName(action, device) + " =" + codes + "\n";
    }
  const int width = std::clamp(settings.windowWidth, kMinWindowWidth, kMaxWindowSize);
  const int height = std::clamp(settings.windowHeight, kMinWindowHeight, kMaxWindowSize);
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  // NOTE: the window's size is kept while in full screen too, for the way
  // back; the default size goes without saying.
  const bool defaultSize = width == Settings().windowWidth && height == Settings().windowHeight;
  std::string window = size;
  if (settings.fullScreen)
    window = defaultSize ? std::string(kFullScreen) : kFullScreen + (", " + size);
  text += "volume = " + std::to_string(std::clamp(settings.volume, 0, kMaxVolume)) + "\n";
  text += "window = " + window + "\n";
  text += std::string("vsync = ") + onOffText(settings.vsync) + "\n";
  text += std::string("mute = ") + onOffText(settings.muted) + "\n";
  return text;
}

SettingsReading readSettingsText(std::string_view text) {
  // NOTE: editors on Windows may start the file with a byte order mark and
  // end its lines with "\r\n".
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    text.remove_prefix(kByteOrderMark.size());
  SettingsReader reader;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    reader.readLine(++number, line);
  }
  reader.finish();
  reader.finishNaming();
  return reader.reading;
}

SettingsFile::SettingsFile(std::filesystem::path path) : file(std::move(path)) {}

std::filesystem::path SettingsFile::defaultPath() {
  const std::filesystem::path folder = settingsFolder();
  return folder.empty() ? folder : folder / kFileName;
}

Settings SettingsFile::load() {
  if (file.empty())
    return Settings();
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found)
    return Settings();
  const bool regular = std::filesystem::is_regular_file(status);
  std::ifstream in;
  if (regular)
    in.open(file, std::ios::binary);
  std::string bytes(kMaxFileBytes + 1, '\0');
  if (in.is_open())
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!in.is_open() || in.bad()) {
    messageStream() << "Die Einstellungen koennen nicht gelesen werden: " << file.u8string() << std::endl;
    return Settings();
  }
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  const bool tooLarge = bytes.size() > kMaxFileBytes;
  if (tooLarge) {
    messageStream() << "Einstellungen: die Datei ist groesser als " << kMaxFileBytes / 1024
                    << " KiB, nur der Anfang gilt: " << file.u8string() << std::endl;
    const std::size_t lastLineEnd = bytes.rfind('\n', kMaxFileBytes - 1);
    bytes.resize(lastLineEnd == std::string::npos ? 0 : lastLineEnd + 1); // no line cut in two
  }
  const SettingsReading reading = readSettingsText(bytes);
  if (tooLarge || reading.badLines > 0)
    keepDamagedFile(reading.settings);
  return reading.settings;
}

bool SettingsFile::save(const Settings& settings) {
  if (file.empty()) {
    reportSaveFailure();
    return false;
  }
  std::error_code error;
  if (file.has_parent_path())
    std::filesystem::create_directories(file.parent_path(), error);
  std::filesystem::path temporary = file;
  temporary += kTemporarySuffix;
  // a left-over of a write that was cut short is no concern of anyone's
  std::filesystem::remove(temporary, error);
  if (writeFileToDisk(temporary, settingsText(settings)) && replaceFile(temporary, file))
    return true;
  std::filesystem::remove(temporary, error);
  reportSaveFailure();
  return false;
}

void SettingsFile::keepDamagedFile(const Settings& settings) {
  std::filesystem::path damaged = file;
  damaged += kDamagedSuffix;
  if (!copyFileToDisk(file, damaged)) {
    reportSaveFailure(); // the damaged file stays as it is
    return;
  }
  messageStream() << "Einstellungen: die alte Datei ist aufbewahrt als " << damaged.u8string() << std::endl;
  save(settings);
}

void SettingsFile::reportSaveFailure() {
  if (saveFailureReported)
    return;
  saveFailureReported = true;
  messageStream() << "Die Einstellungen koennen nicht gespeichert werden: " << file.u8string() << std::endl;
}
