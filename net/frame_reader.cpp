// Frame reassembly over non-waiting receives.
#include "net/frame_reader.h"

#include <algorithm>

#include "net/socket_layer.h"

namespace {

constexpr int32_t kDiscardChunk = 4096;

}  // namespace

void FrameReader::StartFrameClock(double nowMs) {
  if (!MidFrame()) firstByteMs_ = nowMs;
}

// What a receive that gave no bytes means for this row.
FrameReader::Result FrameReader::Wait(int32_t received, double nowMs, double deadlineMs) const {
  // 0 is a close or reset; -1 an error a stream socket does not recover from.
  if (received == 0 || received == -1) return Result::Lost;
  if (MidFrame() && nowMs - firstByteMs_ > deadlineMs) return Result::Lost;
  return Result::Idle;
}

FrameReader::Result FrameReader::Next(int32_t row, double nowMs, double deadlineMs,
                                      NetMessage& message) {
  for (;;) {
    if (discardLeft_ > 0) {
      char scratch[kDiscardChunk];
      const int32_t want = int32_t(std::min<uint32_t>(discardLeft_, kDiscardChunk));
      const int32_t n = SockRecv(row, scratch, want, false);
      if (n <= 0) return Wait(n, nowMs, deadlineMs);
      discardLeft_ -= uint32_t(n);
      if (discardLeft_ == 0) return Result::Dropped;
      continue;
    }
    if (!inPayload_) {
      const int32_t want = int32_t(kNetHeaderSize - headerFill_);
      const int32_t n = SockRecv(row, header_ + headerFill_, want, false);
      if (n <= 0) return Wait(n, nowMs, deadlineMs);
      StartFrameClock(nowMs);
      headerFill_ += uint32_t(n);
      if (headerFill_ < kNetHeaderSize) continue;
      headerFill_ = 0;
      current_ = DecodeNetHeader(header_);
      if (current_.length > kNetMaxPayload) {
        // The connection keeps its place in the stream: exactly the announced bytes are skipped.
        discardLeft_ = current_.length;
        continue;
      }
      payload_.assign(current_.length, '\0');
      payloadFill_ = 0;
      inPayload_ = true;
    }
    if (payloadFill_ < current_.length) {
      const int32_t want = int32_t(current_.length - payloadFill_);
      const int32_t n = SockRecv(row, payload_.data() + payloadFill_, want, false);
      if (n <= 0) return Wait(n, nowMs, deadlineMs);
      payloadFill_ += uint32_t(n);
      if (payloadFill_ < current_.length) continue;
    }
    inPayload_ = false;
    message.header = current_;
    message.payload.swap(payload_);
    return Result::Frame;
  }
}
