// Binary model files. Every count and index of a file is checked against the bytes that remain
// and the tables it points into before anything is allocated or looked up.
#include "gfx3d/kmo_binary_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/number_text.h"
#include "gfx3d/kmo_normal_table.h"
#include "gfx3d/kmo_text_file.h"
#include "platform/files.h"
#include "system/debug_log.h"
#include "system/file_stream.h"
#include "system/little_endian.h"
#include "system/memory_blocks.h"

namespace {

constexpr int64_t kVertexBytes = 14;
constexpr int64_t kPackedVertexBytes = 5;
constexpr int64_t kPackedFrameHeaderBytes = 24;

// What a model may cost grows with its file. A 2.0 frame of n records takes 64 + 92n bytes of
// memory for its 4 + 14n bytes of file, at most 8.7 per byte once it holds a record; a packed
// record takes 92 bytes for its 5; the colour table and texture coordinates take what they fill.
// So a model stays within 9 bytes of memory per byte of a 2.0 file and 19 per byte of a packed
// one unless it has empty frames, which take 64 bytes for 4: a file made of them is refused at
// the limit instead of allocated. The floor lets a small file hold some (about 37,000).
constexpr int64_t kMemoryFloor = int64_t(1) << 20;
constexpr int64_t kMemoryPerFileByte = 9;
constexpr int64_t kPackedMemoryPerFileByte = 19;

// ---- writing

// Where encoded bytes go, a piece at a time; false stops the writing.
using ByteSink = std::function<bool(const uint8_t* bytes, size_t count)>;

// Fills a buffer of one piece and hands it on whenever it is full, so a large model is never
// held twice, once as records and once as file bytes.
class ByteWriter {
 public:
  explicit ByteWriter(ByteSink sink) : sink_(std::move(sink)) {}
  ByteWriter(const ByteWriter&) = delete;
  ByteWriter& operator=(const ByteWriter&) = delete;

  void U8(uint8_t v) { *Take(1) = v; }
  void U32(uint32_t v) { StoreLe32(Take(4), v); }
  void F32(float v) { U32(std::bit_cast<uint32_t>(v)); }
  void F64(double v) { StoreLe64(Take(8), std::bit_cast<uint64_t>(v)); }

  // Hands on what is left; true when the sink took every byte.
  bool Finish() {
    Flush();
    return whole_;
  }

 private:
  static constexpr size_t kPieceBytes = size_t(1) << 20;

  uint8_t* Take(size_t count) {
    if (used_ + count > kPieceBytes) Flush();
    uint8_t* at = piece_.get() + used_;
    used_ += count;
    return at;
  }
  void Flush() {
    if (whole_ && used_ > 0) whole_ = sink_(piece_.get(), used_);
    used_ = 0;
  }

  ByteSink sink_;
  std::unique_ptr<uint8_t[]> piece_ = std::make_unique_for_overwrite<uint8_t[]>(kPieceBytes);
  size_t used_ = 0;
  bool whole_ = true;
};

// A model repeats few normals: each one is matched against the table once, then looked up by
// its exact bits.
class NormalIndexCache {
 public:
  uint8_t IndexOf(Vec3 normal) {
    const Key key{std::bit_cast<uint32_t>(normal.x), std::bit_cast<uint32_t>(normal.y),
                  std::bit_cast<uint32_t>(normal.z)};
    Entry& entry = entries_[Slot(key)];
    if (!entry.filled || !(entry.key == key)) entry = {key, KmoNormalIndex(normal), true};
    return entry.index;
  }

 private:
  struct Key {
    uint32_t x, y, z;
    bool operator==(const Key&) const = default;
  };
  struct Entry {
    Key key;
    uint8_t index;
    bool filled;
  };
  static constexpr size_t kSlots = 4096;

  static size_t Slot(const Key& key) {
    const uint64_t mixed = (uint64_t(key.x) * 0x9E3779B97F4A7C15u) ^
                           (uint64_t(key.y) * 0xC2B2AE3D27D4EB4Fu) ^
                           (uint64_t(key.z) * 0x165667B19E3779F9u);
    return size_t(mixed >> 52) & (kSlots - 1);
  }

