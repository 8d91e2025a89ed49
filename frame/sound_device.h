// The sound device and the 4096 sound slots. A slot holds one WAVE sound in up to four voices
// that share one copy of the samples, so the same sound can overlap itself up to four times;
// a playing voice is named slot x 256 + voice index (its "buffer"). Everything here runs on
// the main thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame/runtime_objects.h"
#include "platform/audio.h"

struct FileStream;
namespace platform {
struct Window;
}

inline constexpr uint32_t kSoundSlotCount = 4096;
inline constexpr int32_t kMostSlotBuffers = 4;
inline constexpr uint32_t kSoundPlayLooping = 1;

struct SoundDevice {
  bool open = false;  // false when no device could be made
  platform::AudioFormat capabilities;
};

struct SoundSlot {
  int32_t bufferCount = 0;        // 0 = empty
  int32_t currentBuffer = 0;      // the one played last (round robin)
  std::string fileName;           // of the sound loaded; empty after a failed load
  SoundDevice* device = nullptr;  // set by each load; null when no voice could be made
  platform::PcmFormat format;     // of the samples in voice 0
  uint32_t bufferBytes = 0;       // their size in that format
  std::array<std::unique_ptr<platform::SoundVoice>, kMostSlotBuffers> buffers;
};

// Start-up, its last step: makes the device and the slots, opens the device (a failure only
// leaves every load failing) and hands it the context's window.
void SoundStartup(platform::Window* mainWindow, platform::Window* contextWindow);
// Shutdown: the slots (last to first) and then the device, each harmless when already gone.
void SoundSlotsShutdown();
void SoundDeviceShutdown();

void SoundDeviceConstruct(SoundDevice& device);
void SoundDeviceRelease(SoundDevice& device);
bool SoundInit(SoundDevice& device, platform::Window* window);
// The device follows the window the program now draws into (after a screen-mode change).
void SoundSetCooperative(SoundDevice& device, platform::Window* window);
bool SoundGetCaps(SoundDevice& device);

void SoundSlotConstruct(SoundSlot& slot);
// Stops and drops every voice: count and current buffer 0; the file name and device stay.
void SoundSlotClear(SoundSlot& slot);
void SoundSlotRelease(SoundSlot& slot);
// As SoundSlotClear, and the slot forgets its file name and device too.
void SoundSlotReset(SoundSlot& slot);

// Clears the slot, then loads the file (a resolved disk path or "mem://" name) with buffers
// voices, clamped to 1..4. False leaves the slot empty.
bool SoundLoad(SoundSlot& slot, SoundDevice* device, const char* fileName, int32_t buffers);
// Reads the slot's file into voice 0.
bool LoadWaveBuffer(SoundSlot& slot);
// The two halves of that load for samples from elsewhere. SoundCreateBuffer makes voice 0 on the
// slot's device, bytes long (4 to 0x0FFFFFFF) and silent, in the given PCM format; a format or
// size no device buffer takes clears the slot's device and answers false. SoundFillBuffer puts
// the stream's bytes from position (-1 = where it stands) into that voice from its start, the
// rest staying silent; more bytes than the voice holds, or a disk file holding fewer than asked,
// fail and leave the voice as it was, and a memory block gives what it has.
bool SoundCreateBuffer(SoundSlot& slot, uint32_t bytes, int32_t sampleRate, int32_t bitsPerSample,
                       int32_t blockAlign, bool stereo);
bool SoundFillBuffer(SoundSlot& slot, FileStream& stream, uint32_t bytes, int64_t position);

// Hundredths of a decibel for a volume percent: 100 gives 0, 50 gives -602, 0 or less -10000.
int32_t PercentToAttenuation(int32_t percent);
// Pan -10000 (left) .. 10000 (right), volume in percent, flags kSoundPlayLooping or 0. Answers the
// voice index played, -1 when nothing played.
int32_t SoundPlay(SoundSlot& slot, int32_t pan, int32_t volume, uint32_t flags);
// The voice to play next: the current one when it is idle; else, with more than one voice, the
// next one round robin, stopped when it still plays. Null for a one-voice slot still playing.
platform::SoundVoice* PickSoundChannel(SoundSlot& slot);
// Stops one voice, or every voice for a number outside 0..count-1; false for an empty slot.
bool SoundStop(SoundSlot& slot, int32_t buffer);
bool SoundIsPlaying(const SoundSlot& slot, int32_t buffer);
// The volume of every voice of a loaded slot, in percent as SoundPlay takes it.
void SoundSetVolume(SoundSlot& slot, int32_t volume);
