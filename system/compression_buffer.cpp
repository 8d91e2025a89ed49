// Packing and unpacking for the compression buffer: LZO1X through liblzo2 and the own LZSS.
#include "system/compression_buffer.h"

#include <lzo/lzo1x.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <mutex>
#include <new>

#include "system/little_endian.h"

namespace {

constexpr size_t kMaxResult = INT32_MAX;
constexpr int kLzssMaxMatch = 17;
constexpr int kLzssMinMatch = 3;
constexpr int kLzssMaxDistance = kLzssRingSize - 1;
// Beyond this an LZSS packing (9 bytes per 8 literals at worst) could outgrow the 32-bit result.
constexpr size_t kLzssMaxInput = 0x70000000;

// The compressor's one work memory; lzo_init must have run before the library is used.
struct LzoCompressor {
  std::mutex guard;
  std::vector<lzo_align_t> work;
  LzoCompressor() : work((LZO1X_1_MEM_COMPRESS + sizeof(lzo_align_t) - 1) / sizeof(lzo_align_t)) {}
};

LzoCompressor& TheLzoCompressor() {
  static LzoCompressor* compressor = new LzoCompressor;
  return *compressor;
}

void InitLzoOnce() {
  static std::once_flag once;
  std::call_once(once, [] { lzo_init(); });
}

int32_t* HistoryBucket(CompressBuffer& buffer, uint8_t first, uint8_t second) {
  return buffer.matchHistory + ((first & 63) * 64 + (second & 63)) * kLzssBucketDepth;
}

// Every unpacked byte passes here; kept inline for the unpacking loop.
inline void PutByte(CompressBuffer& buffer, uint8_t byte) {
  buffer.output.push_back(byte);
  buffer.ring[buffer.ringPosition] = byte;
  buffer.ringPosition = (buffer.ringPosition + 1) & (kLzssRingSize - 1);
}

bool Refuse(CompressBuffer& buffer) {
  buffer.output.clear();
  return false;
}

// The LZO1X format cannot produce more than 255 bytes per input byte plus a few per token, so
// no valid stream ever fills more than this; a larger announced length only costs memory.
size_t LzoLargestOutput(size_t streamLength) {
  if (streamLength > (SIZE_MAX - 64) / 256) return SIZE_MAX;
  return 256 * streamLength + 64;
}

bool UnpackLzo(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  if (length < 4) return false;
  size_t announced = LoadLe32(data);
  size_t streamLength = length - 4;
  size_t limit = std::min({announced, LzoLargestOutput(streamLength), kMaxResult});
  buffer.output.resize(std::max<size_t>(limit, 1));
  lzo_uint produced = limit;
  int rc = lzo1x_decompress_safe(data + 4, streamLength, buffer.output.data(), &produced, nullptr);
  if (rc != LZO_E_OK) return Refuse(buffer);
  buffer.output.resize(produced);
  return true;
}

int32_t PackLzo(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  size_t worstStream = length + length / 16 + 64 + 3;
  if (length > kMaxResult || 4 + worstStream > kMaxResult) return 0;
  static const uint8_t kNothing = 0;
  buffer.output.resize(4 + worstStream);
  StoreLe32(buffer.output.data(), uint32_t(length));
  lzo_uint packed = worstStream;
  LzoCompressor& compressor = TheLzoCompressor();
  std::lock_guard lock(compressor.guard);
  int rc = lzo1x_1_compress(length ? data : &kNothing, length, buffer.output.data() + 4, &packed,
                            compressor.work.data());
  if (rc != LZO_E_OK) {
    buffer.output.clear();
    return 0;
  }
  buffer.output.resize(4 + packed);
  return int32_t(buffer.output.size());
}

bool UnpackLzss(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  size_t at = 0;
  for (;;) {
    if (at >= length) return Refuse(buffer);
    uint8_t flags = data[at++];
    for (int bit = 7; bit >= 0; --bit) {
      if (at >= length) return Refuse(buffer);
      uint8_t first = data[at++];
      if (!(flags >> bit & 1)) {
        PutByte(buffer, first);
        continue;
      }
      if (first == 0) return true;
      if (at >= length) return Refuse(buffer);
      uint8_t second = data[at++];
      size_t count = (first & 15) + 2;
      size_t distance = size_t(first >> 4) * 128 + second;
      // A stream may only refer back into what it wrote itself.
      if (distance == 0 || distance > kLzssMaxDistance || distance > buffer.output.size())
        return Refuse(buffer);
      if (buffer.output.size() + count > kMaxResult) return Refuse(buffer);
      for (size_t i = 0; i < count; ++i)
        PutByte(buffer, buffer.ring[(buffer.ringPosition - distance) & (kLzssRingSize - 1)]);
    }
  }
}

// Tokens gather behind their flag byte (bit 7 describes the first) until a group holds 8.
class LzssGroupWriter {
 public:
  explicit LzssGroupWriter(CompressBuffer& buffer) : buffer_(buffer) {}

  void Literal(uint8_t byte) {
    group_[size_++] = byte;
    NextToken();
  }

  void Reference(uint8_t first, uint8_t second) {
    group_[0] |= uint8_t(0x80 >> tokens_);
    group_[size_++] = first;
    group_[size_++] = second;
    NextToken();
  }