  std::vector<Entry> entries_ = std::vector<Entry>(kSlots);
};

void EncodeFrame(ByteWriter& out, const MeshFrame& frame, NormalIndexCache& normals) {
  out.U32(uint32_t(frame.buildStream.count()));
  for (const MeshVertex& vertex : frame.buildStream) {
    out.F32(vertex.position.x);
    out.F32(vertex.position.y);
    out.F32(vertex.position.z);
    out.U8(normals.IndexOf(vertex.normal));
    out.U8(vertex.colourIndex);
  }
}

// The file's exact length: header, colour table, texture pairs, then each frame's records.
size_t EncodedSize(const MeshObject& mesh) {
  size_t size = 24 + 4 * size_t(mesh.colourTable.count()) +
                8 * size_t(mesh.frames[0].buildStream.count());
  for (const MeshFrame& frame : mesh.frames) {
    size += 4 + size_t(kVertexBytes) * size_t(frame.buildStream.count());
  }
  return size;
}

// The mesh must have frames.
bool EncodeInto(const MeshObject& mesh, ByteSink sink) {
  const GrowArray<MeshVertex>& first = mesh.frames[0].buildStream;
  ByteWriter out(std::move(sink));
  out.U32(uint32_t(kKmoMagic));
  out.F64(kKmoVersion);
  out.U32(uint32_t(mesh.frames.count()));
  out.U32(uint32_t(mesh.colourTable.count()));
  out.U32(uint32_t(first.count()));
  for (uint32_t colour : mesh.colourTable) out.U32(colour);
  for (const MeshVertex& vertex : first) {
    out.F32(vertex.u);
    out.F32(vertex.v);
  }
  NormalIndexCache normals;
  for (const MeshFrame& frame : mesh.frames) EncodeFrame(out, frame, normals);
  return out.Finish();
}

// ---- reading

// Reads little-endian fields in order, from bytes in memory or from a stream a piece at a time,
// so a file is read only as far as its counts lead. Counts are checked against Remaining before
// their records are taken.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : window_(bytes), size_(bytes.size()) {}
  // The stream from its position to its end.
  explicit ByteReader(FileStream& stream)
      : stream_(&stream), size_(size_t(stream.size - stream.position)) {}

  int64_t Remaining() const { return int64_t(size_) - int64_t(consumed_); }
  // True when `count` records of `recordBytes` each are all there.
  bool Holds(int64_t count, int64_t recordBytes) const {
    return count >= 0 && count <= Remaining() / recordBytes;
  }
  // False when the stream gave fewer bytes than its size promised.
  bool Failed() const { return failed_; }

  bool U32(uint32_t& v) {
    if (Remaining() < 4) return false;
    v = LoadLe32(Take(4));
    return true;
  }
  bool I32(int32_t& v) {
    uint32_t word;
    if (!U32(word)) return false;
    v = int32_t(word);
    return true;
  }
  bool F32(float& v) {
    uint32_t word;
    if (!U32(word)) return false;
    v = std::bit_cast<float>(word);
    return true;
  }
  bool F64(double& v) {
    if (Remaining() < 8) return false;
    v = std::bit_cast<double>(LoadLe64(Take(8)));
    return true;
  }
  // The next n bytes (at most a field or a record), which the caller has checked are there.
  const uint8_t* Take(int64_t n) {
    if (window_.size() - at_ < size_t(n)) Refill();
    const uint8_t* bytes = window_.data() + at_;
    at_ += size_t(n);
    consumed_ += size_t(n);
    return bytes;
  }

 private:
  static constexpr size_t kPieceBytes = size_t(1) << 16;

  // Keeps the unread bytes and reads what follows them, up to a piece; a read that fails leaves
  // zeros and marks the reader failed.
  void Refill() {
    const size_t kept = window_.size() - at_;
    if (kept > 0) std::memmove(piece_.data(), window_.data() + at_, kept);
    const size_t more = std::min(kPieceBytes - kept, size_t(Remaining()) - kept);
    if (!FileStreamReadExact(*stream_, piece_.data() + kept, int32_t(more))) {
      std::fill_n(piece_.data() + kept, more, 0);
      failed_ = true;
    }
    window_ = {piece_.data(), kept + more};
    at_ = 0;
  }

