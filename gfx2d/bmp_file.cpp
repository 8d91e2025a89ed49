// BMP files: the header read field by field, every size and index checked against the bytes the
// file really holds before anything is allocated or indexed.
#include "gfx2d/bmp_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "platform/files.h"
#include "system/file_stream.h"
#include "system/little_endian.h"

namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr int32_t kWrittenDensity = 10000;  // pixels per metre

// Reads little-endian fields in order from the bytes at hand, which may be only the first part
// of a file of `size` bytes: Skip passes over bytes that need not be at hand. Any read past the
// end makes the cursor fail for good.
class ByteCursor {
 public:
  ByteCursor(const uint8_t* bytes, size_t held, size_t size)
      : bytes_(bytes), held_(held), size_(size) {}

  bool Ok() const { return ok_; }
  size_t Position() const { return position_; }
  size_t Remaining() const { return ok_ ? size_ - position_ : 0; }
  const uint8_t* Take(size_t n) {
    if (!ok_ || position_ > held_ || n > held_ - position_) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* at = bytes_ + position_;
    position_ += n;
    return at;
  }
  void Skip(size_t n) {
    if (n > Remaining()) ok_ = false;
    if (ok_) position_ += n;
  }
  uint8_t U8() {
    const uint8_t* at = Take(1);
    return at ? at[0] : 0;
  }
  uint16_t U16() {
    const uint8_t* at = Take(2);
    return at ? LoadLe16(at) : 0;
  }
  uint32_t U32() {
    const uint8_t* at = Take(4);
    return at ? LoadLe32(at) : 0;
  }
  int32_t I32() { return int32_t(U32()); }

 private:
  const uint8_t* bytes_;
  size_t held_;
  size_t size_;
  size_t position_ = 0;
  bool ok_ = true;
};

constexpr uint32_t kKeptPaletteEntries = 256;
// The headers and the part of the palette that is kept: all a reader needs before the rows.
constexpr size_t kLongestHead = kFileHeaderBytes + kInfoHeaderBytes + kKeptPaletteEntries * 4;

struct BmpLayout {
  int64_t width = 0;
  int64_t height = 0;  // as stored: negative for top row first; then made positive
  bool topDown = false;
  uint16_t bitCount = 0;
  std::array<uint8_t, kKeptPaletteEntries * 3> palette{};  // R, G, B; missing entries stay black
  size_t rowsOffset = 0;
  int64_t stride = 0;
};

