// The decisions of the monitor's status display, kept apart from GL: which
// elements change in a frame, where each of their images goes and when the
// mipmap chain is regenerated. The monitor turns each frame's list of writes
// into texture uploads.
#pragma once

#include <vector>

// The pictures a write can show; the numbered sets are indexed by value.
enum class StatusPicture {
  Health, // 0..6
  Lives,  // 0..9
  Digit,  // 0..9
  Speed,  // 0..8
  ScorePanel,
  FpsLabel,
  EmptySlot,
  ObjectsLabel,
  SamplingLabel,
  MipmapLabel,
  Linear,
  Bilinear,
  Nearest,
  Off,
  Pause,
};

// One image written into the screen texture with its lower-left texel at
// (x, y), rows counted upward from the texture's bottom row.
struct StatusWrite {
  StatusPicture picture;
  int index; // within a numbered set, 0 otherwise
  int x;
  int y;
  int width;
  int height;
  bool endsElement; // the mipmap chain is regenerated after this write
};

// What the display shows of the player.
struct PlayerStatus {
  int lives;
  int health;
  int score;
  int speedDisplay;
};

// What the display shows of the game: the statistics and the filter settings.
struct GameStatus {
  bool showStats;
  int fps;
  int objectsDrawn;
  bool linearFiltering;
  bool mipmapping;
  bool mipmapLinear;
};

class StatusDisplay {
public:
  // The pause notice, over the middle of the clip: the clip stands still
  // under it, and what it covers is put back when the game resumes.
  static StatusWrite pauseNotice() { return {StatusPicture::Pause, 0, 180, 564, 320, 120, true}; }

  // Decides this frame's writes, in the order they are to be made, and moves
  // the remembered values on. Out-of-range values are reported on the game's
  // message stream. Without a player its four elements wait for one.
  const std::vector<StatusWrite>& refresh(double dt, const PlayerStatus* player, const GameStatus& game);

  // the values each element last showed (-1: never, so the first frame writes all four)
  int shownLives = -1;
  int shownHealth = -1;
  int shownScore = -1;
  int shownSpeed = -1;
  bool statsShown = false;
  // the settings last announced; the game starts with all three on
  bool shownLinearFiltering = true;
  bool shownMipmapping = true;
  bool shownMipmapLinear = true;
  // the setting notice on the screen: 0 none, 1 texture filtering, 2 mip-mapping, 3 mip-map filter
  double settingNoticeTime = 0.0;
  int settingNoticeKind = 0;

  // this frame's writes (kept to reuse its storage)
  std::vector<StatusWrite> writes;

private:
  void writeRangedImage(StatusPicture picture, int value, int count, int x, int y, int width, int height);
  void writeImage(StatusPicture picture, int x, int y, int width, int height);
  void writeNumber(int value, int rightmostX, int y, int maxDigits);
  void endElement();
  void writeStatisticsRow(const GameStatus& game);
  void blankStatisticsRow();
  void announceSetting(int kind, bool setting, bool& shownSetting, StatusPicture label, StatusPicture value);
};