  FileStream* stream_ = nullptr;
  std::vector<uint8_t> piece_ = std::vector<uint8_t>(stream_ ? kPieceBytes : 0);
  std::span<const uint8_t> window_;
  size_t at_ = 0;
  size_t size_;
  size_t consumed_ = 0;
  bool failed_ = false;
};

struct KmoHeader {
  double version = 0;
  int32_t frames = 0;
  int32_t colours = 0;
  int32_t texCoords = 0;
};

struct TexCoord {
  float u, v;
};

class KmoDecoder {
 public:
  // The reader stands after the magic, which the caller has checked.
  KmoDecoder(ByteReader in, MeshObject& mesh)
      : in_(std::move(in)), mesh_(mesh), fileBytes_(in_.Remaining() + 4) {}

  KmoReadResult Decode(double& version) {
    const KmoReadResult result = DecodeFields(version);
    return result == KmoReadResult::Ok && in_.Failed() ? KmoReadResult::ReadError : result;
  }

 private:
  KmoReadResult DecodeFields(double& version) {
    if (!in_.F64(header_.version) || !in_.I32(header_.frames) || !in_.I32(header_.colours) ||
        !in_.I32(header_.texCoords)) {
      return KmoReadResult::ReadError;
    }
    version = header_.version;
    // Written this way round so a NaN version is refused too.
    if (!(header_.version >= kKmoOldestVersion && header_.version <= kKmoVersion)) {
      return KmoReadResult::WrongVersion;
    }
    const bool packed = header_.version < kKmoVersion;
    memoryLeft_ =
        kMemoryFloor + (packed ? kPackedMemoryPerFileByte : kMemoryPerFileByte) * fileBytes_;
    KmoReadResult result = ReadTables();
    if (result != KmoReadResult::Ok) return result;
    if (!in_.Holds(header_.frames, 4)) return KmoReadResult::ReadError;
    if (!Reserve(mesh_.frames, header_.frames)) return KmoReadResult::MallocError;
    for (int32_t f = 0; f < header_.frames; ++f) {
      result = packed ? ReadPackedFrame() : ReadFrame();
      if (result != KmoReadResult::Ok) return result;
    }
    mesh_.normalsDone = 1;
    return KmoReadResult::Ok;
  }

  // Room for exactly n elements, taken out of what the file may cost; false past it.
  template <class T>
  bool Reserve(GrowArray<T>& array, int32_t n) {
    const int64_t cost = int64_t(n) * int64_t(sizeof(T));
    if (cost > memoryLeft_) return false;
    memoryLeft_ -= cost;
    return array.ReserveExact(n);
  }

  KmoReadResult ReadTables() {
    if (!in_.Holds(header_.colours, 4)) return KmoReadResult::ReadError;
    if (!Reserve(mesh_.colourTable, header_.colours)) return KmoReadResult::MallocError;
    for (int32_t i = 0; i < header_.colours; ++i) {
      uint32_t colour = 0;
      in_.U32(colour);
      mesh_.colourTable.Append(colour);
    }
    if (!in_.Holds(header_.texCoords, 8)) return KmoReadResult::ReadError;
    if (!Reserve(texCoords_, header_.texCoords)) return KmoReadResult::MallocError;
    for (int32_t i = 0; i < header_.texCoords; ++i) {
      TexCoord pair{0, 0};
      in_.F32(pair.u);
      in_.F32(pair.v);
      texCoords_.Append(pair);
    }
    return KmoReadResult::Ok;
  }

  // A new frame at the end of the mesh with room for n records.
  MeshFrame* AddFrame(int32_t n) {
    if (!mesh_.frames.Append(MeshFrame{})) return nullptr;
    MeshFrame& frame = mesh_.frames.back();
    return Reserve(frame.buildStream, n) ? &frame : nullptr;
  }