  // The end token; a group of its own carries the flag byte 255.
  void End() {
    if (tokens_ == 0)
      group_[0] = 0xFF;
    else
      group_[0] |= uint8_t(0x80 >> tokens_);
    group_[size_++] = 0;
    Flush();
  }

 private:
  void NextToken() {
    if (++tokens_ == 8) Flush();
  }

  void Flush() {
    for (size_t i = 0; i < size_; ++i) PutByte(buffer_, group_[i]);
    group_[0] = 0;
    size_ = 1;
    tokens_ = 0;
  }

  CompressBuffer& buffer_;
  uint8_t group_[1 + 8 * 2] = {};
  size_t size_ = 1;
  int tokens_ = 0;
};

class LzssPacker {
 public:
  LzssPacker(CompressBuffer& buffer, const uint8_t* input, size_t length)
      : buffer_(buffer), input_(input), length_(length) {}

  void Run() {
    std::fill(std::begin(buffer_.matchHistory), std::end(buffer_.matchHistory), -1);
    LzssGroupWriter groups(buffer_);
    Insert(0);
    groups.Literal(input_[0]);
    size_t p = 1;
    while (p < length_) {
      Match best = LongestMatch(p);
      if (best.length < kLzssMinMatch) {
        groups.Literal(input_[p]);
        Insert(p);
        ++p;
        continue;
      }
      size_t distance = p - best.position;
      groups.Reference(uint8_t(((distance >> 7) << 4) + (best.length - 2)),
                       uint8_t(distance & 127));
      for (int k = 0; k < best.length; ++k) Insert(p + k);
      p += best.length;
    }
    groups.End();
  }

 private:
  struct Match {
    int length = 0;
    size_t position = 0;
  };

  // At the last position there is no second byte; no match can reach 3 bytes there anyway.
  uint8_t SecondByte(size_t p) const { return p + 1 < length_ ? input_[p + 1] : 0; }

  void Insert(size_t p) { CompressBufferHashInsert(buffer_, input_[p], SecondByte(p), int32_t(p)); }

  int MatchLength(size_t candidate, size_t p, int cap) const {
    int n = 0;
    while (n < cap && input_[candidate + n] == input_[p + n]) ++n;
    return n;
  }

  // Only a strictly longer match replaces the best, so the nearest wins among equals. A match
  // of the cap cannot be beaten, so the search ends there.
  bool Consider(size_t candidate, size_t p, int cap, Match& best) const {
    int n = MatchLength(candidate, p, cap);
    if (n > best.length) best = {n, candidate};
    return best.length == cap;
  }

  Match LongestMatch(size_t p) const {
    size_t windowStart = p > size_t(kLzssMaxDistance) ? p - kLzssMaxDistance : 0;
    int cap = int(std::min<size_t>(length_ - p, kLzssMaxMatch));
    const int32_t* slots = HistoryBucket(buffer_, input_[p], SecondByte(p));
    Match best;
    for (int i = 0; i < kLzssBucketDepth; ++i) {
      if (slots[i] < 0 || size_t(slots[i]) < windowStart) return best;
      if (Consider(size_t(slots[i]), p, cap, best)) return best;
    }
    // All 16 are in the window: older positions may still match, so look at each of them.
    for (size_t q = size_t(slots[kLzssBucketDepth - 1]); q-- > windowStart;)
      if (Consider(q, p, cap, best)) return best;
    return best;
  }

  CompressBuffer& buffer_;
  const uint8_t* input_;
  size_t length_;
};

int32_t PackLzss(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  if (length < 2 || length > kLzssMaxInput) return 0;
  LzssPacker(buffer, data, length).Run();
  return int32_t(buffer.output.size());
}

}  // namespace

std::unique_ptr<CompressBuffer> MakeCompressBuffer() {
  // The history is filled before every packing and the ring is only read back where the
  // current unpacking wrote it, so neither needs clearing here (258 KiB per archive lookup).
  return std::make_unique_for_overwrite<CompressBuffer>();
}

void CompressBufferFree(CompressBuffer& buffer) {
  std::vector<uint8_t>().swap(buffer.output);
  buffer.ringPosition = 0;
}

void CompressBufferPutByte(CompressBuffer& buffer, uint8_t byte) {
  PutByte(buffer, byte);
}

void CompressBufferHashInsert(CompressBuffer& buffer, uint8_t first, uint8_t second,
                              int32_t position) {
  int32_t* slots = HistoryBucket(buffer, first, second);
  std::memmove(slots + 1, slots, (kLzssBucketDepth - 1) * sizeof *slots);
  slots[0] = position;
}

bool CompressBufferDecode(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  CompressBufferFree(buffer);
  InitLzoOnce();
  try {
    return buffer.mode == kCompressModeLzo1x ? UnpackLzo(buffer, data, length)
                                             : UnpackLzss(buffer, data, length);
  } catch (const std::bad_alloc&) {
    return Refuse(buffer);
  }
}

int32_t CompressBufferUnpack(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  return CompressBufferDecode(buffer, data, length) ? int32_t(buffer.output.size()) : 0;
}

int32_t CompressBufferPack(CompressBuffer& buffer, const uint8_t* data, size_t length) {
  CompressBufferFree(buffer);
  InitLzoOnce();
  try {
    return buffer.mode == kCompressModeLzo1x ? PackLzo(buffer, data, length)
                                             : PackLzss(buffer, data, length);
  } catch (const std::bad_alloc&) {
    buffer.output.clear();
    return 0;
  }
}
