// The status display's decisions on random frame sequences. Each frame draws
// lives, health, score, speed indicator, the statistics settings and the three
// filter settings (each kept, nudged, or set to a small, large or extreme int)
// and a frame time (0, -0, a frame, exactly the notice time, negative, tiny,
// huge or any finite double), sometimes without a player. Every write the
// display decides is checked against the layout of the 1024 x 1024 screen
// texture, literally restated here:
// - its picture and index name an existing image, and its size is that
//   image's size (so an upload reads exactly the image);
// - it lies inside the texture and inside its element: the fixed rectangle of
//   its picture, or for digits and statistics labels the background (score
//   panel or statistics slot) written last before them;
// - the monitor's upload guard, fed images that are sometimes missing, of
//   another size or shorter than their size claims, and textures of other
//   sizes, passes only writes whose image holds every byte the upload reads
//   and whose rectangle lies inside the texture;
// - lives, health, score and speed are written exactly when they change (speed
//   also when the score panel covered it), showing the value's image (image 0
//   out of range) and the score's decimal digits.
#include "tests/fuzz/StatusDisplayFuzz.h"

#include "monitor/Monitor.h"
#include "monitor/StatusDisplay.h"
#include "monitor/StatusImage.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/MessageSink.h"

#include <climits>
#include <limits>
#include <memory>
#include <sstream>
#include <vector>

namespace felidora::fuzz {
namespace {

constexpr unsigned kMaxFrames = 96;
constexpr int kPictureCount = int(StatusPicture::Off) + 1;

struct Rect {
  int x, y, width, height;
};

bool within(const Rect& inner, const Rect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
         inner.y + inner.height <= outer.y + outer.height;
}

const Rect kTexture{0, 0, 1024, 1024};
const Rect kLives{100, 212, 128, 64};
const Rect kHealth{100, 296, 128, 128};
const Rect kScorePanel{248, 296, 340, 88};
const Rect kSpeed{297, 358, 242, 86};
const Rect kSlots[3] = {{25, 957, 218, 52}, {243, 957, 218, 52}, {461, 957, 218, 52}};
const Rect kNoticeLabel{100, 444, 218, 52};
const Rect kNoticeValue{318, 444, 218, 52};

// How many images a picture's set holds, and their size.
struct ImageSet {
  int count, width, height;
};

ImageSet imageSet(StatusPicture picture) {
  switch (picture) {
  case StatusPicture::Health: return {7, 128, 128};
  case StatusPicture::Lives: return {10, 128, 64};
  case StatusPicture::Digit: return {10, 32, 44};
  case StatusPicture::Speed: return {9, 242, 86};
  case StatusPicture::ScorePanel: return {1, 340, 88};
  case StatusPicture::FpsLabel: return {1, 90, 52};
  default: return {1, 218, 52};
  }
}

// The images an upload could read: the right ones, shared by all inputs, and
// per input a few broken ones in their place.
class ImageTable {
public:
  explicit ImageTable(FuzzInput& in) {
    for (int p = 0; p < kPictureCount; ++p)
      for (int i = 0; i < imageSet(StatusPicture(p)).count; ++i)
        entries_[p][i] = &good(StatusPicture(p));
    for (unsigned broken = in.choice(4) == 0 ? 1 + in.choice(6) : 0; broken > 0; --broken) {
      const int p = int(in.choice(kPictureCount));
      const int i = int(in.choice(unsigned(imageSet(StatusPicture(p)).count)));
      owned_.push_back(std::make_unique<StatusImage>());
      StatusImage& image = *owned_.back();
      const ImageSet set = imageSet(StatusPicture(p));
      switch (in.choice(4)) {
      case 0: // missing
        break;
      case 1: // another size, consistent
        image.width = set.width + int(in.choice(5)) - 2;
        image.height = set.height + int(in.choice(5)) - 2;
        break;
      case 2: // width and height swapped
        image.width = set.height;
        image.height = set.width;
        break;
      default: // claims the right size but holds fewer bytes
        image.width = set.width;
        image.height = set.height;
        image.pixels.resize(std::size_t(set.width) * set.height * 4 - 1 - in.choice(64));
        entries_[p][i] = &image;
        continue;
      }
      if (image.width > 0 && image.height > 0)
        image.pixels.resize(std::size_t(image.width) * image.height * 4);
      else
        image.width = image.height = 0;
      entries_[p][i] = &image;
    }
  }

