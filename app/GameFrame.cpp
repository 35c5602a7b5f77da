#include "app/GameFrame.h"

#include "app/FrameActions.h"
#include "app/FrameSource.h"

AfterFrame GameFrame::play() {
  if (!steps.running())
    return AfterFrame::End;
  recording::Frame frame;
  if (!source.next(frame))
    return AfterFrame::End; // the recorded game is over
  if (source.quitRequested())
    return AfterFrame::End; // also while paused

  // what the window asked for since the previous frame
  if (source.windowModeRequested()) {
    steps.toggleWindowMode();
    windowChanged = true;
  }
  if (steps.windowChanged())
    windowChanged = true;

  if (source.applyAndRecord(frame))
    steps.play(frame.dt);
  steps.showPause(source.paused());
  const bool standsStill = source.paused() && pausedPictureShown && !windowChanged;
  if (source.drawsFrame() && !standsStill) {
    steps.draw();
    windowChanged = false;
  }
  pausedPictureShown = source.paused(); // drawn now, or standing since
  steps.reportGlError();

  if (!steps.running())
    return AfterFrame::End;
  return pausedPictureShown ? AfterFrame::Idle : AfterFrame::Continue;
}
