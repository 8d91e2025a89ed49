// The sound device over SDL2_mixer: one open device, a pool of mixer channels and the main-thread
// table of which voice last took each channel.
#include "platform/audio.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace platform {

class SoundSample {
 public:
  explicit SoundSample(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {
    chunk_ = Mix_QuickLoad_RAW(bytes_.data(), uint32_t(bytes_.size()));
  }
  // The mixer halts every channel still playing the chunk before it frees it, so the bytes
  // below outlive every use of them.
  ~SoundSample() {
    if (chunk_) Mix_FreeChunk(chunk_);
  }
  SoundSample(const SoundSample&) = delete;
  SoundSample& operator=(const SoundSample&) = delete;

  Mix_Chunk* chunk() const { return chunk_; }

 private:
  std::vector<uint8_t> bytes_;
  Mix_Chunk* chunk_ = nullptr;
};

namespace {

constexpr int kDeviceChunkFrames = 1024;
constexpr int kFirstChannelCount = 32;
// Every voice of every slot playing at once (4096 slots of four voices).
constexpr int kMostChannels = 16384;
// A converted sound may not ask for more working memory than this (hours of sound).
constexpr uint64_t kMostConversionBytes = uint64_t(1) << 30;

bool deviceOpen = false;
AudioFormat opened;                      // what the open device plays
AudioFormat asked{kDeviceRate, AUDIO_S16SYS, kDeviceChannels};

// Sounds are made ready for what the device plays, or for what it will be asked for.
const AudioFormat& TargetFormat() {
  return deviceOpen ? opened : asked;
}
std::string refusal;
// Index = mixer channel; the voice that played on it last. Read and written on the main thread.
std::vector<const SoundVoice*> channelOwners;

double LinearGain(int32_t hundredthsOfDecibel) {
  return std::pow(10.0, hundredthsOfDecibel / 2000.0);
}

// A channel that plays nothing, growing the pool when every channel is busy; -1 when none.
int ClaimFreeChannel() {
  const int count = int(channelOwners.size());
  for (int channel = 0; channel < count; ++channel) {
    if (!Mix_Playing(channel)) return channel;
  }
  if (count >= kMostChannels) return -1;
  const int grown = std::min(count * 2, kMostChannels);
  if (Mix_AllocateChannels(grown) != grown) return -1;
  channelOwners.resize(size_t(grown), nullptr);
  return count;
}

void ApplyGains(int channel, int32_t attenuation, int32_t pan) {
  const MixerGains gains = VoiceGains(attenuation, pan);
  Mix_Volume(channel, gains.volume);
  Mix_SetPanning(channel, uint8_t(gains.left), uint8_t(gains.right));
}

// Whether a sample of any accepted layout can be converted to what the device opened.
bool ConvertibleTo(const AudioFormat& format) {
  SDL_AudioCVT cvt;
  return format.format == AUDIO_S16SYS &&
         SDL_BuildAudioCVT(&cvt, AUDIO_U8, 1, kDeviceRate, format.format,
                           uint8_t(format.channels), format.rate) >= 0;
}

void CloseMixer() {
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace

bool AudioOpen() {
  if (deviceOpen) return true;
  refusal.clear();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(asked.rate, asked.format, asked.channels, kDeviceChunkFrames) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  if (!Mix_QuerySpec(&opened.rate, &opened.format, &opened.channels) || !ConvertibleTo(opened)) {
    char text[128];
    std::snprintf(text, sizeof text, "%d Hz, format 0x%04X, %d channels", opened.rate,
                  unsigned(opened.format), opened.channels);
    refusal = text;
    CloseMixer();
    return false;
  }
  Mix_AllocateChannels(kFirstChannelCount);
  channelOwners.assign(size_t(kFirstChannelCount), nullptr);
  deviceOpen = true;
  return true;
}

void AudioClose() {
  if (!deviceOpen) return;
  Mix_HaltChannel(-1);
  channelOwners.clear();
  CloseMixer();
  deviceOpen = false;
}

bool AudioIsOpen() {
  return deviceOpen;
}

std::string AudioRefusal() {
  return refusal;
}

bool AudioQueryFormat(AudioFormat& format) {
  if (!deviceOpen) return false;
  format = opened;
  return true;
}

int DeviceFrameBytes() {
  const AudioFormat& target = TargetFormat();
  return target.channels * int(SDL_AUDIO_BITSIZE(target.format)) / 8;
}

bool IsPlayablePcm(PcmFormat format) {
  return (format.bits == 8 || format.bits == 16) &&
         (format.channels == 1 || format.channels == 2) && format.rate >= 100 &&
         format.rate <= 200000;
}

bool ConvertToDeviceFormat(const uint8_t* pcm, size_t bytes, PcmFormat format,
                           std::vector<uint8_t>& out) {
  if (!IsPlayablePcm(format)) return false;
  const size_t frameBytes = size_t(format.channels * format.bits / 8);
  bytes -= bytes % frameBytes;

  SDL_AudioCVT cvt;
  const SDL_AudioFormat from = format.bits == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  const AudioFormat& target = TargetFormat();
  if (SDL_BuildAudioCVT(&cvt, from, uint8_t(format.channels), format.rate, target.format,
                        uint8_t(target.channels), target.rate) < 0) {
    return false;
  }
  if (uint64_t(bytes) * uint64_t(cvt.len_mult) > kMostConversionBytes) return false;
  out.assign(pcm, pcm + bytes);
  if (cvt.needed == 0) return true;
  out.resize(bytes * size_t(cvt.len_mult));
  cvt.buf = out.data();
  cvt.len = int(bytes);
  if (SDL_ConvertAudio(&cvt) != 0) {
    out.clear();
    return false;
  }
  out.resize(size_t(cvt.len_cvt) - size_t(cvt.len_cvt) % size_t(DeviceFrameBytes()));
  return true;
}

std::shared_ptr<SoundSample> MakeSoundSample(std::vector<uint8_t> deviceBytes) {
  if (!deviceOpen || deviceBytes.empty() || deviceBytes.size() > UINT32_MAX) return nullptr;
  auto sample = std::make_shared<SoundSample>(std::move(deviceBytes));
  return sample->chunk() ? sample : nullptr;
}

MixerGains VoiceGains(int32_t attenuation, int32_t pan) {
  // A pan to one side attenuates the other side only, as DirectSound's pan does.
  const double left = LinearGain(attenuation + (pan > 0 ? -pan : 0));
  const double right = LinearGain(attenuation + (pan < 0 ? pan : 0));
  const double loudest = std::max(left, right);
  const int volume = int(std::lround(loudest * MIX_MAX_VOLUME));
  if (volume == 0) return {0, 0, 0};
  return {volume, int(std::lround(255 * left / loudest)), int(std::lround(255 * right / loudest))};
}

SoundVoice::SoundVoice(std::shared_ptr<const SoundSample> sample) : sample_(std::move(sample)) {}

SoundVoice::~SoundVoice() {
  if (!OwnsChannel()) return;
  Mix_HaltChannel(channel_);
  channelOwners[size_t(channel_)] = nullptr;
}

bool SoundVoice::OwnsChannel() const {
  return deviceOpen && channel_ >= 0 && size_t(channel_) < channelOwners.size() &&
         channelOwners[size_t(channel_)] == this;
}

std::unique_ptr<SoundVoice> SoundVoice::Duplicate() const {
  return std::make_unique<SoundVoice>(sample_);
}

bool SoundVoice::Play(bool loop) {
  if (!deviceOpen || !sample_) return false;
  if (OwnsChannel()) {
    Mix_HaltChannel(channel_);
  } else {
    channel_ = ClaimFreeChannel();
    if (channel_ < 0) return false;
    channelOwners[size_t(channel_)] = this;
  }
  ApplyGains(channel_, attenuation_, pan_);
  return Mix_PlayChannel(channel_, sample_->chunk(), loop ? -1 : 0) == channel_;
}

void SoundVoice::Stop() {
  if (OwnsChannel()) Mix_HaltChannel(channel_);
}

bool SoundVoice::IsPlaying() const {
  return OwnsChannel() && Mix_Playing(channel_) != 0;
}

bool SoundVoice::SetVolume(int32_t attenuation) {
  if (attenuation < -10000 || attenuation > 0) return false;
  attenuation_ = attenuation;
  if (IsPlaying()) ApplyGains(channel_, attenuation_, pan_);
  return true;
}

bool SoundVoice::SetPan(int32_t pan) {
  if (pan < -10000 || pan > 10000) return false;
  pan_ = pan;
  if (IsPlaying()) ApplyGains(channel_, attenuation_, pan_);
  return true;
}

std::unique_ptr<StreamVoice> StreamVoice::Open() {
  if (!deviceOpen) return nullptr;
  std::unique_ptr<StreamVoice> voice(new StreamVoice());
  voice->silence_.assign(size_t(kDeviceChunkFrames) * size_t(DeviceFrameBytes()), 0);
  voice->silentChunk_ = Mix_QuickLoad_RAW(voice->silence_.data(), uint32_t(voice->silence_.size()));
  if (!voice->silentChunk_) return nullptr;
  const int channel = ClaimFreeChannel();
  if (channel < 0) return nullptr;
  // A sound voice that played here before must no longer take the channel for its own.
  channelOwners[size_t(channel)] = nullptr;
  if (!Mix_RegisterEffect(channel, Fill, nullptr, voice.get())) return nullptr;
  // The silent chunk loops for ever and keeps the channel busy; the effect puts the queued
  // samples in its place.
  if (Mix_PlayChannel(channel, voice->silentChunk_, -1) != channel) {
    Mix_UnregisterEffect(channel, Fill);
    return nullptr;
  }
  voice->channel_ = channel;
  return voice;
}

StreamVoice::~StreamVoice() {
  // Halting waits for the mixer's thread and removes the effect, so Fill never runs again.
  if (deviceOpen && channel_ >= 0) Mix_HaltChannel(channel_);
  if (silentChunk_) Mix_FreeChunk(silentChunk_);
}

void StreamVoice::Queue(const uint8_t* bytes, size_t count) {
  std::lock_guard<std::mutex> hold(lock_);
  if (readOffset_ > 0) {
    queued_.erase(queued_.begin(), queued_.begin() + ptrdiff_t(readOffset_));
    readOffset_ = 0;
  }
  const size_t most = MostQueuedBytes();
  const size_t room = most - std::min(most, queued_.size());
  count = std::min(count, room);
  count -= count % size_t(DeviceFrameBytes());
  queued_.insert(queued_.end(), bytes, bytes + count);
}

size_t StreamVoice::MostQueuedBytes() {
  const AudioFormat& target = TargetFormat();
  return size_t(target.rate) * size_t(DeviceFrameBytes()) * 8;
}

size_t StreamVoice::QueuedBytes() const {
  std::lock_guard<std::mutex> hold(lock_);
  return queued_.size() - readOffset_;
}

void StreamVoice::Fill(int, void* stream, int length, void* self) {
  auto* voice = static_cast<StreamVoice*>(self);
  std::lock_guard<std::mutex> hold(voice->lock_);
  const size_t wanted = size_t(std::max(length, 0));
  const size_t taken = std::min(wanted, voice->queued_.size() - voice->readOffset_);
  auto* out = static_cast<uint8_t*>(stream);
  if (taken > 0) std::memcpy(out, voice->queued_.data() + voice->readOffset_, taken);
  std::memset(out + taken, 0, wanted - taken);
  voice->readOffset_ += taken;
}

namespace test {

void AskDeviceFormat(int rate, int channels) {
  asked.rate = rate > 0 ? rate : kDeviceRate;
  asked.channels = channels > 0 ? channels : kDeviceChannels;
}

}  // namespace test

}  // namespace platform