  // As the monitor looks images up: no image for an index outside the set.
  const StatusImage* find(StatusPicture picture, int index) const {
    const int p = int(picture);
    if (p < 0 || p >= kPictureCount || index < 0 || index >= imageSet(picture).count)
      return nullptr;
    return entries_[p][index];
  }

private:
  static const StatusImage& good(StatusPicture picture) {
    static std::vector<std::unique_ptr<StatusImage>> images(kPictureCount);
    std::unique_ptr<StatusImage>& image = images[int(picture)];
    if (!image) {
      const ImageSet set = imageSet(picture);
      image = std::make_unique<StatusImage>();
      image->width = set.width;
      image->height = set.height;
      image->pixels.assign(std::size_t(set.width) * set.height * 4, 0x7f);
    }
    return *image;
  }

  const StatusImage* entries_[kPictureCount][10] = {};
  std::vector<std::unique_ptr<StatusImage>> owned_;
};

// An int the game could hold, or one it never should.
int decodeValue(FuzzInput& in, int previous) {
  switch (in.choice(6)) {
  case 0: return previous;
  case 1: return int(in.choice(16)) - 3; // around the numbered sets
  case 2: {                              // one step from the last value
    const bool up = in.flag();
    if (previous == INT_MAX || (!up && previous != INT_MIN))
      return previous - 1;
    return previous + 1;
  }
  case 3: return int(in.u16());
  case 4: {
    const int extremes[] = {INT_MIN, INT_MAX, -1, 0, 999999, 1000000, 999999999, 1000000000};
    return extremes[in.choice(8)];
  }
  default: return int(in.u32());
  }
}

double decodeFrameTime(FuzzInput& in) {
  switch (in.choice(9)) {
  case 0: return 0.0;
  case 1: return -0.0;
  case 2: return 1.0 / 60.0;
  case 3: return 2.0;
  case 4: return 3.0 * in.unit();
  case 5: return -3.0 * in.unit();
  case 6: return std::numeric_limits<double>::denorm_min();
  case 7: return in.flag() ? std::numeric_limits<double>::max() : -1e300;
  default: return in.rawDouble();
  }
}

std::string describe(unsigned frame, std::size_t index, const StatusWrite& w, const std::string& what) {
  std::ostringstream out;
  out << "frame " << frame << ", write " << index << " (picture " << int(w.picture) << " index " << w.index << " at "
      << w.x << ", " << w.y << " size " << w.width << " x " << w.height << "): " << what;
  return out.str();
}

// Where a write may lie: its picture's fixed rectangle, or for digits and the
// statistics labels the background written before them in this frame.
bool inElement(const StatusWrite& w, const Rect* background) {
  const Rect r{w.x, w.y, w.width, w.height};
  switch (w.picture) {
  case StatusPicture::Lives: return within(r, kLives);
  case StatusPicture::Health: return within(r, kHealth);
  case StatusPicture::ScorePanel: return within(r, kScorePanel);
  case StatusPicture::Speed: return within(r, kSpeed);
  case StatusPicture::EmptySlot:
    for (const Rect& slot : kSlots)
      if (within(r, slot))
        return true;
    return false;
  case StatusPicture::Digit:
  case StatusPicture::FpsLabel:
  case StatusPicture::ObjectsLabel: return background && within(r, *background);
  case StatusPicture::SamplingLabel:
  case StatusPicture::MipmapLabel: return within(r, kNoticeLabel);
  default: return within(r, kNoticeValue);
  }
}

// Checks one write on its own; empty when it is sound.
std::string checkWrite(const StatusWrite& w, const Rect* background, const ImageTable& images, int textureWidth,
                       int textureHeight) {
  if (int(w.picture) < 0 || int(w.picture) >= kPictureCount)
    return "no such picture";
  const ImageSet set = imageSet(w.picture);
  if (w.index < 0 || w.index >= set.count)
    return "index outside the image set";
  if (w.width != set.width || w.height != set.height)
    return "rectangle differs from the image's size";
  if (!within({w.x, w.y, w.width, w.height}, kTexture))
    return "outside the screen texture";
  if (!inElement(w, background))
    return "outside its element";

  const StatusImage* image = images.find(w.picture, w.index);
  if (Monitor::uploadable(w, image, textureWidth, textureHeight)) {
    if (!within({w.x, w.y, w.width, w.height}, {0, 0, textureWidth, textureHeight}))
      return "upload outside the texture";
    if (std::size_t(w.width) * std::size_t(w.height) * 4 > image->pixels.size())
      return "upload reads past its image";
  }
  return {};
}

// Which player elements the frame must write.
struct Expected {
  bool lives, health, score, speed;
};

std::string checkPlayerElements(const std::vector<StatusWrite>& writes, const PlayerStatus* player,
                                const Expected& expected) {
  int lives = 0, health = 0, panels = 0, speed = 0;
  std::string digits;
  for (const StatusWrite& w : writes) {
    switch (w.picture) {
    case StatusPicture::Lives:
      ++lives;
      if (w.index != (player->lives >= 0 && player->lives <= 9 ? player->lives : 0))
        return "lives element shows the wrong image";
      break;
    case StatusPicture::Health:
      ++health;
      if (w.index != (player->health >= 0 && player->health <= 6 ? player->health : 0))
        return "health element shows the wrong image";
      break;
    case StatusPicture::ScorePanel: ++panels; break;
    case StatusPicture::Speed:
      ++speed;
      if (w.index != (player->speedDisplay >= 0 && player->speedDisplay <= 8 ? player->speedDisplay : 0))
        return "speed element shows the wrong image";
      break;
    case StatusPicture::Digit:
      if (w.y == kScorePanel.y + 10)
        digits.insert(digits.begin(), char('0' + w.index));
      break;
    default: break;
    }
  }
  if (lives != int(expected.lives) || health != int(expected.health) || panels != int(expected.score) ||
      speed != int(expected.speed))
    return "a player element is written although unchanged, or not written although changed";
  if (expected.score && digits != std::to_string(player->score < 0 ? 0 : player->score))
    return "score digits " + digits + " for score " + std::to_string(player->score);
  return {};
}

} // namespace

std::string checkStatusDisplayCase(const std::uint8_t* data, std::size_t size) {
  MessageSink sink;
  FuzzInput in(data, size);
  const ImageTable images(in);
  int textureWidth = kTexture.width, textureHeight = kTexture.height;
  if (in.choice(4) == 0) {
    textureWidth = int(in.u16() % 1100);
    textureHeight = int(in.u16() % 1100);
  }

  StatusDisplay display;
  PlayerStatus player{0, 0, 0, 0};
  GameStatus game{false, 0, 0, true, true, true};
  // the values last shown: -1 before the first frame with a player
  PlayerStatus last{-1, -1, -1, -1};

  for (unsigned frame = 0; frame < kMaxFrames && !in.exhausted(); ++frame) {
    const unsigned changes = in.byte();
    if (changes & 1)
      player.lives = decodeValue(in, player.lives);
    if (changes & 2)
      player.health = decodeValue(in, player.health);
    if (changes & 4)
      player.score = decodeValue(in, player.score);
    if (changes & 8)
      player.speedDisplay = decodeValue(in, player.speedDisplay);
    if (changes & 16) {
      game.fps = decodeValue(in, game.fps);
      game.objectsDrawn = decodeValue(in, game.objectsDrawn);
    }
    if (changes & 32) {
      const unsigned settings = in.byte();
      game.showStats = settings & 1;
      game.linearFiltering = settings & 2;
      game.mipmapping = settings & 4;
      game.mipmapLinear = settings & 8;
    }
    const bool withPlayer = !(changes & 64) || in.choice(4) != 0;
    const double dt = (changes & 128) ? decodeFrameTime(in) : 1.0 / 60.0;

    const std::vector<StatusWrite>& writes = display.refresh(dt, withPlayer ? &player : nullptr, game);

    const Rect* background = nullptr;
    for (std::size_t i = 0; i < writes.size(); ++i) {
      const StatusWrite& w = writes[i];
      const std::string fault = checkWrite(w, background, images, textureWidth, textureHeight);
      if (!fault.empty())
        return describe(frame, i, w, fault);
      if (w.picture == StatusPicture::ScorePanel)
        background = &kScorePanel;
      else if (w.picture == StatusPicture::EmptySlot)
        for (const Rect& slot : kSlots)
          if (slot.x == w.x)
            background = &slot;
    }
    if (!writes.empty() && !writes.back().endsElement)
      return "frame " + std::to_string(frame) + ": the last write does not end its element";
    if (display.settingNoticeKind < 0 || display.settingNoticeKind > 3)
      return "frame " + std::to_string(frame) + ": unknown setting notice " + std::to_string(display.settingNoticeKind);

    if (withPlayer) {
      // a new score panel covers the speed element, which then counts as never shown
      Expected expected{};
      expected.lives = player.lives != last.lives;
      expected.health = player.health != last.health;
      expected.score = player.score != last.score;
      expected.speed = player.speedDisplay != (expected.score ? -1 : last.speedDisplay);
      const std::string fault = checkPlayerElements(writes, &player, expected);
      if (!fault.empty())
        return "frame " + std::to_string(frame) + ": " + fault;
      last = player;
    } else {
      for (const StatusWrite& w : writes)
        if (w.picture == StatusPicture::Lives || w.picture == StatusPicture::Health ||
            w.picture == StatusPicture::ScorePanel || w.picture == StatusPicture::Speed)
          return "frame " + std::to_string(frame) + ": a player element is written without a player";
    }
  }
  return {};
}

} // namespace felidora::fuzz
