// The soak: the real game played in process for a long stretch of game time
// at a fixed frame time, with scripted keys that fire all the time, turn and
// climb the player round in circles high above the enemies, cycle the
// function keys and start the tutorial clip every few minutes, while the
// default clip loops again and again. It fails on a GL error after any frame,
// on any message from the game, and (on runs of ten minutes or more) on
// resident memory that grows by 2 MB or more after the first minute. Built
// with the sanitizers (scripts/sanitize.sh) it also fails on every sanitizer
// report.
//
// FELIDORA_SOAK_MINUTES sets the game time (default 1 minute, with no memory
// verdict; the full soak is 30); FELIDORA_SOAK_TRACE=1 prints memory every
// 10 s of game time.
#include "app/Game.h"
#include "app/KeyFlags.h"
#include "monitor/Monitor.h"
#include "monitor/VideoPlayback.h"
#include "objects/Projektil.h"
#include "objects/Schnecke.h"
#include "tests/support/GlContext.h"
#include "tests/support/MessageCapture.h"

#include <GL/glew.h>
#include <glm/glm.hpp>
#include <gtest/gtest.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
// from the sanitizer runtime (GCC ships no header for them)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_purge_allocator();
#else
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr double kFrameTime = 1.0 / 60.0;
constexpr double kDefaultMinutes = 1.0;
// Memory is measured from here on: by then every clip, status image, filter
// setting and shader variant has been used once.
constexpr double kBaselineSeconds = 60.0;
constexpr long kAllowedGrowthKb = 2048;
// The driver keeps pools sized by the busiest frame drawn so far (a render
// holds up to 20 MB more for a moment), so in the first minutes the floor
// still moves by several MB. Memory is judged on runs at least this long;
// shorter ones report it.
constexpr double kJudgeMemoryFromSeconds = 10.0 * 60.0;
// Under the software renderer (and the sanitizers) a render costs some thirty
// updates, nearly all of it inside the driver; every tenth frame still runs
// all passes six times a game second. The clip and status uploads run in
// every update.
constexpr int kRenderEvery = 10;

constexpr double kFirstTutorial = 20.0;
constexpr double kTutorialEvery = 180.0;
const char* const kTutorialClip = "Videos/Katzentutorial.mpg";

// The player's beat: eight seconds of taps, then a charge held past three
// seconds and released for a super shot.
constexpr double kFireCycle = 8.0;
constexpr double kTapPhaseEnd = 4.5;
constexpr double kTapInterval = 0.25;
constexpr double kTapHeld = 0.05;
constexpr double kChargeEnd = 7.8;

// Where the player circles: high above the enemies' flights (none above 420)
// and their level shots, far from the mountains at the map's rim.
const glm::vec2 kHome(0.0f, 400.0f);
constexpr float kLeash = 250.0f;
constexpr float kLowAltitude = 640.0f;
constexpr float kHighAltitude = 700.0f;

// The game time from FELIDORA_SOAK_MINUTES, or a negative value with the
// reason in `error`.
double soakSeconds(std::string& error) {
  const char* text = std::getenv("FELIDORA_SOAK_MINUTES");
  if (!text || !*text)
    return kDefaultMinutes * 60.0;
  char* end = nullptr;
  const double minutes = std::strtod(text, &end);
  if (*end != '\0' || !(minutes > 0.0) || minutes > 24.0 * 60.0) {
    error =
        std::string("FELIDORA_SOAK_MINUTES must be a number of minutes above 0 (up to a day), not \"") + text + "\"";
    return -1.0;
  }
  return minutes * 60.0;
}

