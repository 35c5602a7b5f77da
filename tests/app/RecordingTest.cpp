// Recorded games: what is written is read back bit for bit, and every kind of
// bad file is refused with its message before anything is played.
#include "app/Recording.h"
#include "app/RecordingFormat.h"
#include "app/Replay.h"
#include "tests/support/KeySnapshots.h"
#include "tests/support/ProcessFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using felidora::test::keysOf;
using felidora::test::ProcessFolder;

constexpr std::uint64_t kContent = 0x0123456789abcdefULL;

std::vector<char> bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write(const std::string& path, const std::vector<char>& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TEST(RecordingTest, FramesComeBackExactlyAsPlayedAndAFileCutBetweenFramesEndsThere) {
  const ProcessFolder folder("felidora-recording-");
  const std::string path = folder.file("game.rec");
  const std::vector<double> times = {0.0, 1.0 / 60.0, 0.1 + 1e-17, std::numeric_limits<double>::denorm_min(), 2.5};
  const std::vector<KeySnapshot> keys = {keysOf({}), keysOf({GameKey::Left, GameKey::Space}), keysOf({GameKey::F9}),
                                         keysOf({GameKey::Up, GameKey::S, GameKey::F3}), KeySnapshot().set()};
  {
    Recording recording;
    ASSERT_TRUE(recording.open(path, kContent));
    for (std::size_t i = 0; i < times.size(); ++i)
      recording.writeFrame(times[i], keys[i]);
    EXPECT_EQ(recording.frames(), 5);
    // written as it goes: the file holds every frame before it is closed
    EXPECT_EQ(bytesOf(path).size(), 20u + 5u * 10u);
  }

  Replay replay;
  ASSERT_TRUE(replay.load(path, kContent)) << replay.error();
  recording::Frame frame;
  for (std::size_t i = 0; i < times.size(); ++i) {
    ASSERT_TRUE(replay.nextFrame(frame));
    EXPECT_EQ(std::memcmp(&frame.dt, &times[i], sizeof(double)), 0) << "frame " << i;
    EXPECT_EQ(frame.keys, keys[i]) << "frame " << i;
  }
  EXPECT_FALSE(replay.nextFrame(frame));
  EXPECT_EQ(replay.framesPlayed(), 5);

  // a game killed after its second frame leaves a shorter, valid recording
  std::vector<char> bytes = bytesOf(path);
  bytes.resize(20 + 2 * 10);
  write(path, bytes);
  ASSERT_TRUE(replay.load(path, kContent)) << replay.error();
  EXPECT_EQ(replay.frames(), 2);
}

TEST(RecordingTest, BadFilesAreRefusedWithTheirMessage) {
  const ProcessFolder folder("felidora-recording-");
  const std::string good = folder.file("good.rec");
  {
    Recording recording;
    ASSERT_TRUE(recording.open(good, kContent));
    recording.writeFrame(0.02, keysOf({GameKey::Left}));
    recording.writeFrame(0.02, keysOf({GameKey::Left}));
  }
  const std::vector<char> bytes = bytesOf(good);
  const auto variant = [&](const std::string& name, auto change) {
    std::vector<char> copy = bytes;
    change(copy);
    write(folder.file(name), copy);
    return folder.file(name);
  };

  struct Case {
    std::string path;
    std::string message;
  };
  const std::string nan = variant("nan.rec", [](std::vector<char>& b) {
    const double value = std::nan("");
    std::memcpy(b.data() + 30, &value, sizeof value);
  });
  // a folder opens on Linux and fails only when it is read
  std::filesystem::create_directory(folder.file("folder.rec"));
  std::vector<Case> cases = {
      {folder.file("missing.rec"), "Die Aufnahme konnte nicht geoeffnet werden"},
      {folder.file("folder.rec"), "Die Aufnahme konnte nicht geoeffnet werden"},
      {variant("empty.rec", [](std::vector<char>& b) { b.clear(); }), "Die Datei ist keine Felidora-Aufnahme"},
      {variant("short.rec", [](std::vector<char>& b) { b.resize(12); }), "Die Datei ist keine Felidora-Aufnahme"},
      {variant("magic.rec", [](std::vector<char>& b) { b[0] = 'X'; }), "Die Datei ist keine Felidora-Aufnahme"},
      {variant("version.rec", [](std::vector<char>& b) { b[8] = 3; }),
       "Die Aufnahme hat die Formatversion 3, dieses Spiel liest 1 bis 2"},
      {variant("content.rec", [](std::vector<char>& b) { b[12] ^= 1; }),
       "Die Aufnahme gehoert zu anderen Spieldateien"},
      {variant("cut.rec", [](std::vector<char>& b) { b.resize(20 + 10 + 4); }), "Die Aufnahme endet mitten in Bild 2"},
      {nan, "Die Aufnahme enthaelt ein ungueltiges Bild (Bild 2)"},
      {variant("negative.rec", [](std::vector<char>& b) { b[27] = static_cast<char>(0xbf); }),
       "Die Aufnahme enthaelt ein ungueltiges Bild (Bild 1)"},
      // all 16 bits are keys since version 2 (M); version 1 knew no M
      {variant("keys.rec",
               [](std::vector<char>& b) {
                 b[8] = 1;
                 b[29] = static_cast<char>(0x80);
               }),
       "Die Aufnahme enthaelt ein ungueltiges Bild (Bild 1)"},
  };
#ifdef __linux__
  // opens, and every read of its first page fails
  cases.push_back({"/proc/self/mem", "Die Aufnahme konnte nicht geoeffnet werden"});
#endif
  for (const Case& c : cases) {
    Replay replay;
    EXPECT_FALSE(replay.load(c.path, kContent)) << c.path;
    EXPECT_EQ(replay.error(), c.message + ": " + c.path);
    recording::Frame frame;
    EXPECT_FALSE(replay.nextFrame(frame)) << c.path;
  }

  Recording recording;
  EXPECT_FALSE(recording.open(folder.file("no/such/folder.rec"), kContent));
  EXPECT_EQ(recording.error(), "Die Aufnahme konnte nicht angelegt werden: " + folder.file("no/such/folder.rec"));
}

} // namespace
