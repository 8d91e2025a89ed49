// Tells where an HTTP response body ends: it follows the Content-Length or the chunked framing
// the header announced, without changing the bytes that are delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class HttpBodyEnd {
 public:
  // Reads the response header (status line and fields, line ends included) in the pieces it
  // arrives in. A line is read from its first 64 KiB, so a long header hides no field behind it.
  void ReadHeader(std::string_view piece);
  // Whether the status line announced an interim response (1xx): the real one follows it.
  bool Interim() const { return interim_; }
  // Whether the header gave lengths that disagree: the body's end cannot be known.
  bool LengthsDisagree() const { return !chunked_ && lengthsDisagree_; }
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
  void KeepOfLine(std::string_view part);
  void ReadLine(std::string_view line);
  void ReadLengths(std::string_view value);
  void ConsumeChunked(char byte);
  void ReadSizeDigit(char byte);
  size_t ConsumeChunks(const char* bytes, size_t count);

  std::string line_;
  bool statusRead_ = false;
  bool interim_ = false;
  bool lengthsDisagree_ = false;
  bool chunked_ = false;
  bool lengthKnown_ = false;
  uint64_t length_ = 0;
  uint64_t received_ = 0;
  Chunk chunk_ = Chunk::SizeLine;
  uint64_t chunkLeft_ = 0;
  bool sawDigit_ = false;
};
