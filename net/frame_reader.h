// Reassembles group frames from one TCP row without ever waiting: each call takes what the
// socket holds, and a frame that arrives in pieces stays in the reader until later calls complete
// it. So one slow or stalled peer never holds up the thread that serves every other row.
#pragma once

#include <cstdint>

#include "net/net_message.h"

class FrameReader {
 public:
  enum class Result {
    Frame,    // a whole frame was read into the message
    Dropped,  // a frame announcing more than 1024 bytes was read past and thrown away
    Idle,     // nothing more to read now
    Lost,     // the peer closed, the row failed, or a frame stayed incomplete past the deadline
  };

  // Reads on until a frame completes or the socket has nothing more. nowMs and deadlineMs time
  // a frame from its first byte.
  Result Next(int32_t row, double nowMs, double deadlineMs, NetMessage& message);

 private:
  bool MidFrame() const { return headerFill_ > 0 || inPayload_ || discardLeft_ > 0; }
  Result Wait(int32_t received, double nowMs, double deadlineMs) const;
  void StartFrameClock(double nowMs);

  uint8_t header_[kNetHeaderSize] = {};
  uint32_t headerFill_ = 0;
  bool inPayload_ = false;
  NetHeader current_;
  std::string payload_;
  uint32_t payloadFill_ = 0;
  uint32_t discardLeft_ = 0;
  double firstByteMs_ = 0.0;
};
