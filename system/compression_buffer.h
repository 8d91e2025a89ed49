// The compression buffer: packs a block of bytes and unpacks it again into an output it owns.
// Two formats: LZO1X (a u32 length and an LZO1X-1 stream, the packed-media entries) and the
// runtime's own LZSS with a 2048-byte window. Unpacking trusts nothing in the packed bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

inline constexpr uint32_t kCompressModeLzss = 0;  // any mode other than 1 selects it
inline constexpr uint32_t kCompressModeLzo1x = 1;

inline constexpr int kLzssHistoryBuckets = 64 * 64;
inline constexpr int kLzssBucketDepth = 16;
inline constexpr int kLzssRingSize = 2048;

struct CompressBuffer {
  // 64 x 64 buckets of 16 input positions, newest first; -1 = empty.
  int32_t matchHistory[kLzssHistoryBuckets * kLzssBucketDepth];
  std::vector<uint8_t> output;  // its size is the output length
  uint8_t ring[kLzssRingSize];  // the last 2048 output bytes
  uint16_t ringPosition = 0;
  uint32_t mode = kCompressModeLzo1x;  // set by the caller before packing or unpacking
};

// About 258 KiB: make it on the heap.
std::unique_ptr<CompressBuffer> MakeCompressBuffer();

void CompressBufferFree(CompressBuffer& buffer);
void CompressBufferPutByte(CompressBuffer& buffer, uint8_t byte);
void CompressBufferHashInsert(CompressBuffer& buffer, uint8_t first, uint8_t second,
                              int32_t position);

// Unpacks in the current mode and answers the unpacked length. 0 (with output length 0) for a
// stream the decoder refuses: an LZO1X error, an LZSS stream that ends before its end token or
// refers back past what it wrote, a length the runtime's 32-bit sizes cannot carry, or too
// little memory.
int32_t CompressBufferUnpack(CompressBuffer& buffer, const uint8_t* data, size_t length);

// As CompressBufferUnpack, but false for a refused stream, so that an empty result can be told
// from a broken one; the output holds the unpacked bytes.
bool CompressBufferDecode(CompressBuffer& buffer, const uint8_t* data, size_t length);

// Packs in the current mode and answers the packed length (also the output length). The LZSS
// packer refuses inputs shorter than 2 bytes with 0; either mode answers 0 for an input whose
// packed form could exceed the 32-bit sizes.
int32_t CompressBufferPack(CompressBuffer& buffer, const uint8_t* data, size_t length);
