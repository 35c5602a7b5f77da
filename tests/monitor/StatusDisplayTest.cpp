// The status display's decisions without pixels: which elements a frame
// writes, where their images go, when the mipmap chain is regenerated, the
// setting notices and the range message.
#include "monitor/StatusDisplay.h"
#include "tests/support/MessageCapture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

// Compared as a whole so a failure names the write that differs.
static bool operator==(const StatusWrite& a, const StatusWrite& b) {
  return a.picture == b.picture && a.index == b.index && a.x == b.x && a.y == b.y && a.width == b.width &&
         a.height == b.height && a.endsElement == b.endsElement;
}

static std::ostream& operator<<(std::ostream& out, const StatusWrite& w) {
  return out << "{picture " << static_cast<int>(w.picture) << " #" << w.index << " at (" << w.x << ", " << w.y << ") "
             << w.width << "x" << w.height << (w.endsElement ? " +mipmaps" : "") << "}";
}

namespace felidora::test {
namespace {

using P = StatusPicture;
using Writes = std::vector<StatusWrite>;

constexpr GameStatus kQuiet{false, 0, 0, true, true, true};

class StatusDisplayRules : public ::testing::Test {
protected:
  // A display that has shown this player once and has nothing left to write.
  void settle(const PlayerStatus& shown) { display.refresh(0.016, &shown, kQuiet); }

  static int elements(const Writes& writes) {
    int count = 0;
    for (const StatusWrite& w : writes)
      count += w.endsElement;
    return count;
  }

