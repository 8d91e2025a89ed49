// Sound slots over the platform's voices: loading, round-robin playing and stopping.
#include "frame/sound_device.h"

#include <algorithm>
#include <cmath>

#include "frame/wave_file.h"
#include "system/debug_log.h"

namespace {

// The smallest and largest buffer a sound device makes.
constexpr uint32_t kLeastBufferBytes = 4;
constexpr uint32_t kMostBufferBytes = 0x0FFFFFFF;

bool SlotIsPlayable(const SoundSlot& slot) {
  return slot.bufferCount > 0 && slot.device && slot.device->open;
}

// Voice 0 playing these samples; false (the slot's device cleared) when the device cannot.
bool SetFirstVoice(SoundSlot& slot, platform::PcmFormat format, const std::vector<uint8_t>& pcm) {
  std::vector<uint8_t> deviceBytes;
  if (!platform::ConvertToDeviceFormat(pcm.data(), pcm.size(), format, deviceBytes)) return false;
  auto sample = platform::MakeSoundSample(std::move(deviceBytes));
  if (!sample) {
    slot.device = nullptr;
    return false;
  }
  slot.buffers[0] = std::make_unique<platform::SoundVoice>(std::move(sample));
  slot.format = format;
  slot.bufferBytes = uint32_t(pcm.size());
  return true;
}

uint8_t SilentByte(const platform::PcmFormat& format) {
  return format.bits == 8 ? 0x80 : 0;
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
  const std::string refusal = platform::AudioRefusal();
  if (!refusal.empty()) ErrorLogWrite(("Sound device refused: " + refusal + "\n").c_str());
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

void SoundSlotReset(SoundSlot& slot) {
  SoundSlotClear(slot);
  slot.fileName.clear();
  slot.device = nullptr;
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
  return ReadWaveFile(slot.fileName.c_str(), wave) && SetFirstVoice(slot, wave.format, wave.data);
}

bool SoundCreateBuffer(SoundSlot& slot, uint32_t bytes, int32_t sampleRate, int32_t bitsPerSample,
                       int32_t blockAlign, bool stereo) {
  if (!slot.device || !slot.device->open) return false;
  const platform::PcmFormat format{bitsPerSample, stereo ? 2 : 1, sampleRate};
  const bool fits = platform::IsPlayablePcm(format) &&
                    blockAlign == format.channels * format.bits / 8 && bytes >= kLeastBufferBytes &&
                    bytes <= kMostBufferBytes;
  if (!fits || !SetFirstVoice(slot, format, std::vector<uint8_t>(bytes, SilentByte(format)))) {
    slot.device = nullptr;
    return false;
  }
  return true;
}

bool SoundFillBuffer(SoundSlot& slot, FileStream& stream, uint32_t bytes, int64_t position) {
  if (!slot.buffers[0] || bytes > slot.bufferBytes) return false;
  if (position >= 0) SeekWaveStream(stream, position);
  std::vector<uint8_t> pcm;
  if (!ReadWaveSamples(stream, bytes, pcm)) return false;
  pcm.resize(slot.bufferBytes, SilentByte(slot.format));
  return SetFirstVoice(slot, slot.format, pcm);
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