// Resident set size from /proc/self/statm (second field, in pages), read
// after the allocator has handed back what it holds for no one: the
// sanitizer's quarantine of freed blocks fills for tens of minutes and would
// look like growth; glibc keeps freed pages until trimmed.
long settledResidentKb() {
#if defined(__SANITIZE_ADDRESS__)
  __sanitizer_purge_allocator();
#else
  malloc_trim(0);
#endif
  std::ifstream statm("/proc/self/statm");
  long sizePages = 0, residentPages = 0;
  statm >> sizePages >> residentPages;
  return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

// The resident part of AddressSanitizer's shadow memory (x86-64 Linux: one
// byte for every eight bytes of address space the program has used, mapped
// between 0x7fff8000 and 0x10007fff8000). It grows when the allocator
// touches addresses it never used before and is the sanitizer's, not the
// game's. 0 in other builds.
long sanitizerShadowKb() {
#if defined(__SANITIZE_ADDRESS__) && defined(__x86_64__)
  constexpr unsigned long long kShadowBegin = 0x7fff8000ULL, kShadowEnd = 0x10007fff8000ULL;
  std::ifstream smaps("/proc/self/smaps");
  std::string line;
  bool inShadow = false;
  long kb = 0;
  while (std::getline(smaps, line)) {
    unsigned long long begin = 0, end = 0;
    if (std::sscanf(line.c_str(), "%llx-%llx ", &begin, &end) == 2 && line.find('-') < line.find(' ')) {
      inShadow = begin >= kShadowBegin && end <= kShadowEnd;
    } else if (inShadow && line.rfind("Rss:", 0) == 0) {
      kb += std::atol(line.c_str() + 4);
    }
  }
  return kb;
#else
  return 0;
#endif
}

// Processor time of the whole process, the driver's threads included.
double processSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// Bytes the program holds on the heap: what the sanitizer's allocator hands
// out (its quarantine of freed blocks excluded), else what malloc does.
double heapInUseMb() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes() / (1024.0 * 1024.0);
#else
  return mallinfo2().uordblks / (1024.0 * 1024.0);
#endif
}

bool inWindow(double t, double start, double length) { return t >= start && t < start + length; }

// The scripted keys: a pure function of the game time, with a leash and an
// altitude band that read the player's position the way a player would.
class SoakScript {
public:
  explicit SoakScript(double firstTutorial) : nextTutorial(firstTutorial) {}

  void press(const Game& game, double t) {
    KeyFlags = KeyFlagTable{};
    steer(*game.player, t);
    fire(t);
    functionKeys(t);
  }

  bool tutorialDue(double t) const { return t >= nextTutorial; }
  void tutorialStarted() { nextTutorial += kTutorialEvery; }

private:
  void steer(const Schnecke& player, double t) {
    const glm::vec3 p = player.position();
    const glm::vec2 away = glm::vec2(p.x, p.z) - kHome;
    const double turnPhase = std::fmod(t, 40.0);
    if (glm::length(away) > kLeash) {
      // back towards home: turn to the side where home lies
      const glm::vec3 forward = -glm::vec3(player.modelMatrix[2]);
      const float cross = forward.x * -away.y - forward.z * -away.x;
      if (cross < 0.0f)
        KeyFlags.keyLeft = true; // home lies to the left (counter-clockwise seen from above)
      else
        KeyFlags.keyRight = true;
    } else if (turnPhase < 16.0) {
      KeyFlags.keyLeft = true;
    } else if (turnPhase < 20.0) {
      // straight ahead
    } else if (turnPhase < 36.0) {
      KeyFlags.keyRight = true;
    } else {
      KeyFlags.keyLeft = KeyFlags.keyRight = true; // both: no turn
    }

    // Down climbs, Up descends; the target height swings between two levels
    // so both keys are used, and now and then both are held together.
    const float target = std::fmod(t, 20.0) < 10.0 ? kHighAltitude : kLowAltitude;
    if (inWindow(std::fmod(t, 60.0), 50.0, 1.0))
      KeyFlags.keyUp = KeyFlags.keyDown = true;
    else if (p.y < target - 2.0f)
      KeyFlags.keyDown = true;
    else if (p.y > target + 2.0f)
      KeyFlags.keyUp = true;

    // boost past its limit (a full recovery follows), a short brake, both together
    const double speedPhase = std::fmod(t, 30.0);
    KeyFlags.keyS = speedPhase < 3.5 || inWindow(speedPhase, 25.0, 0.5);
    KeyFlags.keyA = inWindow(speedPhase, 15.0, 2.0) || inWindow(speedPhase, 25.0, 0.5);
  }

  static void fire(double t) {
    const double phase = std::fmod(t, kFireCycle);
    if (phase < kTapPhaseEnd)
      KeyFlags.keyFire = std::fmod(phase, kTapInterval) < kTapHeld;
    else
      KeyFlags.keyFire = phase < kChargeEnd;
  }

  // Each minute: the three mipmap modes with bilinear filtering, then with
  // nearest, culling off and on, statistics off and on. Every combination is
  // drawn in the first minute, so later minutes make nothing new.
  void functionKeys(double t) const {
    const double minute = std::fmod(t, 60.0);
    const auto tap = [&](double at) { return inWindow(minute, at, 0.05); };
    KeyFlags.keyF5 = tap(3.0) || tap(5.0) || tap(7.0) || tap(11.0) || tap(13.0) || tap(15.0);
    KeyFlags.keyF4 = tap(9.0) || tap(17.0);
    KeyFlags.keyF8 = tap(19.0) || tap(21.0);
    KeyFlags.keyF2 = (t < 60.0 && inWindow(t, 1.0, 0.05)) || tap(40.0) || tap(45.0);
    KeyFlags.keyF1 = tutorialDue(t);
  }

