#include "app/GameFrame.h"

#include "app/FrameActions.h"
#include "app/FrameSource.h"
#include "app/OptionsScreen.h"

namespace {

constexpr unsigned kSettingChanges =
    OptionsScreen::kBindings | OptionsScreen::kVolume | OptionsScreen::kWindow | OptionsScreen::kVsync;

} // namespace

AfterFrame GameFrame::play() {
  if (!actions.running())
    return AfterFrame::End;
  recording::Frame frame;
  if (!source.next(frame))
    return AfterFrame::End; // the recorded game is over
  const FrameInput& input = source.frameInput();
  if (input.quit)
    return AfterFrame::End; // also while paused
  const bool inOptions = options && options->isOpen();
  if (input.escape && !inOptions)
    return AfterFrame::End;
  const PageStep page = followOptions();

  // what the window asked for since the previous frame (the options screen
  // has its own row for it)
  if (!inOptions && source.windowModeRequested()) {
    actions.toggleWindowMode();
    windowChanged = true;
  }
  if (actions.windowChanged())
    windowChanged = true;

  if (source.applyAndRecord(frame))
    actions.play(frame.dt);
  // the page goes before the pause notice it lay over is taken away
  if (page == PageStep::Closed)
    actions.showOptions(nullptr);
  actions.showPause(source.paused());
  if (page == PageStep::Shown)
    actions.showOptions(&options->page());
  const bool standsStill = source.paused() && pausedPictureShown && !windowChanged && page == PageStep::None;
  if (source.drawsFrame() && !standsStill) {
    actions.draw();
    windowChanged = false;
  }
  pausedPictureShown = source.paused(); // drawn now, or standing since
  actions.reportGlError();

  if (!actions.running())
    return AfterFrame::End;
  return pausedPictureShown ? AfterFrame::Idle : AfterFrame::Continue;
}

GameFrame::PageStep GameFrame::followOptions() {
  if (!options || source.replaying())
    return PageStep::None;
  const FrameInput& input = source.frameInput();
  if (!options->isOpen()) {
    if (!input.options)
      return PageStep::None;
    options->open();
    source.setMenuOpen(true);
    return PageStep::Shown;
  }
  const unsigned changes = options->handle(input.keysPressed, input.padPressed);
  if (changes & kSettingChanges)
    actions.applySettings(changes & kSettingChanges);
  if (changes & OptionsScreen::kClosed) {
    source.setMenuOpen(false);
    return PageStep::Closed;
  }
  return (changes & OptionsScreen::kPage) ? PageStep::Shown : PageStep::None;
}
