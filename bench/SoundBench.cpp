// What sound costs the game thread. Start-up: opening the default device,
// reading every sound and reserving the loops. Per frame: what a busy frame
// of the game reports (the listener, seventeen rotors, the charge, a laser
// every fourth frame and a wool ball every tenth) and the frame's apply step,
// against a running device whose mixer works on its own thread.
//
//   cmake --build <build> --target sound_bench content
//   cd <build> && ALSOFT_DRIVERS=null ./bench/sound_bench
//     --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
// (ALSOFT_DRIVERS=null: OpenAL Soft's silent device, for machines without a
// sound card; leave it out to measure the real one.)
#include "audio/Audio.h"
#include "audio/GameSounds.h"

#include <benchmark/benchmark.h>
#include <glm/gtc/matrix_transform.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

Audio* audio = nullptr;
GameSounds* sounds = nullptr;

void BM_SoundFrame(benchmark::State& state) {
  const int enemies[17] = {};
  long frame = 0;
  for (auto _ : state) {
    const float turn = static_cast<float>(frame) * 0.01f;
    sounds->listenerView(glm::rotate(glm::mat4(1.0f), turn, glm::vec3(0, 1, 0)));
    for (int e = 0; e < 17; ++e) {
      const glm::vec3 at(300.0f * std::cos(e + turn), 250.0f, 300.0f * std::sin(e + turn));
      sounds->rotorAt(&enemies[e], at);
      if (e == 0 && frame % 4 == 0)
        sounds->laserFired(at);
    }
    if (frame % 10 == 0)
      sounds->shotFired();
    sounds->superShotCharge(static_cast<double>(frame % 240) / 60.0);
    sounds->frameDone(false);
    ++frame;
  }
  state.counters["busyOneShots"] = audio->busyOneShots();
}
BENCHMARK(BM_SoundFrame)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  const auto start = std::chrono::steady_clock::now();
  auto theAudio = std::make_unique<Audio>();
  const bool open = theAudio->openDefaultDevice();
  const auto opened = std::chrono::steady_clock::now();
  if (open)
    theAudio->loadSounds();
  auto theSounds = std::make_unique<GameSounds>(*theAudio);
  const auto ready = std::chrono::steady_clock::now();
  const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
  std::printf("sound start-up: %.1f ms (device %.1f ms, sounds and voices %.1f ms)%s\n", ms(ready - start),
              ms(opened - start), ms(ready - opened), open ? "" : ", no device");
  audio = theAudio.get();
  sounds = theSounds.get();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
