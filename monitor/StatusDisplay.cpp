// The status display's layout and its rules: lives, health, score and speed
// are written only when they change, the statistics row every frame while it
// is shown, and a setting notice every frame while it is active.
#include "monitor/StatusDisplay.h"

#include "base/Console.h"

namespace {

// Lower-left corners and sizes in the screen texture, in texels.
constexpr int kLivesX = 100, kLivesY = 212, kLivesWidth = 128, kLivesHeight = 64;
constexpr int kHealthX = 100, kHealthY = 296, kHealthSize = 128;
constexpr int kScorePanelX = 248, kScorePanelY = 296, kScorePanelWidth = 340, kScorePanelHeight = 88;
constexpr int kScoreDigitsX = 546, kScoreDigitsY = 306; // rightmost digit
constexpr int kSpeedX = 297, kSpeedY = 358, kSpeedWidth = 242, kSpeedHeight = 86;
constexpr int kDigitWidth = 32, kDigitHeight = 44;
// Digits that fit on a number's background, leftward from its rightmost slot:
// the score panel holds ten (any int), a statistics slot six.
constexpr int kScoreDigitCount = 10;
constexpr int kStatsDigitCount = 6;

// the statistics row: three slots with the frame rate and the objects drawn
constexpr int kStatsY = 957;
constexpr int kStatsDigitsY = 965;
constexpr int kSlotWidth = 218, kSlotHeight = 52;
constexpr int kSlotX[3] = {25, 243, 461};
constexpr int kFpsLabelWidth = 90;
constexpr int kFpsDigitsX = 211;
constexpr int kObjectsDigitsX = 647;

// the setting notice, over the lower-left of the video
constexpr int kNoticeLabelX = 100, kNoticeValueX = 318, kNoticeY = 444;
constexpr double kNoticeSeconds = 2.0;

constexpr int kHealthCount = 7;
constexpr int kLivesCount = 10;
constexpr int kSpeedCount = 9;
constexpr int kDigitCount = 10;

const char* const kRangeMessage = "Fehler! Lebensanzahl hat einen ungueltigen Wert: ";

} // namespace

const std::vector<StatusWrite>& StatusDisplay::refresh(double dt, const PlayerStatus* player, const GameStatus& game) {
  writes.clear();

  if (player) {
    if (player->lives != shownLives)
      writeRangedImage(StatusPicture::Lives, player->lives, kLivesCount, kLivesX, kLivesY, kLivesWidth, kLivesHeight);
    shownLives = player->lives;

    if (player->health != shownHealth)
      writeRangedImage(StatusPicture::Health, player->health, kHealthCount, kHealthX, kHealthY, kHealthSize,
                       kHealthSize);
    shownHealth = player->health;

    if (player->score != shownScore) {
      writeImage(StatusPicture::ScorePanel, kScorePanelX, kScorePanelY, kScorePanelWidth, kScorePanelHeight);
      writeNumber(player->score, kScoreDigitsX, kScoreDigitsY, kScoreDigitCount);
      endElement();
      shownSpeed = -1; // the panel covers part of the speed indicator
    }
    shownScore = player->score;

    if (player->speedDisplay != shownSpeed)
      writeRangedImage(StatusPicture::Speed, player->speedDisplay, kSpeedCount, kSpeedX, kSpeedY, kSpeedWidth,
                       kSpeedHeight);
    shownSpeed = player->speedDisplay;
  }

  if (game.showStats) {
    writeStatisticsRow(game);
    statsShown = true;
  } else if (statsShown) {
    blankStatisticsRow();
    statsShown = false;
  }

  settingNoticeTime -= dt;
  if (settingNoticeTime <= 0.0)
    settingNoticeKind = 0;
  announceSetting(1, game.linearFiltering, shownLinearFiltering, StatusPicture::SamplingLabel,
                  game.linearFiltering ? StatusPicture::Bilinear : StatusPicture::Nearest);
  const StatusPicture mipmapFilter = game.mipmapLinear ? StatusPicture::Linear : StatusPicture::Nearest;
  announceSetting(2, game.mipmapping, shownMipmapping, StatusPicture::MipmapLabel,
                  game.mipmapping ? mipmapFilter : StatusPicture::Off);
  announceSetting(3, game.mipmapLinear, shownMipmapLinear, StatusPicture::MipmapLabel, mipmapFilter);

  return writes;
}

