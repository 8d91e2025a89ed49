// Content-Length and chunked framing, followed byte by byte across receives.
#include "net/http_body_end.h"

#include <algorithm>
#include <cctype>

namespace {

// A chunk size beyond this cannot be honest and would overflow the count.
constexpr uint64_t kMaxChunkSize = uint64_t(1) << 48;
// Bytes kept of one header line for reading its field.
constexpr size_t kMaxLineKept = 64 * 1024;

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Field names match whatever their case.
bool IsFieldName(std::string_view text, std::string_view lowerName) {
  return std::equal(
      text.begin(), text.end(), lowerName.begin(), lowerName.end(),
      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// The decimal value, or false for anything but digits. A plus sign some servers write before
// the digits is passed over.
bool ParseLength(std::string_view text, uint64_t& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + uint64_t(c - '0');
  }
  return true;
}

// "HTTP/1.1 100 Continue" and every other status of 1xx.
bool IsInterimStatus(std::string_view line) {
  if (line.substr(0, 5) != "HTTP/") return false;
  const size_t code = line.find_first_not_of(' ', line.find(' '));
  const auto digit = [line](size_t at) {
    return at < line.size() && line[at] >= '0' && line[at] <= '9';
  };
  return code != std::string_view::npos && line[code] == '1' && digit(code + 1) &&
         digit(code + 2) && !digit(code + 3);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = char(std::tolower(static_cast<unsigned char>(c)));
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

void HttpBodyEnd::ReadHeader(std::string_view piece) {
  for (size_t end = piece.find('\n'); end != std::string_view::npos; end = piece.find('\n')) {
    if (line_.empty()) {
      // A line whole in the piece is read in place: a header of endless short lines must go as
      // fast as it arrives until the size limit ends it.
      ReadLine(piece.substr(0, std::min(end, kMaxLineKept)));
    } else {
      KeepOfLine(piece.substr(0, end));
      ReadLine(line_);
      line_.clear();
    }
    piece.remove_prefix(end + 1);
  }
  KeepOfLine(piece);
}

void HttpBodyEnd::KeepOfLine(std::string_view part) {
  line_.append(part.substr(0, kMaxLineKept - line_.size()));
}

void HttpBodyEnd::ReadLine(std::string_view line) {
  if (!statusRead_) {
    statusRead_ = true;
    interim_ = IsInterimStatus(line);
    return;
  }
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  const std::string_view name = Trim(line.substr(0, colon));
  const std::string_view value = Trim(line.substr(colon + 1));
  if (IsFieldName(name, "transfer-encoding") &&
      Lower(std::string(value)).find("chunked") != std::string::npos) {
    chunked_ = true;
  }
  if (IsFieldName(name, "content-length")) ReadLengths(value);
}

// One length, or a list of them, in one field or several; a member that is no length is passed
// over.
void HttpBodyEnd::ReadLengths(std::string_view value) {
  for (;;) {
    const size_t comma = value.find(',');
    uint64_t length = 0;
    if (ParseLength(Trim(value.substr(0, comma)), length)) {
      lengthsDisagree_ = lengthsDisagree_ || (lengthKnown_ && length != length_);
      length_ = length;
      lengthKnown_ = true;
    }
    if (comma == std::string_view::npos) return;
    value.remove_prefix(comma + 1);
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
