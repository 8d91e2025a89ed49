// Small video files for the tests, encoded with the same libraries that decode them: frames of
// one colour each, losslessly (FFV1 over 32-bit RGB) so each decodes to exactly its colour, in an
// AVI file, with a 16-bit stereo sound track when asked.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
}

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace video_maker {

struct Encoder {
  AVCodecContext* codec = nullptr;
  AVStream* stream = nullptr;
};

template <typename SetUp>
bool AddStream(AVFormatContext* file, Encoder& e, AVCodecID id, SetUp setUp) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (!codec) return false;
  e.stream = avformat_new_stream(file, nullptr);
  e.codec = avcodec_alloc_context3(codec);
  if (!e.stream || !e.codec) return false;
  setUp(e.codec);
  if (file->oformat->flags & AVFMT_GLOBALHEADER) e.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(e.codec, codec, nullptr) < 0) return false;
  e.stream->time_base = e.codec->time_base;
  return avcodec_parameters_from_context(e.stream->codecpar, e.codec) >= 0;
}

// Sends one frame (null drains the encoder) and writes every packet it gives out.
inline bool Encode(AVFormatContext* file, Encoder& e, AVFrame* frame) {
  if (avcodec_send_frame(e.codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  while (avcodec_receive_packet(e.codec, packet) >= 0) {
    av_packet_rescale_ts(packet, e.codec->time_base, e.stream->time_base);
    packet->stream_index = e.stream->index;
    if (av_interleaved_write_frame(file, packet) < 0) {
      av_packet_free(&packet);
      return false;
    }
  }
  av_packet_free(&packet);
  return true;
}

// colours: one 0xRRGGBB per frame, shown framesPerSecond a second.
inline bool WriteSolidVideo(const std::string& path, int width, int height,
                            const std::vector<uint32_t>& colours, int framesPerSecond,
                            bool withSound = false) {
  AVFormatContext* file = nullptr;
  if (avformat_alloc_output_context2(&file, nullptr, "avi", path.c_str()) < 0) return false;
  Encoder picture, sound;
  bool ok = AddStream(file, picture, AV_CODEC_ID_FFV1, [&](AVCodecContext* c) {
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_BGR0;
    c->time_base = {1, framesPerSecond};
    c->framerate = {framesPerSecond, 1};
  });
  if (ok && withSound) {
    ok = AddStream(file, sound, AV_CODEC_ID_PCM_S16LE, [](AVCodecContext* c) {
      c->sample_fmt = AV_SAMPLE_FMT_S16;
      c->sample_rate = 22050;
      c->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
      c->time_base = {1, 22050};
    });
  }
  ok = ok && avio_open(&file->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
       avformat_write_header(file, nullptr) >= 0;
  AVFrame* frame = av_frame_alloc();
  const int samplesPerFrame = 22050 / framesPerSecond;
  for (size_t i = 0; ok && i < colours.size(); ++i) {
    av_frame_unref(frame);
    frame->format = AV_PIX_FMT_BGR0;
    frame->width = width;
    frame->height = height;
    frame->pts = int64_t(i);
    ok = av_frame_get_buffer(frame, 0) >= 0;
    for (int y = 0; ok && y < height; ++y) {
      uint8_t* row = frame->data[0] + y * frame->linesize[0];
      for (int x = 0; x < width; ++x) {
        row[4 * x] = uint8_t(colours[i]);            // blue
        row[4 * x + 1] = uint8_t(colours[i] >> 8);   // green
        row[4 * x + 2] = uint8_t(colours[i] >> 16);  // red
        row[4 * x + 3] = 0;
      }
    }
    ok = ok && Encode(file, picture, frame);
    if (ok && withSound) {
      av_frame_unref(frame);
      frame->format = AV_SAMPLE_FMT_S16;
      frame->sample_rate = 22050;
      frame->nb_samples = samplesPerFrame;
      frame->pts = int64_t(i) * samplesPerFrame;
      ok = av_channel_layout_copy(&frame->ch_layout, &sound.codec->ch_layout) >= 0 &&
           av_frame_get_buffer(frame, 0) >= 0;
      if (ok) std::memset(frame->data[0], 0x10, size_t(samplesPerFrame) * 4);
      ok = ok && Encode(file, sound, frame);
    }
  }
  av_frame_free(&frame);
  ok = ok && Encode(file, picture, nullptr) && (!withSound || Encode(file, sound, nullptr)) &&
       av_write_trailer(file) >= 0;
  avcodec_free_context(&picture.codec);
  avcodec_free_context(&sound.codec);
  avio_closep(&file->pb);
  avformat_free_context(file);
  return ok;
}

}  // namespace video_maker
