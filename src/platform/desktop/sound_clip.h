// What the sound service plays: whole clips in the one device format, decoded up front.
//
// The device runs at 44100 Hz, stereo, signed 16-bit native-endian samples, whatever the
// files are; every file is converted to that on loading, so playback is a plain copy.
#pragma once

#include "platform/core/default_sound.h"

namespace standin {

// Reads and converts a WAV file. False, with a short reason in *why, when the file is
// missing, unreadable, too large or not PCM this service decodes; *samples is then untouched.
bool LoadSoundFile(const char* path, SoundSamples* samples, const char** why);

}  // namespace standin
