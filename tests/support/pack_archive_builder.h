// Builds packed-data archives in memory for tests: entries packed in LZO1X mode, a directory and
// the "qzX" trailer, with offsets counted from the start or from the end.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "system/compression_buffer.h"

namespace archive_builder {

using Bytes = std::vector<uint8_t>;

inline void AppendI32(Bytes& out, int32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
}

inline Bytes PackedBlock(const Bytes& content) {
  auto packer = MakeCompressBuffer();
  packer->mode = kCompressModeLzo1x;
  CompressBufferPack(*packer, content.data(), content.size());
  return packer->output;
}

inline Bytes DirectoryEntry(const std::string& name, int32_t dataOffset, int32_t packedLength) {
  Bytes out(1 + name.size());
  out[0] = uint8_t(name.size());
  std::copy(name.begin(), name.end(), out.begin() + 1);
  AppendI32(out, dataOffset);
  AppendI32(out, packedLength);
  return out;
}

inline Bytes Trailer(int32_t directoryOffset) {
  Bytes out{'q', 'z', 'X'};
  AppendI32(out, directoryOffset);
  return out;
}

// Writes bytes at a place, growing the image with zeros as needed.
inline void Put(Bytes& image, size_t at, const Bytes& bytes) {
  if (image.size() < at + bytes.size()) image.resize(at + bytes.size());
  std::copy(bytes.begin(), bytes.end(), image.begin() + at);
}

struct Entry {
  std::string name;
  Bytes content;
};

// prefix (e.g. a program file), the packed blocks, the directory, the trailer.
inline Bytes BuildArchive(const std::vector<Entry>& entries, bool offsetsFromEnd,
                          Bytes prefix = {}) {
  std::vector<Bytes> blocks;
  size_t dataEnd = prefix.size();
  for (const Entry& e : entries) {
    blocks.push_back(PackedBlock(e.content));
    dataEnd += blocks.back().size();
  }
  size_t directorySize = 1;
  for (const Entry& e : entries) directorySize += 1 + e.name.size() + 8;
  int64_t total = int64_t(dataEnd + directorySize + 7);
  auto place = [&](size_t at) {
    return int32_t(offsetsFromEnd ? int64_t(at) - total : int64_t(at));
  };

  Bytes image = std::move(prefix);
  Bytes directory;
  for (size_t i = 0; i < entries.size(); ++i) {
    Bytes entry = DirectoryEntry(entries[i].name, place(image.size()), int32_t(blocks[i].size()));
    directory.insert(directory.end(), entry.begin(), entry.end());
    image.insert(image.end(), blocks[i].begin(), blocks[i].end());
  }
  directory.push_back(0);
  Bytes trailer = Trailer(place(image.size()));
  image.insert(image.end(), directory.begin(), directory.end());
  image.insert(image.end(), trailer.begin(), trailer.end());
  return image;
}

inline Bytes Text(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

}  // namespace archive_builder
