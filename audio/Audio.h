// The game's one owner of everything OpenAL: the device, its context, one
// buffer per sound and a fixed pool of sources. Nothing else holds an OpenAL
// name, and nothing here is ever copied. Without a device (or after losing
// it) every call does nothing, so the game plays on silently.
//
// The pool never grows: loops take voices out of it for good; one-shots share
// the rest, and when all of those are busy the least important (of equal
// importance: the oldest) gives way.
#pragma once

#include "audio/SoundCatalogue.h"

// NOTE: the device types are named differently across OpenAL Soft releases;
// only the header knows them.
#include <AL/alc.h>
#include <glm/glm.hpp>

#include <array>
#include <cstdint>
#include <string>

class Audio {
public:
  static constexpr int kVoiceCount = 32;

  // Where a sound plays: at the listener (the player's own sounds), or at a
  // world position, attenuated with its distance from the listener.
  struct Placement {
    bool atListener = true;
    glm::vec3 position{0.0f};
    static Placement listener() { return {}; }
    static Placement at(const glm::vec3& position) { return {false, position}; }
  };

  Audio() = default;
  ~Audio();
  Audio(const Audio&) = delete;
  Audio& operator=(const Audio&) = delete;

  // The system's default output. False, with one line of output, without one.
  bool openDefaultDevice();
  // A device that mixes only when asked (renderStereo), for tests and
  // benchmarks: float stereo at the given rate.
  bool openLoopbackDevice(int sampleRate);
  // Reads every sound of Klaenge/ (relative to the working directory). A file
  // that cannot be read silences its sound only, with one message.
  void loadSounds();

  // A device is open and still connected.
  bool live() const { return context != nullptr && !lost; }
  bool hasSound(Sound sound) const { return buffers[soundIndex(sound)] != 0; }

  // Starts a one-shot; false when it could not (no device, no such sound, or
  // every voice busy with something more important).
  bool playOneShot(Sound sound, const Placement& placement, int priority, float gain, float pitch = 1.0f);
  // Takes a voice out of the one-shot pool for a loop; -1 when none is left.
  int reserveLoopVoice();
  // Keeps a loop playing (starting it if it is not) with this placement.
  void holdLoop(int voice, Sound sound, const Placement& placement, float gain, float pitch = 1.0f);
  void stopLoop(int voice);
  // Gives a loop's voice back to the one-shots.
  void releaseLoopVoice(int voice);

  // The listener sits at the camera of this view matrix.
  void placeListener(const glm::mat4& view);
  void setMuted(bool muted);
  // The player's volume, 0 to 1, under the mute: muting and unmuting keep it.
  void setVolume(float volume);
  // A paused game holds every sound where it is; resuming plays each on from there.
  void setPaused(bool paused);
  // A lost device (unplugged, its server gone) makes the game silent, with one message.
  void checkDevice();

  // Loopback devices only: mixes the next frames (interleaved left, right).
  void renderStereo(float* samples, int frames);

  // the pool's record, for tests and benchmarks
  int busyOneShots();
  int loopVoices() const { return reservedLoops; }
  std::uint64_t oneShotsStarted = 0;
  std::uint64_t oneShotsStolen = 0;  // another one-shot gave way
  std::uint64_t oneShotsDropped = 0; // nothing less important was playing

private:
  struct Voice {
    unsigned source = 0;
    bool loop = false;
    Sound sound = Sound::Wind; // what a loop voice holds
    bool loopPlaying = false;
    int priority = 0;
    std::uint64_t started = 0;
  };

  bool createContext(const int* attributes);
  void loadSound(Sound sound, const std::string& path);
  bool sourcePlaying(unsigned source) const;
  void place(unsigned source, const Placement& placement);

  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  bool loopback = false;
  bool lost = false;
  bool canTellDisconnect = false;
  void* renderSamples = nullptr; // alcRenderSamplesSOFT of a loopback device
  std::array<unsigned, kSoundCount> buffers{};
  std::array<Voice, kVoiceCount> voices{};
  int reservedLoops = 0;
  float listenerVolume = 1.0f;
  bool listenerMuted = false;
  std::uint64_t playCounter = 0;
};
