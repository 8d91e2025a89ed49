// Tells whether an HTTP response body arrived whole: it follows the Content-Length or the
// chunked framing the header announced, without changing the bytes that are delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HttpBodyEnd {
 public:
  // Reads the response header (status line and fields, line ends included).
  void ReadHeader(const std::string& header);
  void Consume(const char* bytes, size_t count);
  // True when the header announced no length, or the announced body has come to its end.
  bool Complete() const;

 private:
  enum class Chunk { SizeLine, Extension, Data, DataEnd, Done, Bad };
  void ConsumeChunked(char byte);
  void ReadSizeDigit(char byte);

  bool chunked_ = false;
  bool lengthKnown_ = false;
  uint64_t length_ = 0;
  uint64_t received_ = 0;
  Chunk chunk_ = Chunk::SizeLine;
  uint64_t chunkLeft_ = 0;
  bool sawDigit_ = false;
};
