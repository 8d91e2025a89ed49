// Finds the end of an HTTP response header across the pieces the body arrives in: a line feed
// counts, a carriage return is neutral, and any other byte starts a new line. Two line ends in a
// row end the header.
#pragma once

#include <cstddef>

class HttpHeaderScanner {
 public:
  // Bytes of the piece that still belong to the header (all of it while it goes on).
  size_t Consume(const char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
      if (bytes[i] == '\n') {
        if (++lineEnds_ == 2) return i + 1;
      } else if (bytes[i] != '\r') {
        lineEnds_ = 0;
      }
    }
    return count;
  }
  bool Done() const { return lineEnds_ >= 2; }

 private:
  int lineEnds_ = 0;
};
