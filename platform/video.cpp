// Video files through the FFmpeg libraries: one demultiplexer, the video decoder with its RGBA
// converter, and the sound decoder with its resampler feeding a stream voice.
#include "platform/video.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

#include "platform/audio.h"

namespace platform {

namespace {

// Used when a picture carries no time of its own and the stream no frame rate: 25 per second.
constexpr double kFallbackFrameMs = 40.0;

struct CodecDeleter {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FormatDeleter {
  void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};
struct FrameDeleter {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct ScaleDeleter {
  void operator()(SwsContext* s) const { sws_freeContext(s); }
};
struct ResampleDeleter {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecDeleter>;

// The library's own messages would only repeat, on standard error, the failures answered here.
void QuietLibraries() {
  static const bool quiet = [] {
    av_log_set_level(AV_LOG_QUIET);
    return true;
  }();
  (void)quiet;
}

CodecPtr OpenDecoder(AVFormatContext* format, AVMediaType type, int* streamIndex) {
  const AVCodec* codec = nullptr;
  *streamIndex = av_find_best_stream(format, type, -1, -1, &codec, 0);
  if (*streamIndex < 0 || !codec) return nullptr;
  CodecPtr context(avcodec_alloc_context3(codec));
  if (!context) return nullptr;
  if (avcodec_parameters_to_context(context.get(), format->streams[*streamIndex]->codecpar) < 0 ||
      avcodec_open2(context.get(), codec, nullptr) < 0) {
    return nullptr;
  }
  return context;
}

}  // namespace

bool AcceptableVideoSize(int width, int height) {
  return width >= 1 && height >= 1 && width <= kMostVideoSide && height <= kMostVideoSide;
}

struct VideoFile::Decoder {
  std::unique_ptr<AVFormatContext, FormatDeleter> format;
  CodecPtr video;
  CodecPtr sound;
  int videoStream = -1;
  int soundStream = -1;
  std::unique_ptr<AVPacket, PacketDeleter> packet{av_packet_alloc()};
  std::unique_ptr<AVFrame, FrameDeleter> frame{av_frame_alloc()};
  std::unique_ptr<SwsContext, ScaleDeleter> scaler;
  std::unique_ptr<SwrContext, ResampleDeleter> resampler;
  std::unique_ptr<StreamVoice> voice;
  std::vector<uint8_t> soundBytes;
  bool inputEnded = false;
  double lastTimeMs = -kFallbackFrameMs;

