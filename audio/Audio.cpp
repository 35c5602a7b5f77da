#include "audio/Audio.h"

#include "base/Console.h"

#include <AL/al.h>
// NOTE: a browser's OpenAL has no header for the extensions, nor loopback or
// disconnect behind it: there the game asks for neither.
#if __has_include(<AL/alext.h>)
#include <AL/alext.h>
#define FELIDORA_AL_EXTENSIONS 1
#endif
#include <glm/gtc/matrix_inverse.hpp>
#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Distances in world units. Enemies a few hundred units away are faint but
// audible (about -30 dB at 300), at 2,000 they are gone (about -55 dB).
constexpr float kReferenceDistance = 30.0f;
constexpr float kRolloff = 1.5f;
constexpr float kMaxDistance = 4000.0f;

// What a sound file may be: anything longer or stranger is not one of ours.
constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
constexpr int kMaxChannels = 8;
constexpr double kMaxSeconds = 60.0;

const char* const kNoDeviceMessage = "Kein Tonausgabegeraet gefunden: das Spiel bleibt stumm.";
const char* const kLostDeviceMessage = "Das Tonausgabegeraet ist verloren gegangen: das Spiel spielt stumm weiter.";

// Clears an error left by an earlier call, so the next check sees only its own.
void forgetAlError() { alGetError(); }

} // namespace

Audio::~Audio() {
  if (!context)
    return;
  alcMakeContextCurrent(context);
  for (Voice& voice : voices)
    if (voice.source) {
      alSourceStop(voice.source);
      alDeleteSources(1, &voice.source);
    }
  for (unsigned& buffer : buffers)
    if (buffer)
      alDeleteBuffers(1, &buffer);
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(device);
}

bool Audio::openDefaultDevice() {
  device = alcOpenDevice(nullptr);
  if (!device || !createContext(nullptr)) {
    messageStream() << kNoDeviceMessage << std::endl;
    return false;
  }
  canTellDisconnect = alcIsExtensionPresent(device, "ALC_EXT_disconnect") == ALC_TRUE;
  return true;
}

bool Audio::openLoopbackDevice(int sampleRate) {
#ifndef FELIDORA_AL_EXTENSIONS
  static_cast<void>(sampleRate);
  renderSamples = nullptr; // nothing to render with
  return false;
#else
  if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE)
    return false;
  auto openLoopback =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  renderSamples = reinterpret_cast<void*>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
  if (!openLoopback || !renderSamples)
    return false;
  device = openLoopback(nullptr);
  if (!device)
    return false;
  loopback = true;
  const int attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                            ALC_STEREO_SOFT,
                            ALC_FORMAT_TYPE_SOFT,
                            ALC_FLOAT_SOFT,
                            ALC_FREQUENCY,
                            sampleRate,
                            ALC_HRTF_SOFT,
                            ALC_FALSE,
                            0};
  return createContext(attributes);
#endif
}

bool Audio::createContext(const int* attributes) {
  context = alcCreateContext(device, attributes);
  if (!context || alcMakeContextCurrent(context) != ALC_TRUE) {
    if (context)
      alcDestroyContext(context);
    context = nullptr;
    alcCloseDevice(device);
    device = nullptr;
    return false;
  }
  alDistanceModel(AL_EXPONENT_DISTANCE_CLAMPED);
  forgetAlError();
  for (Voice& voice : voices) {
    alGenSources(1, &voice.source);
    if (alGetError() != AL_NO_ERROR) {
      voice.source = 0; // the pool is smaller on this device; it never grows
      continue;
    }
    alSourcef(voice.source, AL_REFERENCE_DISTANCE, kReferenceDistance);
    alSourcef(voice.source, AL_ROLLOFF_FACTOR, kRolloff);
    alSourcef(voice.source, AL_MAX_DISTANCE, kMaxDistance);
  }
  return true;
}

void Audio::loadSounds() {
  for (std::size_t i = 0; i < kSoundCount; ++i)
    loadSound(static_cast<Sound>(i), std::string(content::kSoundFolder) + "/" + kSoundFiles[i]);
}

