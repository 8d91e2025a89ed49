// Content-Length and chunked framing, followed byte by byte across receives.
#include "net/http_body_end.h"

#include <algorithm>
#include <cctype>

namespace {

// A chunk size beyond this cannot be honest and would overflow the count.
constexpr uint64_t kMaxChunkSize = uint64_t(1) << 48;

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The decimal value, or false for anything but digits.
bool ParseLength(const std::string& text, uint64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + uint64_t(c - '0');
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = char(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

void HttpBodyEnd::ReadHeader(const std::string& header) {
  size_t start = header.find('\n');  // past the status line
  while (start != std::string::npos && start + 1 < header.size()) {
    const size_t end = header.find('\n', start + 1);
    const std::string line =
        header.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    start = end;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string name = Lower(Trim(line.substr(0, colon)));
    const std::string value = Lower(Trim(line.substr(colon + 1)));
    if (name == "transfer-encoding" && value.find("chunked") != std::string::npos) chunked_ = true;
    if (name == "content-length") lengthKnown_ = ParseLength(value, length_);
  }
}

size_t HttpBodyEnd::Consume(const char* bytes, size_t count) {
  if (chunked_) return ConsumeChunks(bytes, count);
  if (lengthKnown_) count = size_t(std::min<uint64_t>(count, length_ - received_));
  received_ += count;
  return count;
}

size_t HttpBodyEnd::ConsumeChunks(const char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (chunk_ == Chunk::End) return i;
    if (chunk_ == Chunk::Data) {
      const size_t skipped = size_t(std::min<uint64_t>(chunkLeft_, count - i));
      chunkLeft_ -= skipped;
      i += skipped - 1;
      if (chunkLeft_ == 0) chunk_ = Chunk::DataEnd;
      continue;
    }
    ConsumeChunked(bytes[i]);
  }
  return count;
}

void HttpBodyEnd::ReadSizeDigit(char byte) {
  const int digit = HexValue(byte);
  if (digit < 0 || chunkLeft_ >= kMaxChunkSize) {
    chunk_ = Chunk::Bad;
    return;
  }
  chunkLeft_ = chunkLeft_ * 16 + uint64_t(digit);
  sawDigit_ = true;
}

void HttpBodyEnd::ConsumeChunked(char byte) {
  switch (chunk_) {
    case Chunk::SizeLine:
    case Chunk::Extension:
      if (byte == '\n') {
        if (!sawDigit_) {
          chunk_ = Chunk::Bad;
        } else {
          chunk_ = chunkLeft_ == 0 ? Chunk::TrailerLineStart : Chunk::Data;
        }
        sawDigit_ = false;
      } else if (byte == ';') {
        chunk_ = Chunk::Extension;
      } else if (chunk_ == Chunk::SizeLine && byte != '\r' && byte != ' ') {
        ReadSizeDigit(byte);
      }
      return;
    case Chunk::DataEnd:
      if (byte == '\n')
        chunk_ = Chunk::SizeLine;
      else if (byte != '\r')
        chunk_ = Chunk::Bad;
      return;
    case Chunk::TrailerLineStart:
    case Chunk::TrailerLine:
      if (byte == '\n')
        chunk_ = chunk_ == Chunk::TrailerLineStart ? Chunk::End : Chunk::TrailerLineStart;
      else if (byte != '\r')
        chunk_ = Chunk::TrailerLine;
      return;
    default:
      return;  // a framing already broken
  }
}

bool HttpBodyEnd::Ended() const {
  if (chunked_) return chunk_ == Chunk::End;
  return lengthKnown_ && received_ >= length_;
}

bool HttpBodyEnd::Complete() const {
  if (chunked_) {
    return chunk_ == Chunk::TrailerLineStart || chunk_ == Chunk::TrailerLine ||
           chunk_ == Chunk::End;
  }
  return !lengthKnown_ || received_ >= length_;
}