  // The normal and colour of a record; false when either index points outside its table.
  bool DecodeIndices(MeshVertex& vertex, uint8_t normalIndex, uint8_t colourIndex) {
    if (normalIndex >= kKmoNormalCount || colourIndex >= header_.colours) return false;
    vertex.normal = KmoNormalTable[normalIndex];
    SetVertexColour(vertex, mesh_.colourTable[colourIndex], colourIndex);
    return true;
  }

  // Frames may hold more records than there are coordinate pairs; the rest get (0, 0).
  TexCoord TexCoordAt(int32_t i) const {
    return i < texCoords_.count() ? texCoords_[i] : TexCoord{0, 0};
  }

  KmoReadResult ReadFrame() {
    int32_t n;
    if (!in_.I32(n) || !in_.Holds(n, kVertexBytes)) return KmoReadResult::ReadError;
    MeshFrame* frame = AddFrame(n);
    if (!frame) return KmoReadResult::MallocError;
    for (int32_t i = 0; i < n; ++i) {
      const uint8_t* record = in_.Take(kVertexBytes);
      MeshVertex vertex;
      vertex.position = {std::bit_cast<float>(LoadLe32(record)),
                         std::bit_cast<float>(LoadLe32(record + 4)),
                         std::bit_cast<float>(LoadLe32(record + 8))};
      if (!DecodeIndices(vertex, record[12], record[13])) return KmoReadResult::ReadError;
      vertex.u = TexCoordAt(i).u;
      vertex.v = TexCoordAt(i).v;
      frame->buildStream.Append(vertex);
    }
    return KmoReadResult::Ok;
  }

  KmoReadResult ReadPackedFrame() {
    int32_t n;
    if (!in_.I32(n) || in_.Remaining() < kPackedFrameHeaderBytes) return KmoReadResult::ReadError;
    float offset[3] = {}, scale[3] = {};
    for (float& a : offset) in_.F32(a);
    for (float& b : scale) in_.F32(b);
    if (!in_.Holds(n, kPackedVertexBytes)) return KmoReadResult::ReadError;
    MeshFrame* frame = AddFrame(n);
    if (!frame) return KmoReadResult::MallocError;
    for (int32_t i = 0; i < n; ++i) {
      const uint8_t* record = in_.Take(kPackedVertexBytes);
      MeshVertex vertex;
      vertex.position = {(float(record[0]) - offset[0]) * scale[0],
                         (float(record[1]) - offset[1]) * scale[1],
                         (float(record[2]) - offset[2]) * scale[2]};
      if (!DecodeIndices(vertex, record[3], record[4])) return KmoReadResult::ReadError;
      vertex.tangent = KmoNormalTable[0];
      vertex.bitangent = KmoNormalTable[0];
      vertex.u = TexCoordAt(i).u;
      vertex.v = -TexCoordAt(i).v;
      frame->buildStream.Append(vertex);
    }
    return KmoReadResult::Ok;
  }

  ByteReader in_;
  MeshObject& mesh_;
  const int64_t fileBytes_;
  int64_t memoryLeft_ = 0;
  KmoHeader header_;
  GrowArray<TexCoord> texCoords_;
};

// ---- the file

bool HasBinaryMagic(std::span<const uint8_t> bytes) {
  return bytes.size() >= 4 && LoadLe32(bytes.data()) == uint32_t(kKmoMagic);
}

KmoReadResult ReadTextModelInto(std::span<const uint8_t> bytes, MeshObject& mesh) {
  ParsedTextModel parsed;
  if (!ParseKmoTextModel(parsed, bytes)) return KmoReadResult::ReadError;
  return TextModelToMesh(parsed, mesh);
}

KmoReadResult DecodeModelBytes(std::span<const uint8_t> bytes, MeshObject& mesh,
                               double& version) {
  return HasBinaryMagic(bytes) ? DecodeKmoModel(bytes, mesh, version)
                               : ReadTextModelInto(bytes, mesh);
}

