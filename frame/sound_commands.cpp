// Sound commands: argument checks and error codes in front of the sound slots.
#include "frame/sound_commands.h"

#include <algorithm>
#include <string>

#include "core/last_error.h"
#include "core/number_text.h"
#include "frame/sound_device.h"
#include "system/pack_archive.h"

namespace {

constexpr int32_t kErrorNoSuchFile = 3;
constexpr int32_t kErrorOutOfMemory = 7;

// Null for a number outside the table, and before the start-up made it.
SoundSlot* SlotAt(int64_t slot) {
  if (!SoundSlots || slot < 0 || slot >= int64_t(SoundSlots->size())) return nullptr;
  return &(*SoundSlots)[size_t(slot)];
}

}  // namespace

int32_t FindFreeSoundSlot() {
  ClearLastError();
  for (int64_t slot = int64_t(kSoundSlotCount) - 1; slot >= 0; --slot) {
    const SoundSlot* candidate = SlotAt(slot);
    if (candidate && candidate->bufferCount < 1) return int32_t(slot);
  }
  SetLastErrorCode(kErrorOutOfMemory);
  return -1;
}

void LoadSound(const Str& fileName, uint32_t slot, int32_t buffers) {
  ClearLastError();
  SoundSlot* target = SlotAt(slot);
  if (!target) {
    SetLastErrorCode(kErrorOutOfMemory);
    return;
  }
  std::string resolved;
  if (!ResolveFileName(MemoryArchive, fileName.data, resolved, true) || resolved.empty()) {
    resolved = fileName.data;
  }
  if (!SoundLoad(*target, SoundHolder, resolved.c_str(), buffers)) {
    SetLastErrorCode(kErrorNoSuchFile);
  }
}

int32_t PlaySoundSlot(uint32_t slot, double pan, double volume) {
  SoundSlot* target = SlotAt(slot);
  if (!target) {
    SetLastErrorCode(kErrorOutOfMemory);
    return 0;
  }
  // NaN passes both clamps: the pan becomes INT32_MIN, which the voice refuses, keeping its pan,
  // and the volume becomes 0 percent.
  const int32_t panUnits = TruncToI32(std::clamp(pan, -1.0, 1.0) * 10000.0);
  const int32_t percent = std::max(TruncToI32(std::min(100.0 * volume, 100.0)), 0);
  const int32_t played = SoundPlay(*target, panUnits, percent, 0);
  return played < 0 ? played : int32_t(slot) * 256 + played;
}

int32_t IsSoundChannelPlaying(int32_t channel) {
  const SoundSlot* target = SlotAt(channel >> 8);
  if (!target) {
    SetLastErrorCode(kErrorOutOfMemory);
    return 0;
  }
  return SoundIsPlaying(*target, channel & 0xFF) ? 1 : 0;
}

void StopSoundChannel(int32_t channel) {
  if (SoundSlot* target = SlotAt(channel >> 8)) SoundStop(*target, channel & 0xFF);
}

void StopAllSounds() {
  if (!SoundSlots) return;
  for (SoundSlot& slot : *SoundSlots) SoundStop(slot, -1);
}
