// WAVE sound files: the PCM format and the sample bytes of a RIFF "WAVE" file on disk or in a
// memory file. The file is untrusted: every declared size is checked against the bytes that are
// really there before anything is allocated, and only plain PCM that the sound device can play
// is accepted.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio.h"

struct FileStream;

struct WaveSound {
  platform::PcmFormat format;
  std::vector<uint8_t> data;  // whole or cut frames of the "data" chunk, as stored
};

// False when the name cannot be opened, the file is no RIFF "WAVE" with "fmt " and "data"
// chunks, its format is not PCM the device can play (8 or 16 bits, one or two channels, 100 to
// 200000 Hz, block align matching), or a disk file holds fewer sound bytes than it declares.
// A memory file cut short inside "data" gives the bytes that are there.
bool ReadWaveFile(const char* name, WaveSound& sound);

// Sample bytes from where the stream stands: a disk file must hold all that is declared (checked
// before the allocation); a memory block gives what it has.
bool ReadWaveSamples(FileStream& stream, uint32_t declared, std::vector<uint8_t>& data);
// Moves the stream to a byte position counted from its start.
void SeekWaveStream(FileStream& stream, int64_t position);