// Read with libsndfile, mixed down to one channel: OpenAL places only mono
// sounds in space.
void Audio::loadSound(Sound sound, const std::string& path) {
  unsigned& buffer = buffers[soundIndex(sound)];
  if (!context || buffer)
    return;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    messageStream() << "Der Klang " << path << " konnte nicht gelesen werden: " << sf_strerror(nullptr) << std::endl;
    return;
  }
  const bool plausible = info.channels >= 1 && info.channels <= kMaxChannels && info.samplerate >= kMinSampleRate &&
                         info.samplerate <= kMaxSampleRate && info.frames > 0 &&
                         info.frames <= static_cast<sf_count_t>(kMaxSeconds * info.samplerate);
  std::vector<short> samples;
  sf_count_t got = 0;
  if (plausible) {
    samples.resize(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    got = sf_readf_short(file, samples.data(), info.frames);
  }
  // NOTE: libsndfile reads a cut file up to its cut and only notes in its log
  // that a chunk is shorter than its header says ("should be").
  char log[2048] = {};
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  const bool cut = std::strstr(log, "should be") != nullptr;
  sf_close(file);
  if (!plausible || got != info.frames || cut) {
    messageStream() << "Der Klang " << path << " ist beschaedigt." << std::endl;
    return;
  }
  std::vector<short> mono(static_cast<std::size_t>(info.frames));
  for (std::size_t f = 0; f < mono.size(); ++f) {
    int sum = 0;
    for (int c = 0; c < info.channels; ++c)
      sum += samples[f * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
    mono[f] = static_cast<short>(sum / info.channels);
  }

  forgetAlError();
  alGenBuffers(1, &buffer);
  alBufferData(buffer, AL_FORMAT_MONO16, mono.data(), static_cast<ALsizei>(mono.size() * sizeof(short)),
               info.samplerate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    buffer = 0;
    messageStream() << "Der Klang " << path << " passt nicht in die Tonausgabe." << std::endl;
  }
}

bool Audio::sourcePlaying(unsigned source) const {
  ALint state = AL_STOPPED;
  alGetSourcei(source, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

void Audio::place(unsigned source, const Placement& placement) {
  alSourcei(source, AL_SOURCE_RELATIVE, placement.atListener ? AL_TRUE : AL_FALSE);
  alSource3f(source, AL_POSITION, placement.position.x, placement.position.y, placement.position.z);
}

bool Audio::playOneShot(Sound sound, const Placement& placement, int priority, float gain, float pitch) {
  const unsigned buffer = buffers[soundIndex(sound)];
  if (!live() || !buffer)
    return false;
  Voice* chosen = nullptr;
  Voice* victim = nullptr;
  for (Voice& voice : voices) {
    if (voice.loop || !voice.source)
      continue;
    if (!sourcePlaying(voice.source)) {
      chosen = &voice;
      break;
    }
    if (!victim || voice.priority < victim->priority ||
        (voice.priority == victim->priority && voice.started < victim->started))
      victim = &voice;
  }
  if (!chosen) {
    if (!victim || victim->priority > priority) {
      ++oneShotsDropped;
      return false;
    }
    alSourceStop(victim->source);
    ++oneShotsStolen;
    chosen = victim;
  }
  chosen->priority = priority;
  chosen->started = ++playCounter;
  alSourcei(chosen->source, AL_BUFFER, static_cast<ALint>(buffer));
  alSourcei(chosen->source, AL_LOOPING, AL_FALSE);
  place(chosen->source, placement);
  alSourcef(chosen->source, AL_GAIN, gain);
  alSourcef(chosen->source, AL_PITCH, pitch);
  alSourcePlay(chosen->source);
  ++oneShotsStarted;
  return true;
}

int Audio::reserveLoopVoice() {
  for (int i = 0; i < kVoiceCount; ++i) {
    Voice& voice = voices[static_cast<std::size_t>(i)];
    if (voice.loop || !voice.source)
      continue;
    if (live())
      alSourceStop(voice.source);
    voice.loop = true;
    ++reservedLoops;
    return i;
  }
  return -1;
}

void Audio::holdLoop(int voiceIndex, Sound sound, const Placement& placement, float gain, float pitch) {
  if (!live() || voiceIndex < 0 || voiceIndex >= kVoiceCount)
    return;
  Voice& voice = voices[static_cast<std::size_t>(voiceIndex)];
  const unsigned buffer = buffers[soundIndex(sound)];
  if (!voice.loop || !buffer)
    return;
  if (!voice.loopPlaying || voice.sound != sound) {
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(voice.source, AL_LOOPING, AL_TRUE);
    voice.sound = sound;
    voice.loopPlaying = true;
  }
  place(voice.source, placement);
  alSourcef(voice.source, AL_GAIN, gain);
  alSourcef(voice.source, AL_PITCH, pitch);
  if (!sourcePlaying(voice.source))
    alSourcePlay(voice.source);
}

void Audio::stopLoop(int voiceIndex) {
  if (!live() || voiceIndex < 0 || voiceIndex >= kVoiceCount)
    return;
  Voice& voice = voices[static_cast<std::size_t>(voiceIndex)];
  if (!voice.loop || !voice.loopPlaying)
    return;
  alSourceStop(voice.source);
  voice.loopPlaying = false;
}

void Audio::releaseLoopVoice(int voiceIndex) {
  if (voiceIndex < 0 || voiceIndex >= kVoiceCount || !voices[static_cast<std::size_t>(voiceIndex)].loop)
    return;
  stopLoop(voiceIndex);
  Voice& voice = voices[static_cast<std::size_t>(voiceIndex)];
  voice.loop = false;
  voice.loopPlaying = false;
  --reservedLoops;
}

// The camera is where the inverse view puts the origin; it looks along its -z
// with its +y up.
void Audio::placeListener(const glm::mat4& view) {
  if (!live())
    return;
  const glm::mat4 camera = glm::affineInverse(view);
  const glm::vec3 position(camera[3]);
  const glm::vec3 forward = -glm::vec3(camera[2]);
  const glm::vec3 up(camera[1]);
  const float orientation[6] = {forward.x, forward.y, forward.z, up.x, up.y, up.z};
  alListener3f(AL_POSITION, position.x, position.y, position.z);
  alListenerfv(AL_ORIENTATION, orientation);
}

void Audio::setMuted(bool muted) {
  listenerMuted = muted;
  if (live())
    alListenerf(AL_GAIN, listenerMuted ? 0.0f : listenerVolume);
}

void Audio::setVolume(float volume) {
  listenerVolume = std::clamp(volume, 0.0f, 1.0f);
  setMuted(listenerMuted);
}

void Audio::setPaused(bool paused) {
  if (!live())
    return;
  for (const Voice& voice : voices) {
    if (!voice.source)
      continue;
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (paused && state == AL_PLAYING)
      alSourcePause(voice.source);
    else if (!paused && state == AL_PAUSED)
      alSourcePlay(voice.source);
  }
}

void Audio::checkDevice() {
  if (!live() || !canTellDisconnect)
    return;
  ALCint connected = ALC_TRUE;
#ifdef FELIDORA_AL_EXTENSIONS
  alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
#endif
  if (connected)
    return;
  lost = true;
  messageStream() << kLostDeviceMessage << std::endl;
}

void Audio::renderStereo(float* samples, int frames) {
  if (!loopback || !device) {
    std::fill(samples, samples + 2 * frames, 0.0f);
    return;
  }
#ifdef FELIDORA_AL_EXTENSIONS
  reinterpret_cast<LPALCRENDERSAMPLESSOFT>(renderSamples)(device, samples, frames);
#endif
}

int Audio::busyOneShots() {
  int busy = 0;
  if (!live())
    return 0;
  for (const Voice& voice : voices)
    if (!voice.loop && voice.source && sourcePlaying(voice.source))
      ++busy;
  return busy;
}
