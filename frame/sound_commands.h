// The program's sound commands over the 4096 sound slots: slots by number (0-4095), playing
// sounds by channel (slot x 256 + voice). Errors go to the last error code: 3 for a file that
// cannot be loaded, 7 for a slot number out of range or no empty slot.
#pragma once

#include <cstdint>

#include "core/str.h"

// The highest-numbered empty slot; -1 with error 7 when every slot is loaded.
int32_t FindFreeSoundSlot();
// Loads a WAVE file (disk, packed media or memory file) into the slot with 1-4 voices.
void LoadSound(const Str& fileName, uint32_t slot, int32_t buffers);
// Plays the slot once; pan -1 (left) .. 1 (right), volume 0 .. 1. Answers the channel, -1 when
// nothing played, 0 with error 7 for a slot out of range.
int32_t PlaySoundSlot(uint32_t slot, double pan, double volume);
// 1 while that voice plays; 0 with error 7 for a channel whose slot is out of range.
int32_t IsSoundChannelPlaying(int32_t channel);
// Stops one voice, or the whole slot when the voice number is beyond its count (slot x 256 +
// 255); channels out of range are ignored.
void StopSoundChannel(int32_t channel);
void StopAllSounds();