  double nextTutorial;
};

struct SoakFigures {
  double gameSeconds = 0.0;
  double updateSeconds = 0.0; // processor time of all threads
  double renderSeconds = 0.0;
  long frames = 0;
  long framesRendered = 0;
  int gamesPlayed = 1;
  long rssBaselineKb = -1;
  long rssEndKb = 0;
  long shadowBaselineKb = 0; // the sanitizer's shadow within the RSS
  long shadowEndKb = 0;
  double heapBaselineMb = 0.0;
  double heapEndMb = 0.0;
  int normalShots = 0;
  int superShots = 0;
  int clipsStarted = 0; // the monitor's first clip included
  int tutorialsStarted = 0;
  int livesLost = 0;
  int enemiesKilled = 0;
  long glErrorFrames = 0;
  long firstGlErrorFrame = -1;
  unsigned firstGlError = 0;
};

std::unique_ptr<Game> newGame() {
  KeyFlags = KeyFlagTable{};
  auto game = std::make_unique<Game>();
  game->assembleLevel();
  return game;
}

// A clip was (re)started in this frame's update when the monitor plays, has
// not waited for anything yet and knows no picture interval.
bool clipStartedInUpdate(const Monitor& monitor) {
  const VideoPlayback& video = monitor.videoPlayback();
  return video.playing && video.frameIntervalMs == 0 && video.elapsedSinceFrame == 0.0;
}