// One element showing entry `value` of a numbered set; a value outside the
// set is reported and shows entry 0.
void StatusDisplay::writeRangedImage(StatusPicture picture, int value, int count, int x, int y, int width, int height) {
  int index = value;
  if (value < 0 || value >= count) {
    messageStream() << kRangeMessage << value << std::endl;
    index = 0;
  }
  writes.push_back({picture, index, x, y, width, height, false});
  endElement();
}

void StatusDisplay::writeImage(StatusPicture picture, int x, int y, int width, int height) {
  writes.push_back({picture, 0, x, y, width, height, false});
}

// Digits from the rightmost slot leftward, without leading zeros (0 shows one
// digit). The game's counters are never negative; a negative one shows as 0
// rather than picking a digit outside the set. A value longer than its
// background shows as all nines rather than spilling onto the neighbouring
// element or past the texture's edge.
void StatusDisplay::writeNumber(int value, int rightmostX, int y, int maxDigits) {
  if (value < 0)
    value = 0;
  long long largest = 1;
  for (int i = 0; i < maxDigits; ++i)
    largest *= 10;
  if (value > largest - 1)
    value = int(largest - 1);
  int x = rightmostX;
  do {
    writes.push_back({StatusPicture::Digit, value % kDigitCount, x, y, kDigitWidth, kDigitHeight, false});
    x -= kDigitWidth;
    value /= kDigitCount;
  } while (value != 0);
}

void StatusDisplay::endElement() {
  if (!writes.empty())
    writes.back().endsElement = true;
}

void StatusDisplay::writeStatisticsRow(const GameStatus& game) {
  writeImage(StatusPicture::EmptySlot, kSlotX[0], kStatsY, kSlotWidth, kSlotHeight);
  writeImage(StatusPicture::FpsLabel, kSlotX[0], kStatsY, kFpsLabelWidth, kSlotHeight);
  writeNumber(game.fps, kFpsDigitsX, kStatsDigitsY, kStatsDigitCount);
  writeImage(StatusPicture::EmptySlot, kSlotX[1], kStatsY, kSlotWidth, kSlotHeight);
  writeImage(StatusPicture::ObjectsLabel, kSlotX[1], kStatsY, kSlotWidth, kSlotHeight);
  writeImage(StatusPicture::EmptySlot, kSlotX[2], kStatsY, kSlotWidth, kSlotHeight);
  writeNumber(game.objectsDrawn, kObjectsDigitsX, kStatsDigitsY, kStatsDigitCount);
  endElement();
}

void StatusDisplay::blankStatisticsRow() {
  for (int x : kSlotX)
    writeImage(StatusPicture::EmptySlot, x, kStatsY, kSlotWidth, kSlotHeight);
  endElement();
}

// A notice is written when its setting changed since it was last announced,
// and every frame while it is the one on the screen. A change restarts the
// time; a later check in the same frame takes the screen over.
void StatusDisplay::announceSetting(int kind, bool setting, bool& shownSetting, StatusPicture label,
                                    StatusPicture value) {
  const bool changed = setting != shownSetting;
  if (changed || settingNoticeKind == kind) {
    writeImage(label, kNoticeLabelX, kNoticeY, kSlotWidth, kSlotHeight);
    writeImage(value, kNoticeValueX, kNoticeY, kSlotWidth, kSlotHeight);
    endElement();
    settingNoticeKind = kind;
    if (changed)
      settingNoticeTime = kNoticeSeconds;
  }
  shownSetting = setting;
}
