// Every sound of the game, synthesised from sine and noise with envelopes and
// pitch sweeps: one-shots for shots, hits and the outcome, seamless loops for
// the super-shot charge, the rotors and the wind. Mono 16-bit WAV, 44.1 kHz.
#pragma once

#include <string>
#include <vector>

#include "tools/Models.h"

// Writes every file of the sound catalogue into folder + "/Klaenge"; false if
// one could not be written.
bool writeSounds(const std::string& folder, std::vector<GeneratedFile>& files);