  bool Open(const std::string& path);
  bool OpenSound();
  void ReadPacket();
  void DecodeSound();
  bool ConvertPicture(VideoPicture& picture);
  double PictureTimeMs();
  double FrameMs() const;
};

bool VideoFile::Decoder::Open(const std::string& path) {
  if (!packet || !frame) return false;
  AVFormatContext* opened = nullptr;
  if (avformat_open_input(&opened, path.c_str(), nullptr, nullptr) < 0) return false;
  format.reset(opened);
  if (avformat_find_stream_info(format.get(), nullptr) < 0) return false;
  video = OpenDecoder(format.get(), AVMEDIA_TYPE_VIDEO, &videoStream);
  if (!video || !AcceptableVideoSize(video->width, video->height)) return false;
  if (!OpenSound()) {
    sound.reset();
    soundStream = -1;
  }
  return true;
}

// A file whose sound cannot be played still shows its pictures.
bool VideoFile::Decoder::OpenSound() {
  AudioFormat device;
  if (!AudioQueryFormat(device)) return false;
  sound = OpenDecoder(format.get(), AVMEDIA_TYPE_AUDIO, &soundStream);
  if (!sound) return false;
  AVChannelLayout input;
  if (sound->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&input, sound->ch_layout.nb_channels);
  } else if (av_channel_layout_copy(&input, &sound->ch_layout) < 0) {
    return false;
  }
  AVChannelLayout output;
  av_channel_layout_default(&output, device.channels);
  SwrContext* made = nullptr;
  const int result = swr_alloc_set_opts2(&made, &output, AV_SAMPLE_FMT_S16, device.rate, &input,
                                         sound->sample_fmt, sound->sample_rate, 0, nullptr);
  av_channel_layout_uninit(&input);
  av_channel_layout_uninit(&output);
  resampler.reset(made);
  if (result < 0 || swr_init(resampler.get()) < 0) return false;
  voice = StreamVoice::Open();
  return voice != nullptr;
}

// At the end of the file the video decoder is told to give out the pictures it still holds.
// A packet the decoder refuses is skipped: a damaged stretch ends nothing by itself.
void VideoFile::Decoder::ReadPacket() {
  if (av_read_frame(format.get(), packet.get()) < 0) {
    inputEnded = true;
    avcodec_send_packet(video.get(), nullptr);
    return;
  }
  if (packet->stream_index == videoStream) {
    avcodec_send_packet(video.get(), packet.get());
  } else if (sound && packet->stream_index == soundStream) {
    if (avcodec_send_packet(sound.get(), packet.get()) >= 0) DecodeSound();
  }
  av_packet_unref(packet.get());
}

void VideoFile::Decoder::DecodeSound() {
  while (avcodec_receive_frame(sound.get(), frame.get()) >= 0) {
    const int room = swr_get_out_samples(resampler.get(), frame->nb_samples);
    if (room > 0) {
      soundBytes.resize(size_t(room) * size_t(DeviceFrameBytes()));
      uint8_t* out = soundBytes.data();
      const int made = swr_convert(resampler.get(), &out, room,
                                   const_cast<const uint8_t**>(frame->extended_data),
                                   frame->nb_samples);
      if (made > 0) voice->Queue(out, size_t(made) * size_t(DeviceFrameBytes()));
    }
    av_frame_unref(frame.get());
  }
}

double VideoFile::Decoder::FrameMs() const {
  const AVRational rate = format->streams[videoStream]->avg_frame_rate;
  return rate.num > 0 && rate.den > 0 ? 1000.0 * rate.den / rate.num : kFallbackFrameMs;
}

double VideoFile::Decoder::PictureTimeMs() {
  const AVStream* stream = format->streams[videoStream];
  const int64_t stamp = frame->best_effort_timestamp;
  double timeMs = lastTimeMs + FrameMs();
  if (stamp != AV_NOPTS_VALUE) {
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    timeMs = double(stamp - start) * av_q2d(stream->time_base) * 1000.0;
  }
  lastTimeMs = timeMs;
  return timeMs;
}

bool VideoFile::Decoder::ConvertPicture(VideoPicture& picture) {
  const int width = frame->width;
  const int height = frame->height;
  if (!AcceptableVideoSize(width, height) || frame->format < 0) return false;
  scaler.reset(sws_getCachedContext(scaler.release(), width, height,
                                    AVPixelFormat(frame->format), width, height, AV_PIX_FMT_RGBA,
                                    SWS_POINT, nullptr, nullptr, nullptr));
  if (!scaler) return false;
  picture.width = width;
  picture.height = height;
  picture.rgba.resize(size_t(width) * size_t(height) * 4);
  uint8_t* rows[4] = {picture.rgba.data(), nullptr, nullptr, nullptr};
  int strides[4] = {width * 4, 0, 0, 0};
  if (sws_scale(scaler.get(), frame->data, frame->linesize, 0, height, rows, strides) != height) {
    return false;
  }
  picture.timeMs = PictureTimeMs();
  picture.durationMs = FrameMs();
  return true;
}

VideoFile::VideoFile(std::unique_ptr<Decoder> decoder) : decoder_(std::move(decoder)) {}
VideoFile::~VideoFile() = default;

std::unique_ptr<VideoFile> VideoFile::Open(const std::string& path) {
  QuietLibraries();
  auto decoder = std::make_unique<Decoder>();
  if (!decoder->Open(path)) return nullptr;
  return std::unique_ptr<VideoFile>(new VideoFile(std::move(decoder)));
}

int VideoFile::width() const {
  return decoder_->video->width;
}

int VideoFile::height() const {
  return decoder_->video->height;
}

bool VideoFile::NextPicture(VideoPicture& picture) {
  Decoder& d = *decoder_;
  for (;;) {
    const int received = avcodec_receive_frame(d.video.get(), d.frame.get());
    if (received >= 0) {
      const bool converted = d.ConvertPicture(picture);
      av_frame_unref(d.frame.get());
      return converted;
    }
    // After the end of the file the decoder answers AVERROR_EOF once it is empty.
    if (received != AVERROR(EAGAIN) || d.inputEnded) return false;
    d.ReadPacket();
  }
}

bool VideoFile::Rewind() {
  Decoder& d = *decoder_;
  const int stream = d.videoStream;
  const int64_t start = d.format->streams[stream]->start_time;
  if (av_seek_frame(d.format.get(), stream, start == AV_NOPTS_VALUE ? 0 : start,
                    AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(d.video.get());
  if (d.sound) avcodec_flush_buffers(d.sound.get());
  d.inputEnded = false;
  d.lastTimeMs = -kFallbackFrameMs;
  return true;
}

}  // namespace platform
