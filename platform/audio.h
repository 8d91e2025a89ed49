// The sound device and its voices: stands in for the DirectSound device, its primary buffer and
// the static secondary buffers of the sound slots. Backed by SDL2_mixer, asked for 22050 Hz,
// 16-bit stereo; the device may open at another rate or channel count, and samples are converted
// once to what it really opened and become one mixer chunk each. Each voice plays its chunk on a
// mixer channel taken from a pool that grows when every channel is busy.
//
// What Linux cannot do the same way: there is no cooperative level, no buffer loss and no card
// that refuses pan or volume control, so none of that exists here. Volume and pan keep the
// DirectSound units (hundredths of a decibel) and are mapped exactly onto the mixer's channel
// volume and panning (VoiceGains).
//
// Threads: every call runs on the main thread. SDL_mixer's thread touches only the mixer's own
// state and a stream voice's queue (below), which a lock guards; no channel-finished callback is
// registered.
//
// Test seams: the format asked for (a driver such as "disk" opens whatever is asked, as a real
// card may open another). SDL_AUDIODRIVER=dummy opens a device paced in real time; "disk" with
// SDL_DISKAUDIOFILE writes the real mix to a file for tests that read the output back.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct Mix_Chunk;

namespace platform {

inline constexpr int kDeviceRate = 22050;
inline constexpr int kDeviceChannels = 2;

// Opens the device; true when it is open (also when it already was). A device opened in a format
// the samples cannot be converted to is closed again: false, and AudioRefusal() says why.
bool AudioOpen();
// Why the last AudioOpen refused the device it got; empty when it did not.
std::string AudioRefusal();
// Stops every voice and closes the device; harmless when it is closed.
void AudioClose();
bool AudioIsOpen();

struct AudioFormat {
  int rate = 0;
  uint16_t format = 0;  // SDL's format word: 0x8010 for signed 16-bit little-endian
  int channels = 0;
};
// What the open device really plays; false when it is closed.
bool AudioQueryFormat(AudioFormat& format);
// Bytes of one frame (a sample for each channel) of the open device, else of the format asked for.
int DeviceFrameBytes();

// Whole frames of PCM in the file's layout: 8-bit unsigned or 16-bit signed little-endian samples,
// 1 or 2 channels interleaved, any rate from 100 to 200000.
struct PcmFormat {
  int bits = 16;
  int channels = 2;
  int rate = kDeviceRate;
};
// True for the layouts above, which the device can take.
bool IsPlayablePcm(PcmFormat format);

// The frames converted to the format of the open device (else of the format asked for), appended
// to an empty out. False for a format outside the one above, or a result too large to hold.
bool ConvertToDeviceFormat(const uint8_t* pcm, size_t bytes, PcmFormat format,
                           std::vector<uint8_t>& out);

// Samples in the device format, shared by every voice of one sound.
class SoundSample;
// Null without an open device or for an empty sample.
std::shared_ptr<SoundSample> MakeSoundSample(std::vector<uint8_t> deviceBytes);

// The mixer settings for an attenuation and a pan in DirectSound units: volume 0..128 and the
// left and right panning levels 0..255 (both 0 for silence).
struct MixerGains {
  int volume;
  int left;
  int right;
};
MixerGains VoiceGains(int32_t attenuation, int32_t pan);

// One playable copy of a sample; several voices of one sample play it independently.
class SoundVoice {
 public:
  explicit SoundVoice(std::shared_ptr<const SoundSample> sample);
  ~SoundVoice();  // silences the voice, so the sample may go
  SoundVoice(const SoundVoice&) = delete;
  SoundVoice& operator=(const SoundVoice&) = delete;

  // Another voice of the same sample, sharing its bytes, with default volume and pan.
  std::unique_ptr<SoundVoice> Duplicate() const;

  // Starts from the beginning, once or looping; false when no channel could be had.
  bool Play(bool loop);
  // Stops and rewinds; the next play starts at the beginning.
  void Stop();
  bool IsPlaying() const;
  // As DirectSound does, a value outside -10000..0 (volume) or -10000..10000 (pan) is refused
  // and the previous one kept.
  bool SetVolume(int32_t attenuation);
  bool SetPan(int32_t pan);
  int32_t attenuation() const { return attenuation_; }
  int32_t pan() const { return pan_; }

 private:
  bool OwnsChannel() const;

  std::shared_ptr<const SoundSample> sample_;
  int channel_ = -1;
  int32_t attenuation_ = 0;
  int32_t pan_ = 0;
};

// A voice fed while it plays, for a sound that arrives in pieces (a video's sound track). It holds
// one mixer channel of its own from Open to its end, so no sound slot takes it and the music goes
// on beside it. SDL_mixer's thread takes the queued samples; the queue is the only state it
// shares with the main thread, and the lock guards it.
class StreamVoice {
 public:
  // Null without an open device or a free channel.
  static std::unique_ptr<StreamVoice> Open();
  ~StreamVoice();  // silences the channel and gives it back
  StreamVoice(const StreamVoice&) = delete;
  StreamVoice& operator=(const StreamVoice&) = delete;

  // Appends samples in the device format; what would queue more than MostQueuedBytes() (eight
  // seconds of sound) is dropped.
  void Queue(const uint8_t* bytes, size_t count);
  size_t QueuedBytes() const;
  static size_t MostQueuedBytes();

 private:
  StreamVoice() = default;
  static void Fill(int channel, void* stream, int length, void* self);

  int channel_ = -1;
  std::vector<uint8_t> silence_;
  Mix_Chunk* silentChunk_ = nullptr;
  mutable std::mutex lock_;
  std::vector<uint8_t> queued_;  // guarded by lock_
  size_t readOffset_ = 0;        // guarded by lock_
};

namespace test {

// What the next AudioOpen asks for (0 keeps the default of each).
void AskDeviceFormat(int rate, int channels);

}  // namespace test

}  // namespace platform