bool SupportedBitCount(uint16_t bits) {
  return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool HasPalette(uint16_t bits) {
  return bits <= 8;
}

// Palette entries are B, G, R (then a reserved byte in 4-byte entries); at most 256 are kept,
// but all are consumed so the rows start after them.
bool ReadPalette(ByteCursor& in, BmpLayout& layout, uint32_t entries, uint32_t entryBytes) {
  const uint32_t kept = std::min(entries, kKeptPaletteEntries);
  for (uint32_t i = 0; i < kept; ++i) {
    const uint8_t* entry = in.Take(entryBytes);
    if (!entry) return false;
    layout.palette[i * 3] = entry[2];
    layout.palette[i * 3 + 1] = entry[1];
    layout.palette[i * 3 + 2] = entry[0];
  }
  in.Skip(size_t(entries - kept) * entryBytes);
  return in.Ok();
}

// The headers and palette; leaves the cursor at the first pixel row.
bool ReadHeaders(ByteCursor& in, BmpLayout& layout) {
  if (in.U8() != 'B' || in.U8() != 'M') return false;
  in.U32();  // file size
  in.U32();  // reserved
  const uint32_t dataOffset = in.U32();
  const uint32_t headerSize = in.U32();
  if (!in.Ok() || (headerSize != kCoreHeaderBytes && headerSize != kInfoHeaderBytes)) return false;
  // The header buffer is sized by the data offset: an offset inside the header is refused.
  if (dataOffset < kFileHeaderBytes + headerSize) return false;
  const uint32_t headerRoom = dataOffset - kFileHeaderBytes;
  if (headerSize == kCoreHeaderBytes) {
    layout.width = in.U16();
    layout.height = in.U16();
    in.U16();  // planes
    layout.bitCount = in.U16();
    if (headerRoom <= kInfoHeaderBytes) {
      // A palette file whose palette the offset leaves no room for would decode against none.
      return in.Ok() && !HasPalette(layout.bitCount);
    }
    if (!HasPalette(layout.bitCount)) return false;
    return ReadPalette(in, layout, 1u << layout.bitCount, 3);
  }
  layout.width = in.I32();
  layout.height = in.I32();
  in.U16();  // planes
  layout.bitCount = in.U16();
  in.Take(kInfoHeaderBytes - 16);  // compression, sizes, densities, colour counts: unused
  if (!in.Ok()) return false;
  if (headerRoom <= kInfoHeaderBytes) return true;
  if (!ReadPalette(in, layout, (dataOffset - kFileHeaderBytes - kInfoHeaderBytes) / 4, 4)) {
    return false;
  }
  in.Skip((dataOffset - kFileHeaderBytes - kInfoHeaderBytes) % 4);
  return in.Ok();
}

// The headers, the palette and the rows' place and size, checked before anything is allocated:
// false when the picture is larger than wanted or its rows are not all in the file.
bool ReadLayout(ByteCursor& in, BmpLayout& layout, int32_t largestSide) {
  if (!ReadHeaders(in, layout) || !SupportedBitCount(layout.bitCount)) return false;
  layout.topDown = layout.height < 0;
  if (layout.topDown) layout.height = -layout.height;
  if (layout.width <= 0 || layout.height <= 0 ||
      !ImageSizeFits(layout.width, layout.height, largestSide)) {
    return false;
  }
  layout.stride = (layout.width * layout.bitCount + 31) / 32 * 4;
  layout.rowsOffset = in.Position();
  return uint64_t(layout.stride) * uint64_t(layout.height) <= in.Remaining();
}

void DecodeRow(const uint8_t* row, const BmpLayout& layout, int32_t width, int32_t transparent,
               uint8_t* out) {
  for (int32_t x = 0; x < width; ++x, out += 4) {
    uint32_t index = 0;
    switch (layout.bitCount) {
      case 1:
        index = (row[x / 8] >> (7 - x % 8)) & 1;
        break;
      case 4:
        index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 15;
        break;
      case 8:
        index = row[x];
        break;
      case 16: {
        const uint16_t v = LoadLe16(row + x * 2);
        StoreKeyedPixel(out, uint8_t(((v >> 10) & 31) * 255 / 31),
                        uint8_t(((v >> 5) & 31) * 255 / 31), uint8_t((v & 31) * 255 / 31),
                        transparent);
        continue;
      }
      default: {
        const uint8_t* p = row + size_t(x) * (layout.bitCount / 8);
        StoreKeyedPixel(out, p[2], p[1], p[0], transparent);
        continue;
      }
    }
    const uint8_t* entry = &layout.palette[index * 3];
    StoreKeyedPixel(out, entry[0], entry[1], entry[2], transparent);
  }
}

// The bytes of a stored row that hold its first `width` pixels.
size_t RowBytesFor(const BmpLayout& layout, int32_t width) {
  return (size_t(width) * layout.bitCount + 7) / 8;
}

// The kept rows, each decoded from the stored row that holds it: `rowAt` answers stored row s
// (the bottom row first unless the picture is top-down), at least its kept pixels' bytes, or
// null when it cannot be read.
template <class RowAt>
bool DecodeKeptRows(const BmpLayout& layout, RgbaImage& image, int32_t transparent,
                    ImagePart* part, RowAt rowAt) {
  if (!ResizeImageForPart(image, int32_t(layout.width), int32_t(layout.height), part)) return false;
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* row = rowAt(layout.topDown ? y : layout.height - 1 - y);
    if (!row) return false;
    DecodeRow(row, layout, image.width, transparent,
              image.pixels + size_t(y) * size_t(image.width) * 4);
  }
  image.hasAlpha = 0;
  return true;
}