// A binary model is read as far as its counts lead, a piece at a time; a text model whole, once
// its first bytes say it is one.
KmoReadResult ReadModelFile(FileStream& stream, MeshObject& mesh, double& version) {
  uint8_t magic[4];
  if (stream.size >= 4 && FileStreamReadExact(stream, magic, 4) && HasBinaryMagic(magic))
    return KmoDecoder(ByteReader(stream), mesh).Decode(version);
  ParsedTextModel parsed;
  if (!ParseKmoTextStream(parsed, stream)) return KmoReadResult::ReadError;
  return TextModelToMesh(parsed, mesh);
}

// The reader refuses a record whose colour index lies outside the colour table, as the records
// of a mesh whose table was never built have it: such a mesh is not written at all.
bool ColourIndicesInTable(const MeshObject& mesh) {
  for (const MeshFrame& frame : mesh.frames) {
    for (const MeshVertex& vertex : frame.buildStream) {
      if (vertex.colourIndex >= mesh.colourTable.count()) return false;
    }
  }
  return true;
}

void ReportRefusedFile(KmoReadResult result, double version, const char* name) {
  if (result == KmoReadResult::WrongVersion) {
    std::string line = "Wrong .kmo version: " + FormatFixedText(version, 2) + ". Can use 1.02-" +
                       FormatFixedText(kKmoVersion, 2) + "\n";
    ErrorLogWrite(line.c_str());
  }
  const char* report = result == KmoReadResult::MallocError ? "# malloc error\n" : "# read error\n";
  ErrorLogWrite(report);
  ErrorLogWrite((std::string(name) + "\n").c_str());
}

}  // namespace

uint8_t KmoNormalIndex(Vec3 normal) {
  Vec3 n = NormaliseOrKeep(normal);
  float best = 10000.0f;
  uint8_t index = 0;
  for (int32_t i = 0; i < kKmoNormalCount; ++i) {
    float score = std::fabs(Dot(n, n - KmoNormalTable[i]));
    if (score <= best) {
      best = score;
      index = uint8_t(i);
      if (score == 0) break;
    }
  }
  return index;
}

std::vector<uint8_t> EncodeKmoModel(const MeshObject& mesh) {
  std::vector<uint8_t> bytes;
  if (mesh.frames.empty()) return bytes;
  bytes.reserve(EncodedSize(mesh));
  EncodeInto(mesh, [&bytes](const uint8_t* piece, size_t count) {
    bytes.insert(bytes.end(), piece, piece + count);
    return true;
  });
  return bytes;
}

int SaveKmoModel(const MeshObject& mesh, const char* name) {
  if (mesh.frames.empty() || mesh.streamsAreStubs || !name || IsMemoryFileName(name)) return 0;
  if (!ColourIndicesInTable(mesh)) return 0;
  const bool saved = platform::AtomicRewriteWith(name, [&mesh](int fd) {
    return EncodeInto(mesh, [fd](const uint8_t* piece, size_t count) {
      return platform::WriteFull(fd, piece, count);
    });
  });
  return saved ? 1 : 0;
}

KmoReadResult DecodeKmoModel(std::span<const uint8_t> bytes, MeshObject& mesh, double& version) {
  MeshObjectClear(mesh, true);
  if (!HasBinaryMagic(bytes)) return KmoReadResult::ReadError;
  KmoReadResult result = KmoDecoder(ByteReader(bytes.subspan(4)), mesh).Decode(version);
  if (result != KmoReadResult::Ok) MeshObjectClear(mesh, true);
  return result;
}

int LoadKmoModel(MeshObject& mesh, const char* name) {
  MeshObjectClear(mesh, true);
  if (!name || !*name) return 0;
  FileStream stream;
  if (!FileStreamOpen(stream, name)) return 0;
  double version = 0;
  const KmoReadResult result = stream.memory ? DecodeModelBytes(*stream.memory, mesh, version)
                                             : ReadModelFile(stream, mesh, version);
  if (result == KmoReadResult::Ok) return 1;
  MeshObjectClear(mesh, true);
  ReportRefusedFile(result, version, name);
  return 0;
}
