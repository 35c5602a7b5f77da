#include "app/OptionsScreen.h"

#include "app/KeyNames.h"
#include "monitor/OptionsPicture.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <utility>

namespace {

// UTF-8 characters, as the page's cells count them
std::size_t characters(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

constexpr int kVolumeStep = 10;
// after the actions: the two fixed keys, then the values and the reset
constexpr int kOptionsKeyRow = kActionCount;
constexpr int kQuitKeyRow = kActionCount + 1;
constexpr int kVolumeRow = kActionCount + 2;
constexpr int kWindowRow = kActionCount + 3;
constexpr int kVsyncRow = kActionCount + 4;
constexpr int kResetRow = kActionCount + 5;
constexpr int kRows = kActionCount + 6;

} // namespace

OptionsScreen::OptionsScreen(Settings& settings, std::function<const char*(int)> layoutName)
    : settings(settings), layoutName(std::move(layoutName)) {
  compose();
}

void OptionsScreen::open() {
  opened = true;
  selected = 0;
  waitingForBinding = false;
  notice.clear();
  compose();
}

void OptionsScreen::close() {
  opened = false;
  waitingForBinding = false;
}

int OptionsScreen::rowCount() const { return kRows; }

OptionsScreen::Row OptionsScreen::rowKind(int row) const {
  switch (row) {
  case kOptionsKeyRow: return Row::OptionsKey;
  case kQuitKeyRow: return Row::QuitKey;
  case kVolumeRow: return Row::Volume;
  case kWindowRow: return Row::Window;
  case kVsyncRow: return Row::Vsync;
  case kResetRow: return Row::Reset;
  default: return Row::Action;
  }
}

unsigned OptionsScreen::handle(const std::vector<int>& keysPressed, const PadControls& padPressed) {
  unsigned changes = kNothing;
  for (int key : keysPressed) {
    if (!opened)
      return changes;
    const bool startsWaiting = !waitingForBinding;
    changes |= press(key);
    // the press that starts a rebinding is not its key
    if (startsWaiting && waitingForBinding) {
      compose();
      return changes;
    }
  }
  for (int control = 0; control < kPadControlCount && opened; ++control) {
    if (!padPressed.test(static_cast<std::size_t>(control)))
      continue;
    const bool startsWaiting = !waitingForBinding;
    changes |= pressPad(control);
    if (startsWaiting && waitingForBinding)
      break;
  }
  if (changes & kPage)
    compose();
  return changes;
}

unsigned OptionsScreen::press(int key) {
  if (waitingForBinding) {
    if (key == GLFW_KEY_ESCAPE) {
      waitingForBinding = false;
      notice = "Abgebrochen";
      return kPage;
    }
    return bindTo(Device::Keyboard, key);
  }
  switch (key) {
  case GLFW_KEY_ESCAPE:
  case GLFW_KEY_F10: close(); return kClosed;
  case GLFW_KEY_UP: return select(-1);
  case GLFW_KEY_DOWN: return select(+1);
  case GLFW_KEY_LEFT: return change(-1);
  case GLFW_KEY_RIGHT: return change(+1);
  case GLFW_KEY_ENTER:
  case GLFW_KEY_KP_ENTER: return activate();
  case GLFW_KEY_DELETE:
  case GLFW_KEY_BACKSPACE:
    if (rowKind(selected) != Row::Action)
      return kNothing;
    settings.bindings.of(static_cast<Action>(selected), Device::Keyboard).fill(kUnbound);
    notice = std::string(actionLabel(static_cast<Action>(selected))) + ": keine Taste";
    return kPage | kBindings;
  default: return kNothing;
  }
}

unsigned OptionsScreen::pressPad(int control) {
  const auto is = [control](PadControl c) { return control == static_cast<int>(c); };
  if (waitingForBinding) {
    if (is(kOptionsPadButton)) {
      waitingForBinding = false;
      notice = "Abgebrochen";
      return kPage;
    }
    return bindTo(Device::Pad, control);
  }
  if (is(PadControl::DpadUp) || is(PadControl::LeftStickUp))
    return select(-1);
  if (is(PadControl::DpadDown) || is(PadControl::LeftStickDown))
    return select(+1);
  if (is(PadControl::DpadLeft) || is(PadControl::LeftStickLeft))
    return change(-1);
  if (is(PadControl::DpadRight) || is(PadControl::LeftStickRight))
    return change(+1);
  if (is(PadControl::A))
    return activate();
  if (is(PadControl::B) || is(kOptionsPadButton)) {
    close();
    return kClosed;
  }
  return kNothing;
}

unsigned OptionsScreen::select(int step) {
  selected = (selected + step + rowCount()) % rowCount();
  notice.clear();
  return kPage;
}

unsigned OptionsScreen::activate() {
  switch (rowKind(selected)) {
  case Row::Action:
    waitingForBinding = true;
    notice.clear();
    return kPage;
  case Row::Volume:
    settings.volume = settings.volume >= 100 ? 0 : std::min(100, settings.volume + kVolumeStep);
    return kPage | kVolume;
  case Row::Window:
  case Row::Vsync: return change(+1);
  case Row::Reset: {
    const Settings before = settings;
    const bool muted = settings.muted; // M is not on this screen
    settings = Settings{};
    settings.muted = muted;
    keysLost.reset();
    padLost.reset();
    notice = "Standard wiederhergestellt";
    unsigned changes = kPage;
    if (settings.bindings != before.bindings)
      changes |= kBindings;
    if (settings.volume != before.volume)
      changes |= kVolume;
    if (settings.fullScreen != before.fullScreen)
      changes |= kWindow;
    if (settings.vsync != before.vsync)
      changes |= kVsync;
    return changes;
  }
  case Row::OptionsKey:
  case Row::QuitKey: notice = "Esc, F10 und X am Gamepad bleiben fest"; return kPage;
  }
  return kNothing;
}

unsigned OptionsScreen::change(int step) {
  switch (rowKind(selected)) {
  case Row::Volume: settings.volume = std::clamp(settings.volume + step * kVolumeStep, 0, 100); return kPage | kVolume;
  case Row::Window: settings.fullScreen = !settings.fullScreen; return kPage | kWindow;
  case Row::Vsync: settings.vsync = !settings.vsync; return kPage | kVsync;
  default: return kNothing;
  }
}

unsigned OptionsScreen::bindTo(Device device, int code) {
  const auto action = static_cast<Action>(selected);
  const BindResult result = bind(settings.bindings, action, device, code);
  const std::string name = displayName(device, code);
  if (result.refused) {
    notice = name + " bleibt fest: andere Taste?";
    return kPage; // still waiting
  }
  waitingForBinding = false;
  std::bitset<kActionCount>& lost = device == Device::Keyboard ? keysLost : padLost;
  lost.reset(static_cast<std::size_t>(action));
  notice = std::string(actionLabel(action)) + ": " + name;
  if (result.takenFrom) {
    const Action other = *result.takenFrom;
    const ActionBinding& left = settings.bindings.of(other, device);
    const bool none = std::all_of(left.begin(), left.end(), [](int c) { return c == kUnbound; });
    if (none)
      lost.set(static_cast<std::size_t>(other));
    notice = name + " war bei " + actionLabel(other) + (none ? ": dort jetzt frei" : "");
  }
  return kPage | kBindings;
}

std::string OptionsScreen::displayName(Device device, int code) const {
  return device == Device::Keyboard ? keyDisplayName(code, layoutName ? layoutName(code) : nullptr)
                                    : padControlDisplayName(code);
}

std::string OptionsScreen::bindingText(Action action, Device device) const {
  std::vector<std::string> names;
  for (int code : settings.bindings.of(action, device))
    if (code != kUnbound)
      names.push_back(displayName(device, code));
  if (names.empty())
    return "-";
  std::string text = names.front();
  if (names.size() > 1) {
    // two that do not fit the cell: the first and how many more
    const std::string both = text + ", " + names[1];
    const std::size_t cell = OptionsPicture::kKeysCells;
    text = characters(both) <= cell ? both : text + (characters(text) + 3 <= cell ? " +1" : "+");
  }
  return text;
}

void OptionsScreen::compose() {
  OptionsPage& page = shown;
  page.title = "OPTIONEN";
  page.keysHeading = "Tastatur";
  page.padHeading = "Gamepad";
  page.rows.assign(static_cast<std::size_t>(rowCount()), OptionsRow{});
  for (int row = 0; row < rowCount(); ++row) {
    OptionsRow& r = page.rows[static_cast<std::size_t>(row)];
    r.selected = row == selected;
    switch (rowKind(row)) {
    case Row::Action: {
      const auto action = static_cast<Action>(row);
      r.label = actionLabel(action);
      r.keys = bindingText(action, Device::Keyboard);
      r.pad = bindingText(action, Device::Pad);
      r.waiting = r.selected && waitingForBinding;
      r.keysMarked = keysLost.test(static_cast<std::size_t>(row));
      r.padMarked = padLost.test(static_cast<std::size_t>(row));
      break;
    }
    case Row::OptionsKey:
      r.label = "Optionen";
      r.keys = "F10";
      r.pad = padControlDisplayName(static_cast<int>(kOptionsPadButton));
      r.locked = true;
      break;
    case Row::QuitKey:
      r.label = "Beenden/Zurück";
      r.keys = "Esc";
      r.pad = "B (hier)";
      r.locked = true;
      break;
    case Row::Volume:
      r.label = "Lautstärke";
      r.keys = std::to_string(settings.volume) + " %";
      break;
    case Row::Window:
      r.label = "Bildschirm";
      r.keys = settings.fullScreen
                   ? std::string("Vollbild")
                   : "Fenster " + std::to_string(settings.windowWidth) + "x" + std::to_string(settings.windowHeight);
      break;
    case Row::Vsync:
      r.label = "VSync";
      r.keys = settings.vsync ? "an" : "aus";
      break;
    case Row::Reset: r.label = "Standard wiederherstellen"; break;
    }
  }
  // the selection stays in view
  if (selected < page.firstVisibleRow)
    page.firstVisibleRow = selected;
  if (selected >= page.firstVisibleRow + kOptionsVisibleRows)
    page.firstVisibleRow = selected - kOptionsVisibleRows + 1;
  page.notice = notice;
  page.help = waitingForBinding ? "Taste oder Gamepad-Knopf drücken, Esc bricht ab"
                                : "Pfeile wählen, Eingabe ändert, Esc zurück";
}
