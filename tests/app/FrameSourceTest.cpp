// Where frames come from, apart from a Game: the keys a pause keeps for the
// first played frame (and its replay), and the replay's drawing interval.
#include "app/FrameSource.h"
#include "app/KeyFlags.h"
#include "app/Recording.h"
#include "app/Replay.h"
#include "tests/support/KeySnapshots.h"
#include "tests/support/ProcessFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using felidora::test::keysOf;
using felidora::test::ProcessFolder;

double gClock = 0.0;
double testClock() { return gClock; }

// M and F2 tapped while paused, Left held through it: at once nothing
// changes; the first played frame mutes and holds F2 (Left not), the
// recording keeps them in that frame, and its replay mutes there too.
TEST(FrameSourceTest, MAndFunctionKeysPressedWhilePausedActInTheFirstPlayedFrameAndItsReplay) {
  const ProcessFolder folder("felidora-framesource-");
  const std::string path = folder.file("paused.rec");
  KeyFlags = KeyFlagTable{};
  {
    FrameSource source;
    ASSERT_TRUE(source.open("", path)) << source.error();
    bool pauseKey = false;
    source.useClock(testClock);
    source.useInput([&pauseKey] {
      FrameInput input;
      input.pause = pauseKey;
      pauseKey = false; // tapped
      return input;
    });
    source.startClock();
    const auto step = [&](const KeySnapshot& keys) {
      gClock += 0.02;
      recording::Frame frame;
      EXPECT_TRUE(source.next(frame));
      frame.keys = keys;
      return source.applyAndRecord(frame);
    };
    EXPECT_TRUE(step(keysOf({GameKey::Left})));
    pauseKey = true;
    EXPECT_TRUE(step(keysOf({GameKey::Left}))) << "a pause begins after the frame that asks for it";
    ASSERT_TRUE(source.paused());
    EXPECT_FALSE(step(keysOf({GameKey::Left, GameKey::M})));
    EXPECT_FALSE(step(keysOf({GameKey::Left, GameKey::F2})));
    EXPECT_FALSE(step(keysOf({GameKey::Left})));
    EXPECT_FALSE(KeyFlags.soundMuted);
    pauseKey = true;
    EXPECT_FALSE(step(keysOf({})));
    EXPECT_FALSE(source.paused());

    EXPECT_TRUE(step(keysOf({})));
    EXPECT_TRUE(KeyFlags.soundMuted);
    EXPECT_TRUE(KeyFlags.keyF2);
    EXPECT_FALSE(KeyFlags.keyLeft) << "a flight key held while paused moves nothing";
    EXPECT_TRUE(step(keysOf({})));
    EXPECT_TRUE(KeyFlags.soundMuted) << "kept keys act once";
    EXPECT_FALSE(KeyFlags.keyF2);
  }

  Replay replay;
  ASSERT_TRUE(replay.load(path, recording::contentFingerprint())) << replay.error();
  const std::vector<KeySnapshot> expected = {keysOf({GameKey::Left}), keysOf({GameKey::Left}),
                                             keysOf({GameKey::M, GameKey::F2}), keysOf({})};
  ASSERT_EQ(replay.frames(), static_cast<long long>(expected.size()));
  recording::Frame frame;
  for (const KeySnapshot& keys : expected) {
    ASSERT_TRUE(replay.nextFrame(frame));
    EXPECT_EQ(frame.keys, keys);
  }

  KeyFlags = KeyFlagTable{};
  FrameSource again;
  ASSERT_TRUE(again.open(path, "")) << again.error();
  while (again.next(frame))
    ASSERT_TRUE(again.applyAndRecord(frame));
  EXPECT_TRUE(KeyFlags.soundMuted);
  KeyFlags = KeyFlagTable{};
}

// FELIDORA_REPLAY_DRAW_EVERY: plain digits from 1, or its message, with a
// replay or without one; live play draws every frame whatever it says.
TEST(FrameSourceTest, DrawEveryTakesPlainDigitsFromOneOrSaysSoWithOrWithoutAReplay) {
  for (const std::string bad : {" 3", "+3", "3 ", "-3", "0", "3x", "0x10", "1e3", "99999999999999999999"}) {
    FrameSource live;
    EXPECT_FALSE(live.drawReplayEvery(bad)) << bad;
    EXPECT_EQ(live.error(), "FELIDORA_REPLAY_DRAW_EVERY braucht eine ganze Zahl ab 1: " + bad);
  }

  FrameSource live;
  EXPECT_TRUE(live.drawReplayEvery("3"));
  EXPECT_TRUE(live.drawReplayEvery(""));
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(live.drawsFrame());

  const ProcessFolder folder("felidora-framesource-");
  const std::string path = folder.file("empty.rec");
  {
    Recording recording;
    ASSERT_TRUE(recording.open(path, recording::contentFingerprint()));
  }
  for (const std::string good : {"1", "3", "007", "9223372036854775807"}) {
    FrameSource replay;
    ASSERT_TRUE(replay.open(path, "")) << replay.error();
    ASSERT_TRUE(replay.drawReplayEvery(good)) << good;
    const long long every = std::stoll(good);
    for (long long i = 0; i < 7; ++i)
      EXPECT_EQ(replay.drawsFrame(), i % every == 0) << good << ", frame " << i;
  }
}

} // namespace
