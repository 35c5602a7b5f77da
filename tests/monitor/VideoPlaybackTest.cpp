// Video playback into the screen texture, checked against clips made here by
// the ffmpeg command-line tool and against the tool's own RGBA decode of them:
// picture content and placement, pacing, failures with their messages, and
// resources over hundreds of clips.
#include "monitor/VideoPlayback.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"
#include "tests/support/ProcessFolder.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using felidora::test::MessageCapture;
using felidora::test::ProcessFolder;

const ProcessFolder& clipFolder() {
  static const ProcessFolder folder("felidora_video_");
  return folder;
}

bool runTool(const std::string& arguments) {
  const std::string command = "ffmpeg -nostdin -v error -y " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// A clip made by the tool, with the tool's RGBA decode of all its pictures
// (top row first, as the tool writes them).
struct Clip {
  std::string path;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> reference;

  int pictureCount() const { return static_cast<int>(reference.size() / (width * height * 4)); }
  const std::uint8_t* picture(int i) const { return reference.data() + std::size_t(i) * width * height * 4; }
};

// Made once per process; the encoding's sources are finite so the tool stops.
const Clip& clip(const std::string& name, int width, int height, const std::string& encoding) {
  static std::map<std::string, Clip> made;
  auto found = made.find(name);
  if (found != made.end())
    return found->second;
  Clip c;
  c.path = clipFolder().file(name);
  c.width = width;
  c.height = height;
  const std::string raw = c.path + ".rgba";
  EXPECT_TRUE(runTool(encoding + " " + c.path)) << name;
  EXPECT_TRUE(runTool("-i " + c.path + " -fps_mode passthrough -pix_fmt rgba -f rawvideo " + raw)) << name;
  std::ifstream in(raw, std::ios::binary);
  c.reference.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return made.emplace(name, std::move(c)).first->second;
}

// The tool's test pattern (a different picture every time), ending by itself
// half a picture after the last one.
std::string testsrc(int width, int height, const std::string& rate, int pictures) {
  const std::size_t slash = rate.find('/');
  const double perSecond = slash == std::string::npos
                               ? std::stod(rate)
                               : std::stod(rate.substr(0, slash)) / std::stod(rate.substr(slash + 1));
  return "-f lavfi -i testsrc=size=" + std::to_string(width) + "x" + std::to_string(height) + ":rate=" + rate +
         ":duration=" + std::to_string((pictures + 0.5) / perSecond) + " -frames:v " + std::to_string(pictures);
}

// MPEG-2 at 25 pictures/s with B-pictures, behind an audio stream: the video
// is the second stream of the file and audio packets come between its own.
const Clip& mpeg2WithAudio() {
  return clip("mpeg2_audio.mpg", 160, 120,
              "-f lavfi -i sine=duration=0.48 " + testsrc(160, 120, "25", 12) +
                  " -map 0:a -map 1:v -c:v mpeg2video -g 12 -bf 2 -c:a mp2");
}

const Clip& mpeg2At25() { return clip("mpeg2_25.mpg", 160, 120, testsrc(160, 120, "25", 8) + " -c:v mpeg2video"); }

const Clip& mpeg2LowDelay() {
  return clip("mpeg2_lowdelay.mpg", 160, 120, testsrc(160, 120, "25", 4) + " -c:v mpeg2video -flags +low_delay");
}

const Clip& mpeg1At2997() {
  return clip("mpeg1_2997.mpg", 160, 120, testsrc(160, 120, "30000/1001", 8) + " -c:v mpeg1video");
}

// Its decoder never reports a time base.
const Clip& mjpegAt20() { return clip("mjpeg_20.avi", 160, 120, testsrc(160, 120, "20", 4) + " -c:v mjpeg"); }

// 1000 x 640 at (100, 444) overhangs a 1024 x 1024 texture by 76 columns and
// 60 rows. Its width is no multiple of 16, so swscale writes past the end of
// the last RGBA row, into the slack the player leaves for it.
const Clip& oversized() { return clip("oversized.mpg", 1000, 640, testsrc(1000, 640, "25", 3) + " -c:v mpeg2video"); }

// A screen texture (1024 x 1024 RGBA unless told), magenta wherever nothing
// was written.
class ScreenTexture {
public:
  explicit ScreenTexture(int size = 1024) : size(size) {
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    std::vector<std::uint8_t> fill(std::size_t(size) * size * 4);
    for (std::size_t i = 0; i < fill.size(); i += 4) {
      fill[i] = 255;
      fill[i + 1] = 0;
      fill[i + 2] = 255;
      fill[i + 3] = 255;
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, fill.data());
  }
  ~ScreenTexture() { glDeleteTextures(1, &name); }
  ScreenTexture(const ScreenTexture&) = delete;
  ScreenTexture& operator=(const ScreenTexture&) = delete;

  std::vector<std::uint8_t> read(int level = 0) const {
    const int levelSize = std::max(1, size >> level);
    std::vector<std::uint8_t> texels(std::size_t(levelSize) * levelSize * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
  }

  const std::uint8_t* texel(const std::vector<std::uint8_t>& texels, int x, int y) const {
    return texels.data() + (std::size_t(y) * size + x) * 4;
  }

  GLuint name = 0;
  int size;
};

// Largest per-channel difference between the picture as it should lie in the
// texture (bottom row on row 444, left column on column 100, cut at the
// texture's edges) and the texture.
int pictureDifference(const ScreenTexture& texture, const std::vector<std::uint8_t>& texels, const Clip& c, int index) {
  const int columns = std::min(c.width, texture.size - 100);
  const int rows = std::min(c.height, texture.size - 444);
  int worst = 0;
  for (int row = 0; row < rows; ++row) {
    const std::uint8_t* source = c.picture(index) + std::size_t(c.height - 1 - row) * c.width * 4;
    const std::uint8_t* target = texture.texel(texels, 100, 444 + row);
    for (int i = 0; i < columns * 4; ++i)
      worst = std::max(worst, std::abs(int(source[i]) - int(target[i])));
  }
  return worst;
}

// Our conversion asks swscale for bilinear chroma upsampling, the tool for
// its default bicubic. Here both pictures come out identical (same-size
// conversion takes a path that ignores the flag), but a swscale that honours
// the flag differs by a step or two per channel at chroma edges.
constexpr int kTolerance = 2;

// Which of the clip's pictures the texture shows, -1 for none.
int shownPicture(const ScreenTexture& texture, const Clip& c) {
  const std::vector<std::uint8_t> texels = texture.read();
  for (int i = 0; i < c.pictureCount(); ++i)
    if (pictureDifference(texture, texels, c, i) <= kTolerance)
      return i;
  return -1;
}

bool isMagenta(const std::uint8_t* t) { return t[0] == 255 && t[1] == 0 && t[2] == 255 && t[3] == 255; }

// Updates with no frame time until the first picture is on screen; returns
// how many updates that took.
int updatesUntilFirstPicture(VideoPlayback& video) {
  for (int update = 1; update <= 10; ++update) {
    EXPECT_TRUE(video.advanceVideo(0.0));
    if (video.frameIntervalMs > 0)
      return update;
  }
  return -1;
}

TEST(VideoPictures, FirstThreePicturesMatchTheToolsDecodeFlippedAt100x444) {
  FELIDORA_REQUIRE_GL();
  for (const Clip* c : {&mpeg2WithAudio(), &mpeg1At2997()}) {
    SCOPED_TRACE(c->path);
    ASSERT_GE(c->pictureCount(), 3);
    ScreenTexture texture;
    VideoPlayback video;
    video.setScreenTexture(texture.name, texture.size, texture.size);
    ASSERT_TRUE(video.playVideo(c->path.c_str()));
    for (int i = 0; i < 3; ++i) {
      if (i == 0)
        ASSERT_GT(updatesUntilFirstPicture(video), 0);
      else
        ASSERT_TRUE(video.advanceVideo(1.0));
      ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
      const std::vector<std::uint8_t> texels = texture.read();
      EXPECT_LE(pictureDifference(texture, texels, *c, i), kTolerance) << "picture " << i;
      // nothing outside the rectangle
      EXPECT_TRUE(isMagenta(texture.texel(texels, 99, 444)));
      EXPECT_TRUE(isMagenta(texture.texel(texels, 100, 443)));
      EXPECT_TRUE(isMagenta(texture.texel(texels, 100 + c->width, 444)));
      EXPECT_TRUE(isMagenta(texture.texel(texels, 100, 444 + c->height)));
    }
    // the mipmap chain follows the picture: a level-1 texel averages its four level-0 texels
    const std::vector<std::uint8_t> level0 = texture.read(0);
    const std::vector<std::uint8_t> level1 = texture.read(1);
    const int x = (100 + c->width / 2) / 2, y = (444 + c->height / 2) / 2;
    for (int channel = 0; channel < 4; ++channel) {
      int sum = 0;
      for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx)
          sum += texture.texel(level0, 2 * x + dx, 2 * y + dy)[channel];
      EXPECT_NEAR(level1[(std::size_t(y) * 512 + x) * 4 + channel], sum / 4.0, 1.0) << "channel " << channel;
    }
  }
}

TEST(VideoPictures, PacketsOfOtherStreamsNeverCostAPicture) {
  FELIDORA_REQUIRE_GL();
  // audio packets lie before the first picture and between later ones
  const Clip& c = mpeg2WithAudio();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  ASSERT_TRUE(video.playVideo(c.path.c_str()));
  ASSERT_EQ(updatesUntilFirstPicture(video), 2);
  for (int picture = 1; picture < c.pictureCount() - 1; ++picture) {
    ASSERT_TRUE(video.advanceVideo(1.0));
    ASSERT_EQ(shownPicture(texture, c), picture);
  }
  EXPECT_FALSE(video.advanceVideo(1.0));
}

TEST(VideoPictures, PictureLargerThanTheTextureIsClippedToIt) {
  FELIDORA_REQUIRE_GL();
  const Clip& c = oversized();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  ASSERT_TRUE(video.playVideo(c.path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  // the bottom 580 rows and left 924 columns of the picture
  EXPECT_LE(pictureDifference(texture, texture.read(), c, 0), kTolerance);
  GLint rowLength = -1, alignment = -1;
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &rowLength);
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(rowLength, 0);
  EXPECT_EQ(alignment, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

  // a texture too small to hold any of it is left alone, and the clip plays on
  ScreenTexture tiny(64);
  video.setScreenTexture(tiny.name, tiny.size, tiny.size);
  EXPECT_TRUE(video.advanceVideo(1.0));
  EXPECT_TRUE(video.isPlaying());
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const std::vector<std::uint8_t> texels = tiny.read();
  for (int i = 0; i < 64 * 64; ++i)
    ASSERT_TRUE(isMagenta(&texels[i * 4])) << "texel " << i;
}

TEST(VideoPacing, FirstPictureShowsAtTheFirstUpdateThatCompletesOne) {
  FELIDORA_REQUIRE_GL();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);

  // a low-delay clip completes its first picture from its first packet
  ASSERT_TRUE(video.playVideo(mpeg2LowDelay().path.c_str()));
  EXPECT_EQ(video.frameIntervalMs, 0);
  EXPECT_EQ(updatesUntilFirstPicture(video), 1);
  EXPECT_EQ(shownPicture(texture, mpeg2LowDelay()), 0);

  // this one needs its second packet: the first update shows nothing and
  // keeps the elapsed time, the second shows the picture with no time passed
  ASSERT_TRUE(video.playVideo(mpeg2At25().path.c_str()));
  EXPECT_EQ(video.elapsedSinceFrame, 0.0);
  EXPECT_TRUE(video.advanceVideo(0.015625));
  EXPECT_EQ(video.frameIntervalMs, 0);
  EXPECT_EQ(video.elapsedSinceFrame, 0.015625);
  EXPECT_EQ(shownPicture(texture, mpeg2LowDelay()), 0);
  EXPECT_TRUE(video.advanceVideo(0.0));
  EXPECT_EQ(shownPicture(texture, mpeg2At25()), 0);
  EXPECT_EQ(video.elapsedSinceFrame, 0.0);
}

TEST(VideoPacing, IntervalFollowsTheFrameRateTruncated) {
  FELIDORA_REQUIRE_GL();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);

  // 25 pictures/s: 40 ms
  ASSERT_TRUE(video.playVideo(mpeg2At25().path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  EXPECT_EQ(video.frameIntervalMs, 40);
  EXPECT_TRUE(video.advanceVideo(0.03125));
  EXPECT_TRUE(video.advanceVideo(0.0078125)); // 39.06 ms
  EXPECT_EQ(shownPicture(texture, mpeg2At25()), 0);
  EXPECT_EQ(video.elapsedSinceFrame, 0.0390625);
  EXPECT_TRUE(video.advanceVideo(0.0009765625)); // 40.04 ms
  EXPECT_EQ(shownPicture(texture, mpeg2At25()), 1);
  EXPECT_EQ(video.elapsedSinceFrame, 0.0);

  // 30000/1001 pictures/s: 33.37 ms truncated to 33
  ASSERT_TRUE(video.playVideo(mpeg1At2997().path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  EXPECT_EQ(video.frameIntervalMs, 33);
  EXPECT_TRUE(video.advanceVideo(0.03125)); // 31.25 ms
  EXPECT_EQ(shownPicture(texture, mpeg1At2997()), 0);
  EXPECT_TRUE(video.advanceVideo(0.001953125)); // 33.2 ms
  EXPECT_EQ(shownPicture(texture, mpeg1At2997()), 1);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(VideoPacing, DecoderWithoutTimeBaseFallsBackToTheStreamRate) {
  FELIDORA_REQUIRE_GL();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  ASSERT_TRUE(video.playVideo(mjpegAt20().path.c_str()));
  ASSERT_EQ(updatesUntilFirstPicture(video), 1);
  EXPECT_EQ(video.frameIntervalMs, 50);
  EXPECT_TRUE(video.advanceVideo(0.046875));
  EXPECT_EQ(shownPicture(texture, mjpegAt20()), 0);
  EXPECT_TRUE(video.advanceVideo(0.00390625));
  EXPECT_EQ(shownPicture(texture, mjpegAt20()), 1);
}

TEST(VideoPacing, HugeFrameTimeShowsOnePictureAndDropsTheRest) {
  FELIDORA_REQUIRE_GL();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  ASSERT_TRUE(video.playVideo(mpeg2At25().path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  for (int picture = 1; picture <= 3; ++picture) {
    EXPECT_TRUE(video.advanceVideo(10.0));
    EXPECT_EQ(shownPicture(texture, mpeg2At25()), picture);
    EXPECT_EQ(video.elapsedSinceFrame, 0.0);
  }
  // the next picture waits a full interval again
  EXPECT_TRUE(video.advanceVideo(0.03125));
  EXPECT_EQ(shownPicture(texture, mpeg2At25()), 3);
}

TEST(VideoPacing, TimeAccumulatesOnlyWhilePlayingAndEachClipStartsAtZero) {
  FELIDORA_REQUIRE_GL();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  EXPECT_TRUE(video.advanceVideo(5.0));
  EXPECT_EQ(video.elapsedSinceFrame, 0.0);
  ASSERT_TRUE(video.playVideo(mpeg2At25().path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  EXPECT_TRUE(video.advanceVideo(0.015625));
  ASSERT_TRUE(video.playVideo(mpeg1At2997().path.c_str()));
  EXPECT_EQ(video.elapsedSinceFrame, 0.0);
  EXPECT_EQ(video.frameIntervalMs, 0);
}

TEST(VideoPacing, EndOfClipStopsWithoutDrainingTheDecoder) {
  FELIDORA_REQUIRE_GL();
  const Clip& c = mpeg2At25();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  MessageCapture messages;
  ASSERT_TRUE(video.playVideo(c.path.c_str()));
  int updates = 0;
  while (video.advanceVideo(1.0))
    ASSERT_LT(++updates, 100);
  EXPECT_FALSE(video.isPlaying());
  // eight packets, one update each; the last picture stays in the decoder
  EXPECT_EQ(updates, 8);
  EXPECT_EQ(shownPicture(texture, c), 6);
  EXPECT_TRUE(video.advanceVideo(1.0));
  EXPECT_EQ(messages.text(), "");
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

void expectFailure(const std::string& path, const std::string& message) {
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  MessageCapture messages;
  EXPECT_FALSE(video.playVideo(path.c_str()));
  EXPECT_EQ(messages.text(), message);
  EXPECT_FALSE(video.isPlaying());
  EXPECT_TRUE(video.advanceVideo(1.0));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(VideoFailures, MissingFile) {
  FELIDORA_REQUIRE_GL();
  const std::string path = clipFolder().file("gibt-es-nicht.mpg");
  expectFailure(path, "could not open " + path + "\n");
}

TEST(VideoFailures, FileThatIsNotAClip) {
  FELIDORA_REQUIRE_GL();
  const std::string text = clipFolder().file("text.mpg");
  std::ofstream(text) << std::string(2000, 'x') << "\nKein Video, nur Text.\n";
  expectFailure(text, "could not open " + text + "\n");
  const std::string empty = clipFolder().file("empty.mpg");
  std::ofstream{empty};
  expectFailure(empty, "could not open " + empty + "\n");
}

TEST(VideoFailures, AudioOnlyClipHasNoVideoStream) {
  FELIDORA_REQUIRE_GL();
  const std::string path = clipFolder().file("audio.mpg");
  ASSERT_TRUE(runTool("-f lavfi -i sine=duration=0.5 -c:a mp2 " + path));
  expectFailure(path, "kein Videostream gefunden in " + path + "\n");
}

TEST(VideoFailures, ClipWithoutPacketsFailsSilently) {
  FELIDORA_REQUIRE_GL();
  // an AVI header declaring a 160 x 120 MPEG-2 stream, and no picture
  const std::string path = clipFolder().file("nopackets.avi");
  ASSERT_TRUE(runTool(testsrc(160, 120, "25", 1) + " -frames:v 0 -c:v mpeg2video " + path));
  expectFailure(path, "");
}

TEST(VideoFailures, DecoderErrorStopsTheClipAndKeepsItsLastPicture) {
  FELIDORA_REQUIRE_GL();
  // the second picture's JPEG data wiped after its start marker
  const Clip& c = mjpegAt20();
  std::ifstream in(c.path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::string startOfImage = "\xff\xd8\xff";
  const std::size_t second = bytes.find(startOfImage, bytes.find(startOfImage) + 1);
  ASSERT_NE(second, std::string::npos);
  std::fill_n(bytes.begin() + second + 2, 400, '\0');
  const std::string path = clipFolder().file("broken.avi");
  std::ofstream(path, std::ios::binary) << bytes;

  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  MessageCapture messages;
  ASSERT_TRUE(video.playVideo(path.c_str()));
  ASSERT_EQ(updatesUntilFirstPicture(video), 1);
  EXPECT_FALSE(video.advanceVideo(1.0));
  EXPECT_EQ(messages.text(), "Error beim verarbeiten der Daten\n");
  EXPECT_FALSE(video.isPlaying());
  EXPECT_EQ(shownPicture(texture, c), 0);
  EXPECT_TRUE(video.advanceVideo(1.0));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(VideoFailures, MissingFileWhilePlayingStopsTheClipAndKeepsItsLastPicture) {
  FELIDORA_REQUIRE_GL();
  const Clip& c = mpeg2At25();
  ScreenTexture texture;
  VideoPlayback video;
  video.setScreenTexture(texture.name, texture.size, texture.size);
  ASSERT_TRUE(video.playVideo(c.path.c_str()));
  ASSERT_GT(updatesUntilFirstPicture(video), 0);
  MessageCapture messages;
  const std::string missing = clipFolder().file("fehlt.mpg");
  EXPECT_FALSE(video.playVideo(missing.c_str()));
  EXPECT_EQ(messages.text(), "could not open " + missing + "\n");
  EXPECT_FALSE(video.isPlaying());
  EXPECT_TRUE(video.advanceVideo(1.0));
  EXPECT_EQ(shownPicture(texture, c), 0);
  // and the player takes the next clip
  EXPECT_TRUE(video.playVideo(c.path.c_str()));
}

long residentBytes() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

int openDescriptors() {
  int count = 0;
  if (DIR* dir = opendir("/proc/self/fd")) {
    while (readdir(dir))
      ++count;
    closedir(dir);
  }
  return count;
}

TEST(VideoResources, FiveHundredClipsLeaveMemoryAndDescriptorsFlat) {
  FELIDORA_REQUIRE_GL();
  const Clip& c = clip("tiny.mpg", 64, 48, testsrc(64, 48, "25", 4) + " -c:v mpeg1video");
  const std::string missing = clipFolder().file("fehlt.mpg");
  ScreenTexture texture;
  MessageCapture messages;
  auto video = std::make_unique<VideoPlayback>();
  video->setScreenTexture(texture.name, texture.size, texture.size);

  // Every way a clip ends: played out, replaced, stopped, replaced by a
  // missing file, and destroyed with the player while it plays.
  auto playOne = [&](int i) {
    ASSERT_TRUE(video->playVideo(c.path.c_str()));
    switch (i % 5) {
    case 0:
      while (video->advanceVideo(1.0)) {
      }
      break;
    case 1: video->advanceVideo(1.0); break;
    case 2:
      video->advanceVideo(1.0);
      video->advanceVideo(1.0);
      video->stopVideo();
      break;
    case 3:
      video->advanceVideo(1.0);
      video->advanceVideo(1.0);
      EXPECT_FALSE(video->playVideo(missing.c_str()));
      break;
    case 4:
      video->advanceVideo(1.0);
      video->advanceVideo(1.0);
      video = std::make_unique<VideoPlayback>();
      video->setScreenTexture(texture.name, texture.size, texture.size);
      break;
    }
  };
  for (int i = 0; i < 50; ++i)
    playOne(i);
  const long memoryBefore = residentBytes();
  const int descriptorsBefore = openDescriptors();
  for (int i = 0; i < 500; ++i)
    playOne(i);
  const long growth = residentBytes() - memoryBefore;
  std::cout << "resident memory growth over 500 clips: " << growth / 1024 << " KiB\n";
  EXPECT_EQ(openDescriptors(), descriptorsBefore);
  // a leaked decoder alone would add about 160 KiB per clip
  EXPECT_LT(growth, 4L * 1024 * 1024);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