// From disk only the head is read before the checks, then the kept part of each kept row.
bool ReadBmpFile(FileStream& stream, RgbaImage& image, int32_t transparent, int32_t largestSide,
                 ImagePart* part) {
  std::array<uint8_t, kLongestHead> head;
  const auto held = size_t(std::min<int64_t>(stream.size, int64_t(head.size())));
  if (!FileStreamReadExact(stream, head.data(), int32_t(held))) return false;
  ByteCursor in(head.data(), held, size_t(stream.size));
  BmpLayout layout;
  if (!ReadLayout(in, layout, largestSide)) return false;
  std::vector<uint8_t> row;
  return DecodeKeptRows(layout, image, transparent, part, [&](int64_t stored) -> const uint8_t* {
    row.resize(RowBytesFor(layout, image.width));
    const bool read =
        FileStreamSeek(stream, int64_t(layout.rowsOffset) + stored * layout.stride) &&
        FileStreamReadExact(stream, row.data(), int32_t(row.size()));
    return read ? row.data() : nullptr;
  });
}

}  // namespace

bool DecodeBmpImage(const uint8_t* bytes, size_t size, RgbaImage& image, int32_t transparent,
                    int32_t largestSide, ImagePart* part) {
  ByteCursor in(bytes, size, size);
  BmpLayout layout;
  return ReadLayout(in, layout, largestSide) &&
         DecodeKeptRows(layout, image, transparent, part, [&](int64_t stored) {
           return bytes + layout.rowsOffset + stored * layout.stride;
         });
}

bool LoadBmpImage(RgbaImage& image, const char* name, int32_t transparent, int32_t largestSide,
                  ImagePart* part) {
  if (!name || !*name) return false;
  FileStream stream;
  if (!FileStreamOpen(stream, name)) return false;
  if (stream.memory) {
    return DecodeBmpImage(stream.memory->data(), stream.memory->size(), image, transparent,
                          largestSide, part);
  }
  return ReadBmpFile(stream, image, transparent, largestSide, part);
}

std::vector<uint8_t> EncodeBmpImage(const RgbaImage& image) {
  if (image.width < 0 || image.height < 0) return {};
  if (!image.pixels && image.width > 0 && image.height > 0) return {};
  const size_t width = size_t(image.width);
  const size_t stride = (3 * width + 3) & ~size_t(3);
  const size_t headerBytes = kFileHeaderBytes + kInfoHeaderBytes;
  std::vector<uint8_t> file(headerBytes + stride * size_t(image.height));
  uint8_t* p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  StoreLe32(p + 2, uint32_t(file.size()));
  StoreLe32(p + 10, headerBytes);
  StoreLe32(p + 14, kInfoHeaderBytes);
  StoreLe32(p + 18, uint32_t(image.width));
  StoreLe32(p + 22, uint32_t(image.height));
  StoreLe16(p + 26, 1);
  StoreLe16(p + 28, 24);
  StoreLe32(p + 38, kWrittenDensity);
  StoreLe32(p + 42, kWrittenDensity);
  for (int32_t y = 0; y < image.height; ++y) {
    const uint8_t* in = image.pixels + size_t(image.height - 1 - y) * width * 4;
    uint8_t* out = file.data() + headerBytes + size_t(y) * stride;
    for (size_t x = 0; x < width; ++x, in += 4, out += 3) {
      const bool opaque = in[3] == 255;
      out[0] = opaque ? in[2] : 0x80;
      out[1] = opaque ? in[1] : 0x00;
      out[2] = opaque ? in[0] : 0xFF;
    }
  }
  return file;
}

bool SaveBmpImage(const char* name, const RgbaImage& image) {
  if (!name || IsMemoryFileName(name)) return false;
  const std::vector<uint8_t> file = EncodeBmpImage(image);
  if (file.empty()) return false;
  return platform::AtomicRewrite(
      name, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
}
