#include "app/GameFrame.h"

#include "app/FrameActions.h"
#include "app/FrameSource.h"

AfterFrame GameFrame::play() {
  if (!actions.running())
    return AfterFrame::End;
  recording::Frame frame;
  if (!source.next(frame))
    return AfterFrame::End; // the recorded game is over
  if (source.quitRequested())
    return AfterFrame::End; // also while paused

  // what the window asked for since the previous frame
  if (source.windowModeRequested()) {
    actions.toggleWindowMode();
    windowChanged = true;
  }
  if (actions.windowChanged())
    windowChanged = true;

  if (source.applyAndRecord(frame))
    actions.play(frame.dt);
  actions.showPause(source.paused());
  const bool standsStill = source.paused() && pausedPictureShown && !windowChanged;
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
