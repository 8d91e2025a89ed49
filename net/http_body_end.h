// Tells where an HTTP response body ends: it follows the Content-Length or the chunked framing
// the header announced, without changing the bytes that are delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class HttpBodyEnd {
 public:
  // Reads the response header (status line and fields, line ends included).
  void ReadHeader(const std::string& header);
  // How many of the bytes belong to the body: all of them until its announced end.
  size_t Consume(const char* bytes, size_t count);
  // True once the announced body is whole: its length reached, or the last chunk and the blank
  // line behind its trailer fields seen. Never true without a length or chunks.
  bool Ended() const;
  // Whether a close at this point leaves the body whole: without a length or chunks, or once the
  // last chunk came (its trailer fields may be cut).
  bool Complete() const;

 private:
  enum class Chunk { SizeLine, Extension, Data, DataEnd, TrailerLineStart, TrailerLine, End, Bad };
  void ConsumeChunked(char byte);
  void ReadSizeDigit(char byte);
  size_t ConsumeChunks(const char* bytes, size_t count);

  bool chunked_ = false;
  bool lengthKnown_ = false;
  uint64_t length_ = 0;
  uint64_t received_ = 0;
  Chunk chunk_ = Chunk::SizeLine;
  uint64_t chunkLeft_ = 0;
  bool sawDigit_ = false;
};