TEST(SoakTest, LongPlayLeavesNoGlErrorNoMessageAndFlatMemory) {
  FELIDORA_REQUIRE_GL();
  std::string error;
  const double seconds = soakSeconds(error);
  ASSERT_GE(seconds, 0.0) << error;
  const long totalFrames = std::lround(seconds / kFrameTime);
  const long baselineFrame = std::lround(kBaselineSeconds / kFrameTime);
  // FELIDORA_SOAK_TRACE=1: memory every 10 s of game time
  const bool trace = std::getenv("FELIDORA_SOAK_TRACE") != nullptr;

  felidora::test::MessageCapture messages;
  SoakFigures figures;
  SoakScript script(kFirstTutorial);
  std::unique_ptr<Game> game = newGame();
  figures.clipsStarted = game->monitor->isPlaying() ? 1 : 0;
  ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

  for (long frame = 0; frame < totalFrames; ++frame) {
    const double t = frame * kFrameTime;
    if (!game->running) {
      // the outcome clip has ended the game: the next one begins
      game.reset();
      game = newGame();
      ++figures.gamesPlayed;
      figures.clipsStarted += game->monitor->isPlaying() ? 1 : 0;
    }
    if (frame == baselineFrame) {
      figures.rssBaselineKb = settledResidentKb();
      figures.shadowBaselineKb = sanitizerShadowKb();
      figures.heapBaselineMb = heapInUseMb();
    }

    const bool render = frame % kRenderEvery == 0;
    if (render)
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    script.press(*game, t);
    const int livesBefore = game->player->lives;
    const std::size_t enemiesBefore = game->enemies.size();
    game->handleFunctionKeys();
    if (KeyFlags.keyF1) {
      script.tutorialStarted(); // one frame down, then up again
      if (game->monitor->currentClip() == kTutorialClip)
        ++figures.tutorialsStarted, ++figures.clipsStarted;
    }
    const double updateStart = processSeconds();
    game->update(kFrameTime);
    const double updateEnd = processSeconds();
    figures.updateSeconds += updateEnd - updateStart;
    if (render) {
      game->render();
      glFinish(); // the driver's work belongs to this render
      figures.renderSeconds += processSeconds() - updateEnd;
      ++figures.framesRendered;
    }

    const GLenum glError = glGetError();
    if (glError != GL_NO_ERROR) {
      if (figures.firstGlErrorFrame < 0)
        figures.firstGlErrorFrame = frame, figures.firstGlError = glError;
      ++figures.glErrorFrames;
    }

    // A shot fired in this update is the last one and has not aged yet.
    const std::vector<Projektil*>& shots = game->player->projectiles;
    if (!shots.empty() && shots.back()->age == 0.0)
      ++(shots.back()->shotType == 1 ? figures.superShots : figures.normalShots);
    if (clipStartedInUpdate(*game->monitor))
      ++figures.clipsStarted;
    if (game->player->lives < livesBefore)
      ++figures.livesLost;
    figures.enemiesKilled += static_cast<int>(enemiesBefore - game->enemies.size());
    figures.frames = frame + 1;
    if (trace && frame % std::lround(10.0 / kFrameTime) == 0)
      std::printf("[ soak ] %6.0f s: RSS %.1f MB (shadow %.1f MB), heap %.2f MB, %zu shots of the player in flight\n",
                  t, settledResidentKb() / 1024.0, sanitizerShadowKb() / 1024.0, heapInUseMb(),
                  game->player->projectiles.size());
  }
  figures.gameSeconds = figures.frames * kFrameTime;
  figures.rssEndKb = settledResidentKb();
  figures.shadowEndKb = sanitizerShadowKb();
  figures.heapEndMb = heapInUseMb();

  std::printf("[ soak ] %.1f min of game time: %ld frames (%ld rendered), %d game(s); %d shots fired (%d super), %d "
              "clips started (%d tutorial), %d lives lost, %d enemies hit down, %ld frames with a GL error\n",
              figures.gameSeconds / 60.0, figures.frames, figures.framesRendered, figures.gamesPlayed,
              figures.normalShots + figures.superShots, figures.superShots, figures.clipsStarted,
              figures.tutorialsStarted, figures.livesLost, figures.enemiesKilled, figures.glErrorFrames);
  if (figures.rssBaselineKb >= 0)
    std::printf("[ soak ] RSS %.1f MB at 1 min, %.1f MB at the end (%+.2f MB); heap in use %.2f MB at 1 min, %.2f MB "
                "at the end\n",
                figures.rssBaselineKb / 1024.0, figures.rssEndKb / 1024.0,
                (figures.rssEndKb - figures.rssBaselineKb) / 1024.0, figures.heapBaselineMb, figures.heapEndMb);
  if (figures.rssBaselineKb >= 0)
    std::printf(
        "[ soak ] of the RSS, the sanitizer's shadow: %.1f MB at 1 min, %.1f MB at the end; the game's own "
        "part: %.1f MB at 1 min, %.1f MB at the end (%+.2f MB)\n",
        figures.shadowBaselineKb / 1024.0, figures.shadowEndKb / 1024.0,
        (figures.rssBaselineKb - figures.shadowBaselineKb) / 1024.0, (figures.rssEndKb - figures.shadowEndKb) / 1024.0,
        ((figures.rssEndKb - figures.shadowEndKb) - (figures.rssBaselineKb - figures.shadowBaselineKb)) / 1024.0);
  else
    std::printf("[ soak ] RSS %.1f MB, heap in use %.2f MB at the end (the first-minute figure needs a longer run)\n",
                figures.rssEndKb / 1024.0, figures.heapEndMb);
  std::printf("[ soak ] processor time: update %.2f ms per frame, render %.1f ms per rendered frame\n",
              1000.0 * figures.updateSeconds / std::max(figures.frames, 1L),
              1000.0 * figures.renderSeconds / std::max(figures.framesRendered, 1L));
  std::fflush(stdout);

  EXPECT_EQ(figures.glErrorFrames, 0) << "first GL error 0x" << std::hex << figures.firstGlError << std::dec
                                      << " after frame " << figures.firstGlErrorFrame;
  EXPECT_EQ(messages.text(), "") << "the game reported something during the soak";
  // The script really did what the soak claims: constant fire, a super shot
  // per charge, the default clip looping, the tutorial at least once.
  const int fireCycles = static_cast<int>(figures.gameSeconds / kFireCycle);
  EXPECT_GE(figures.normalShots, fireCycles * 17);
  EXPECT_GE(figures.superShots, fireCycles);
  EXPECT_GE(figures.tutorialsStarted, 1);
  EXPECT_GE(figures.clipsStarted - figures.tutorialsStarted, 1 + static_cast<int>(figures.gameSeconds / 30.0));
  if (figures.gameSeconds < kJudgeMemoryFromSeconds) {
    std::printf("[ soak ] memory is judged on runs of %.0f minutes or more\n", kJudgeMemoryFromSeconds / 60.0);
  } else {
    // the game's resident memory: the sanitizer's shadow is not the game's
    const long baselineKb = figures.rssBaselineKb - figures.shadowBaselineKb;
    const long endKb = figures.rssEndKb - figures.shadowEndKb;
    EXPECT_LT(endKb - baselineKb, kAllowedGrowthKb) << "resident memory (without the sanitizer's shadow) grew from "
                                                    << baselineKb << " kB at 1 min to " << endKb << " kB at the end";
  }

  game.reset();
  KeyFlags = KeyFlagTable{};
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
