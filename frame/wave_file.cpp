// The RIFF reader behind the sound slots, over the runtime's read streams.
#include "frame/wave_file.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/files.h"
#include "system/file_stream.h"
#include "system/little_endian.h"

namespace {

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;
constexpr uint32_t kPlainFormatBytes = 16;
constexpr uint32_t kExtensibleFormatBytes = 40;
// The sub-format of an extensible "fmt " chunk that means plain PCM.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

int64_t BytesLeft(const FileStream& stream) {
  return stream.size - stream.position;
}

void SkipBytes(FileStream& stream, int64_t count) {
  SeekWaveStream(stream, stream.position + count);
}

struct ChunkReader {
  FileStream& stream;
  // The chunk before had an odd size: writers put a 0 byte after it, some writers don't.
  bool padMayFollow = false;
};

// The next chunk's header; its content must be consumed whole before the next call.
bool NextChunk(ChunkReader& reader, uint8_t id[4], uint32_t& size) {
  uint8_t header[8];
  if (BytesLeft(reader.stream) < 8 || !FileStreamReadExact(reader.stream, header, 8)) return false;
  // No identifier begins with a 0 byte, so one there can only be the pad.
  if (reader.padMayFollow && header[0] == 0) {
    std::memmove(header, header + 1, 7);
    if (!FileStreamReadExact(reader.stream, header + 7, 1)) return false;
  }
  std::memcpy(id, header, 4);
  size = LoadLe32(header + 4);
  reader.padMayFollow = (size & 1) != 0;
  return true;
}

// Skips whole chunks until the one named id, whose content then comes next.
bool FindChunk(ChunkReader& reader, const char* id, uint32_t& size) {
  uint8_t found[4];
  while (NextChunk(reader, found, size)) {
    if (std::memcmp(found, id, 4) == 0) return true;
    SkipBytes(reader.stream, size);
  }
  return false;
}

bool ReadRiffHeader(FileStream& stream) {
  uint8_t header[12];
  return FileStreamReadExact(stream, header, 12) && std::memcmp(header, "RIFF", 4) == 0 &&
         std::memcmp(header + 8, "WAVE", 4) == 0;
}

// The "fmt " content of size bytes, consumed whole.
bool ReadFormat(FileStream& stream, uint32_t size, platform::PcmFormat& format) {
  uint8_t fields[kExtensibleFormatBytes];
  if (size < kPlainFormatBytes || !FileStreamReadExact(stream, fields, kPlainFormatBytes)) {
    return false;
  }
  const uint16_t tag = LoadLe16(fields);
  uint32_t taken = kPlainFormatBytes;
  if (tag == kTagExtensible) {
    taken = kExtensibleFormatBytes;
    if (size < taken || !FileStreamReadExact(stream, fields + 16, taken - 16) ||
        std::memcmp(fields + 24, kPcmSubFormat, sizeof kPcmSubFormat) != 0) {
      return false;
    }
  } else if (tag != kTagPcm) {
    return false;
  }
  SkipBytes(stream, size - taken);
  format.channels = LoadLe16(fields + 2);
  format.rate = int(std::min<uint32_t>(LoadLe32(fields + 4), INT32_MAX));
  format.bits = LoadLe16(fields + 14);
  const int blockAlign = LoadLe16(fields + 12);
  return platform::IsPlayablePcm(format) && blockAlign == format.channels * format.bits / 8;
}

}  // namespace

void SeekWaveStream(FileStream& stream, int64_t position) {
  stream.position = position;
  if (stream.descriptor >= 0) {
    platform::SeekDescriptor(stream.descriptor, stream.position, platform::SeekFrom::Start);
  }
}

bool ReadWaveSamples(FileStream& stream, uint32_t declared, std::vector<uint8_t>& data) {
  const int64_t left = std::max<int64_t>(BytesLeft(stream), 0);
  int64_t count = declared;
  if (stream.memory) count = std::min(count, left);
  if (count > left || count > INT32_MAX) return false;
  // Too large for the memory left: the sound does not load, as a short file does not.
  try {
    data.resize(size_t(count));
  } catch (const std::bad_alloc&) {
    return false;
  }
  return count == 0 || FileStreamRead(stream, data.data(), int32_t(count));
}

bool ReadWaveFile(const char* name, WaveSound& sound) {
  FileStream stream;
  if (!FileStreamOpen(stream, name) || !ReadRiffHeader(stream)) return false;
  ChunkReader reader{stream};
  uint32_t size = 0;
  if (!FindChunk(reader, "fmt ", size) || !ReadFormat(stream, size, sound.format)) return false;
  return FindChunk(reader, "data", size) && ReadWaveSamples(stream, size, sound.data);
}
