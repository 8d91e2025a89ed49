// Sound slots over the platform's voices: loading, round-robin playing and stopping.
#include "frame/sound_device.h"

#include <algorithm>
#include <cmath>

#include "frame/wave_file.h"

namespace {

bool SlotIsPlayable(const SoundSlot& slot) {
  return slot.bufferCount > 0 && slot.device && slot.device->open;
}

}  // namespace

void SoundStartup(platform::Window* mainWindow, platform::Window* contextWindow) {
  SoundHolder = new SoundDevice;
  SoundDeviceConstruct(*SoundHolder);
  SoundSlots = new std::vector<SoundSlot>(kSoundSlotCount);
  for (SoundSlot& slot : *SoundSlots) SoundSlotConstruct(slot);
  SoundInit(*SoundHolder, mainWindow);
  SoundSetCooperative(*SoundHolder, contextWindow);
}

void SoundSlotsShutdown() {
  if (!SoundSlots) return;
  for (auto slot = SoundSlots->rbegin(); slot != SoundSlots->rend(); ++slot) {
    SoundSlotRelease(*slot);
  }
  delete SoundSlots;
  SoundSlots = nullptr;
}

void SoundDeviceShutdown() {
  if (!SoundHolder) return;
  SoundDeviceRelease(*SoundHolder);
  delete SoundHolder;
  SoundHolder = nullptr;
}

void SoundDeviceConstruct(SoundDevice& device) {
  device = SoundDevice{};
}

void SoundDeviceRelease(SoundDevice& device) {
  if (device.open) platform::AudioClose();
  device.open = false;
}

bool SoundInit(SoundDevice& device, platform::Window*) {
  device.open = platform::AudioOpen();
  return device.open && SoundGetCaps(device);
}

// The mixer plays whatever window has the focus: there is no level to set.
void SoundSetCooperative(SoundDevice&, platform::Window*) {}

bool SoundGetCaps(SoundDevice& device) {
  return device.open && platform::AudioQueryFormat(device.capabilities);
}

void SoundSlotConstruct(SoundSlot& slot) {
  slot = SoundSlot{};
}

void SoundSlotClear(SoundSlot& slot) {
  for (auto& buffer : slot.buffers) buffer.reset();
  slot.bufferCount = 0;
  slot.currentBuffer = 0;
}

void SoundSlotRelease(SoundSlot& slot) {
  SoundSlotClear(slot);
}

bool SoundLoad(SoundSlot& slot, SoundDevice* device, const char* fileName, int32_t buffers) {
  SoundSlotClear(slot);
  slot.device = device;
  slot.fileName.clear();
  if (!device || !device->open) return false;
  slot.bufferCount = std::clamp(buffers, 1, kMostSlotBuffers);
  slot.fileName = fileName ? fileName : "";
  if (!LoadWaveBuffer(slot)) {
    slot.bufferCount = 0;
    slot.fileName.clear();
    return false;
  }
  for (int32_t i = 1; i < slot.bufferCount; ++i) slot.buffers[i] = slot.buffers[0]->Duplicate();
  return true;
}

bool LoadWaveBuffer(SoundSlot& slot) {
  WaveSound wave;
  std::vector<uint8_t> deviceBytes;
  if (!ReadWaveFile(slot.fileName.c_str(), wave) ||
      !platform::ConvertToDeviceFormat(wave.data.data(), wave.data.size(), wave.format,
                                       deviceBytes)) {
    return false;
  }
  auto sample = platform::MakeSoundSample(std::move(deviceBytes));
  if (!sample) {
    slot.device = nullptr;
    return false;
  }
  slot.buffers[0] = std::make_unique<platform::SoundVoice>(std::move(sample));
  return true;
}

int32_t PercentToAttenuation(int32_t percent) {
  if (percent <= 0) return -10000;
  return int32_t(2000.0 * std::log10(percent / 100.0));
}

int32_t SoundPlay(SoundSlot& slot, int32_t pan, int32_t volume, uint32_t flags) {
  if (!SlotIsPlayable(slot)) return -1;
  platform::SoundVoice* voice = PickSoundChannel(slot);
  if (!voice) return -1;
  voice->SetVolume(PercentToAttenuation(volume));
  voice->SetPan(pan);
  return voice->Play((flags & kSoundPlayLooping) != 0) ? slot.currentBuffer : -1;
}

platform::SoundVoice* PickSoundChannel(SoundSlot& slot) {
  platform::SoundVoice* voice = slot.buffers[size_t(slot.currentBuffer)].get();
  if (!voice->IsPlaying()) return voice;
  if (slot.bufferCount == 1) return nullptr;
  slot.currentBuffer = (slot.currentBuffer + 1) % slot.bufferCount;
  voice = slot.buffers[size_t(slot.currentBuffer)].get();
  voice->Stop();
  return voice;
}

bool SoundStop(SoundSlot& slot, int32_t buffer) {
  if (!SlotIsPlayable(slot)) return false;
  if (buffer >= 0 && buffer < slot.bufferCount) {
    slot.buffers[size_t(buffer)]->Stop();
    return true;
  }
  for (int32_t i = 0; i < slot.bufferCount; ++i) slot.buffers[size_t(i)]->Stop();
  return true;
}

bool SoundIsPlaying(const SoundSlot& slot, int32_t buffer) {
  return buffer >= 0 && buffer < slot.bufferCount && slot.buffers[size_t(buffer)]->IsPlaying();
}

void SoundSetVolume(SoundSlot& slot, int32_t volume) {
  for (int32_t i = 0; i < slot.bufferCount; ++i) {
    slot.buffers[size_t(i)]->SetVolume(PercentToAttenuation(volume));
  }
}