  StatusDisplay display;
  PlayerStatus player{0, 6, 0, 2};
};

TEST_F(StatusDisplayRules, FirstFrameWritesLivesHealthScoreWithOneZeroAndSpeed) {
  MessageCapture messages;
  const Writes expected{
      {P::Lives, 0, 100, 212, 128, 64, true},       {P::Health, 6, 100, 296, 128, 128, true},
      {P::ScorePanel, 0, 248, 296, 340, 88, false}, {P::Digit, 0, 546, 306, 32, 44, true},
      {P::Speed, 2, 297, 358, 242, 86, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, kQuiet), expected);
  EXPECT_EQ(messages.text(), "");
  EXPECT_EQ(display.settingNoticeKind, 0) << "the settings start as the game's";
}

TEST_F(StatusDisplayRules, UnchangedValuesWriteNothing) {
  settle(player);
  EXPECT_TRUE(display.refresh(0.016, &player, kQuiet).empty());
}

TEST_F(StatusDisplayRules, EachValueRewritesOnlyItsElement) {
  settle(player);
  player.lives = 2;
  EXPECT_EQ(display.refresh(0.016, &player, kQuiet), (Writes{{P::Lives, 2, 100, 212, 128, 64, true}}));
  player.health = 3;
  EXPECT_EQ(display.refresh(0.016, &player, kQuiet), (Writes{{P::Health, 3, 100, 296, 128, 128, true}}));
  player.speedDisplay = 8;
  EXPECT_EQ(display.refresh(0.016, &player, kQuiet), (Writes{{P::Speed, 8, 297, 358, 242, 86, true}}));
}

TEST_F(StatusDisplayRules, ScoreChangeRewritesTheOverlappedSpeedElement) {
  settle(player);
  player.score = 305;
  const Writes expected{
      {P::ScorePanel, 0, 248, 296, 340, 88, false}, {P::Digit, 5, 546, 306, 32, 44, false},
      {P::Digit, 0, 514, 306, 32, 44, false},       {P::Digit, 3, 482, 306, 32, 44, true},
      {P::Speed, 2, 297, 358, 242, 86, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, kQuiet), expected);
  EXPECT_EQ(display.shownSpeed, 2);
}

TEST_F(StatusDisplayRules, DigitsRunFromTheRightWithoutLeadingZeros) {
  settle(player);
  player.score = 1000;
  const Writes& writes = display.refresh(0.016, &player, kQuiet);
  ASSERT_EQ(writes.size(), 6u);
  EXPECT_EQ(writes[1], (StatusWrite{P::Digit, 0, 546, 306, 32, 44, false}));
  EXPECT_EQ(writes[4], (StatusWrite{P::Digit, 1, 450, 306, 32, 44, true}));
}

TEST_F(StatusDisplayRules, EveryRangedElementReportsWithTheSameText) {
  MessageCapture messages;
  const PlayerStatus broken{10, -3, 0, 9};
  const Writes& writes = display.refresh(0.016, &broken, kQuiet);
  EXPECT_EQ(messages.text(), "Fehler! Lebensanzahl hat einen ungueltigen Wert: 10\n"
                             "Fehler! Lebensanzahl hat einen ungueltigen Wert: -3\n"
                             "Fehler! Lebensanzahl hat einen ungueltigen Wert: 9\n");
  ASSERT_EQ(writes.size(), 5u);
  EXPECT_EQ(writes[0].index, 0);
  EXPECT_EQ(writes[1].index, 0);
  EXPECT_EQ(writes[4].index, 0);
  // the top of each range is still shown as itself
  const PlayerStatus top{9, 6, 0, 8};
  messages.clear();
  const Writes& next = display.refresh(0.016, &top, kQuiet);
  EXPECT_EQ(messages.text(), "");
  EXPECT_EQ(next[0].index, 9);
  EXPECT_EQ(next[1].index, 6);
  EXPECT_EQ(next[2].index, 8);
}

TEST_F(StatusDisplayRules, NoPlayerLeavesThePlayerElementsWaiting) {
  EXPECT_TRUE(display.refresh(0.016, nullptr, kQuiet).empty());
  EXPECT_EQ(elements(display.refresh(0.016, &player, kQuiet)), 4);
}

TEST_F(StatusDisplayRules, StatisticsRowIsOneElementRewrittenEveryFrame) {
  settle(player);
  const GameStatus stats{true, 57, 20, true, true, true};
  const Writes expected{
      {P::EmptySlot, 0, 25, 957, 218, 52, false},  {P::FpsLabel, 0, 25, 957, 90, 52, false},
      {P::Digit, 7, 211, 965, 32, 44, false},      {P::Digit, 5, 179, 965, 32, 44, false},
      {P::EmptySlot, 0, 243, 957, 218, 52, false}, {P::ObjectsLabel, 0, 243, 957, 218, 52, false},
      {P::EmptySlot, 0, 461, 957, 218, 52, false}, {P::Digit, 0, 647, 965, 32, 44, false},
      {P::Digit, 2, 615, 965, 32, 44, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, stats), expected);
  EXPECT_EQ(display.refresh(0.016, &player, stats), expected);
}

TEST_F(StatusDisplayRules, FilterChangeShowsTheSamplingNoticeForTwoSecondsAndASecondChangeRestartsIt) {
  settle(player);
  const GameStatus nearest{false, 0, 0, false, true, true};
  const Writes notice{
      {P::SamplingLabel, 0, 100, 444, 218, 52, false},
      {P::Nearest, 0, 318, 444, 218, 52, true},
  };
  EXPECT_EQ(display.refresh(0.5, &player, nearest), notice);
  EXPECT_EQ(display.settingNoticeKind, 1);
  EXPECT_EQ(display.settingNoticeTime, 2.0);
  for (double t : {0.5, 1.0, 1.5})
    EXPECT_EQ(display.refresh(0.5, &player, nearest), notice) << t << " s after the change";
  EXPECT_TRUE(display.refresh(0.5, &player, nearest).empty()) << "2.0 s after the change";
  EXPECT_EQ(display.settingNoticeKind, 0);

  // changed back, and again 1.5 s later: two seconds from the second change
  const GameStatus bilinear{false, 0, 0, true, true, true};
  EXPECT_EQ(display.refresh(0.5, &player, bilinear),
            (Writes{{P::SamplingLabel, 0, 100, 444, 218, 52, false}, {P::Bilinear, 0, 318, 444, 218, 52, true}}));
  for (int i = 0; i < 2; ++i)
    display.refresh(0.5, &player, bilinear);
  EXPECT_EQ(display.refresh(0.5, &player, nearest), notice) << "1.5 s after the first change";
  for (double t : {0.5, 1.0, 1.5})
    EXPECT_EQ(display.refresh(0.5, &player, nearest), notice) << t << " s after the second change";
  EXPECT_TRUE(display.refresh(0.5, &player, nearest).empty()) << "2.0 s after the second change";
}

TEST_F(StatusDisplayRules, MipmapKeyFromOnToOffShowsOff) {
  settle(player);
  const Writes notice{
      {P::MipmapLabel, 0, 100, 444, 218, 52, false},
      {P::Off, 0, 318, 444, 218, 52, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, {false, 0, 0, true, false, true}), notice);
  EXPECT_EQ(display.settingNoticeKind, 2);
}

TEST_F(StatusDisplayRules, OnePressChangingBothMipmapSettingsLeavesKindThree) {
  settle(player);
  display.refresh(0.016, &player, {false, 0, 0, true, false, true});
  const GameStatus nearestLevels{false, 0, 0, true, true, false};
  const Writes both{
      {P::MipmapLabel, 0, 100, 444, 218, 52, false},
      {P::Nearest, 0, 318, 444, 218, 52, true},
      {P::MipmapLabel, 0, 100, 444, 218, 52, false},
      {P::Nearest, 0, 318, 444, 218, 52, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, nearestLevels), both);
  EXPECT_EQ(display.settingNoticeKind, 3);
  EXPECT_EQ(elements(display.refresh(0.016, &player, nearestLevels)), 1) << "only kind 3 stays";
  // the next press: nearest to linear between levels, still kind 3
  const Writes linear{
      {P::MipmapLabel, 0, 100, 444, 218, 52, false},
      {P::Linear, 0, 318, 444, 218, 52, true},
  };
  EXPECT_EQ(display.refresh(0.016, &player, {false, 0, 0, true, true, true}), linear);
  EXPECT_EQ(display.settingNoticeKind, 3);
}

TEST_F(StatusDisplayRules, NewerNoticeTakesTheScreenOver) {
  settle(player);
  display.refresh(0.1, &player, {false, 0, 0, false, true, true});
  EXPECT_EQ(display.settingNoticeKind, 1);
  display.refresh(0.1, &player, {false, 0, 0, false, false, true});
  EXPECT_EQ(display.settingNoticeKind, 2);
  const Writes& writes = display.refresh(0.1, &player, {false, 0, 0, false, false, true});
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].picture, P::MipmapLabel);
  EXPECT_EQ(writes[1].picture, P::Off);
}

TEST_F(StatusDisplayRules, NoticeIsWrittenAfterTheStatusElements) {
  const Writes& writes = display.refresh(0.016, &player, {true, 1, 1, false, true, true});
  ASSERT_GE(writes.size(), 2u);
  EXPECT_EQ(writes[writes.size() - 2].picture, P::SamplingLabel);
  EXPECT_EQ(elements(writes), 6); // lives, health, score, speed, statistics, notice
}

TEST_F(StatusDisplayRules, ZeroAndHugeFrameTimes) {
  settle(player);
  const GameStatus nearest{false, 0, 0, false, true, true};
  display.refresh(0.0, &player, nearest);
  for (int i = 0; i < 100; ++i)
    EXPECT_FALSE(display.refresh(0.0, &player, nearest).empty()) << "no time passes at dt 0";
  EXPECT_TRUE(display.refresh(1.0e6, &player, nearest).empty());
  EXPECT_EQ(display.settingNoticeKind, 0);
}

} // namespace
} // namespace felidora::test
