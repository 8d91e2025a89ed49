// Text model files. Counts come from the file, so no loop trusts them: once the data are used
// up, the item being read is finished with zeros and no further item is started.
#include "gfx3d/kmo_text_file.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/text_to_number.h"

namespace {

// The lists of one face or frame start small and double: a text of a few bytes per item must
// not make a block of the default minimum per item.
constexpr int32_t kItemListGrowth = 4;

// Every frame repeats a record per face and corner, so a few bytes of faces times a few bytes of
// empty frames would make gigabytes of records. Real models stay well below this many records
// per byte of their text; a model above it is refused before any record is made.
constexpr int64_t kRecordsPerTextByte = 4;

bool IsSeparator(uint8_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool CopyIndices(GrowArray<int32_t>& dest, const GrowArray<int32_t>& src) {
  dest.Clear(false);
  dest.SetGrowth(src.growStep(), src.minimum());
  if (!dest.Reserve(src.count())) return false;
  for (int32_t index : src) dest.Append(index);
  return true;
}

int32_t ReadCount(TextModelTokens& tokens) {
  return TruncToI32(ReadNumberToken(tokens));
}

void ReadTexCoords(TextModelTokens& tokens, ParsedTextModel& parsed) {
  int32_t count = ReadCount(tokens);
  for (int32_t i = 0; i < count && !tokens.exhausted(); ++i) {
    TextModelTexCoord pair;
    pair.u = ReadNumberToken(tokens);
    pair.v = ReadNumberToken(tokens);
    parsed.texCoords.Append(pair);
  }
}

// Both index lists or neither, so they always have one entry per corner.
void AppendCorner(TextModelFace& face, int32_t vertexIndex, int32_t texCoordIndex) {
  if (!face.vertexIndices.Append(vertexIndex)) return;
  if (!face.texCoordIndices.Append(texCoordIndex)) {
    face.vertexIndices.Truncate(face.vertexIndices.count() - 1);
  }
}

void ReadFaces(TextModelTokens& tokens, ParsedTextModel& parsed) {
  int32_t count = ReadCount(tokens);
  for (int32_t i = 0; i < count && !tokens.exhausted(); ++i) {
    TextModelFace face;
    face.vertexIndices.SetGrowth(kItemListGrowth, kItemListGrowth);
    face.texCoordIndices.SetGrowth(kItemListGrowth, kItemListGrowth);
    face.red = ReadCount(tokens);
    face.green = ReadCount(tokens);
    face.blue = ReadCount(tokens);
    int32_t corners = ReadCount(tokens);
    for (int32_t c = 0; c < corners && !tokens.exhausted(); ++c) {
      const int32_t vertexIndex = ReadCount(tokens);
      AppendCorner(face, vertexIndex, ReadCount(tokens));
    }
    parsed.faces.Append(std::move(face));
  }
}

Vec3 ReadVec3(TextModelTokens& tokens) {
  Vec3 v;
  v.x = ReadNumberToken(tokens);
  v.y = ReadNumberToken(tokens);
  v.z = ReadNumberToken(tokens);
  return v;
}

void ReadFrames(TextModelTokens& tokens, ParsedTextModel& parsed, bool withNormals) {
  int32_t count = ReadCount(tokens);
  for (int32_t i = 0; i < count && !tokens.exhausted(); ++i) {
    GrowArray<TextModelVertex> frame(kItemListGrowth, kItemListGrowth);
    int32_t vertices = ReadCount(tokens);
    for (int32_t v = 0; v < vertices && !tokens.exhausted(); ++v) {
      TextModelVertex vertex;
      vertex.position = ReadVec3(tokens);
      if (withNormals) vertex.normal = ReadVec3(tokens);
      frame.Append(vertex);
    }
    parsed.frames.Append(std::move(frame));
  }
}

uint32_t PackedFaceColour(const TextModelFace& face) {
  return uint32_t(face.red & 0xFF) | uint32_t(face.green & 0xFF) << 8 |
         uint32_t(face.blue & 0xFF) << 16;
}

bool InRange(int32_t index, int32_t count) {
  return index >= 0 && index < count;
}

// Every frame holds a marker and the corners of every face.
int64_t RecordsPerFrame(const ParsedTextModel& parsed) {
  int64_t records = 0;
  for (const TextModelFace& face : parsed.faces) records += 1 + face.vertexIndices.count();
  return records;
}

void ClearParsedModel(ParsedTextModel& parsed) {
  parsed.faces.Clear(true);
  parsed.texCoords.Clear(true);
  parsed.frames.Clear(true);
}

KmoReadResult BuildFrame(const ParsedTextModel& parsed, const GrowArray<TextModelVertex>& vertices,
                         GrowArray<MeshVertex>& stream) {
  const int32_t texCoordCount = parsed.texCoords.count();
  if (!stream.ReserveExact(RecordsPerFrame(parsed))) return KmoReadResult::MallocError;
  for (const TextModelFace& face : parsed.faces) {
    MeshVertex marker;
    SetVertexColour(marker, kBreakFan, 0);
    if (!stream.Append(marker)) return KmoReadResult::MallocError;
    const uint32_t colour = PackedFaceColour(face);
    for (int32_t c = 0; c < face.vertexIndices.count(); ++c) {
      int32_t vertexIndex = face.vertexIndices[c];
      int32_t texCoordIndex = face.texCoordIndices[c];
      if (!InRange(vertexIndex, vertices.count())) return KmoReadResult::ReadError;
      MeshVertex corner;
      corner.position = vertices[vertexIndex].position;
      corner.normal = vertices[vertexIndex].normal;
      if (texCoordCount > 0) {
        if (!InRange(texCoordIndex, texCoordCount)) return KmoReadResult::ReadError;
        corner.u = parsed.texCoords[texCoordIndex].u;
        corner.v = -parsed.texCoords[texCoordIndex].v;
      }
      SetVertexColour(corner, colour, 0);
      if (!stream.Append(corner)) return KmoReadResult::MallocError;
    }
  }
  return KmoReadResult::Ok;
}

}  // namespace

bool TextModelFaceAssign(TextModelFace& dest, const TextModelFace& src) {
  if (&dest == &src) return true;
  dest.red = src.red;
  dest.green = src.green;
  dest.blue = src.blue;
  return CopyIndices(dest.vertexIndices, src.vertexIndices) &&
         CopyIndices(dest.texCoordIndices, src.texCoordIndices);
}

bool TextModelTokens::Next() {
  while (position_ < bytes_.size()) {
    uint8_t c = bytes_[position_];
    if (c == '#') {
      SkipComment();
    } else if (IsSeparator(c)) {
      ++position_;
    } else {
      break;
    }
  }
  length_ = 0;
  token_[0] = 0;
  if (position_ >= bytes_.size()) {
    exhausted_ = true;
    return false;
  }
  // A '#' ends the token and is left to start the comment on the next call.
  while (position_ < bytes_.size() && bytes_[position_] != '#') {
    uint8_t c = bytes_[position_++];
    if (IsSeparator(c)) break;
    if (length_ < kTokenBytes - 1) token_[length_++] = char(c);
  }
  token_[length_] = 0;
  return true;
}

void TextModelTokens::SkipComment() {
  ++position_;
  size_t limit = std::min(bytes_.size(), position_ + size_t(kCommentLimit));
  const void* lineEnd = std::memchr(bytes_.data() + position_, '\n', limit - position_);
  position_ = lineEnd ? size_t(static_cast<const uint8_t*>(lineEnd) - bytes_.data()) + 1 : limit;
}

float ReadNumberToken(TextModelTokens& tokens) {
  if (!tokens.Next()) return 0;
  return float(CStrToNumber(tokens.token()));
}

namespace {

// A text model's first token ends within this many bytes of its start, so these bytes alone say
// whether a file is one, however long it is.
constexpr size_t kTextModelPrefixBytes = size_t(64) << 10;

bool IsTextModelMagic(const TextModelTokens& tokens) {
  return tokens.tokenLength() == 4 && std::memcmp(tokens.token(), "KMOA", 4) == 0;
}

// Whether a file of `fileBytes` bytes that begins with `start` (at least its first
// kTextModelPrefixBytes, or all of it) opens as a text model.
bool OpensTextModel(std::span<const uint8_t> start, int64_t fileBytes) {
  const auto prefix = start.first(std::min(start.size(), kTextModelPrefixBytes));
  TextModelTokens tokens(prefix);
  if (!tokens.Next() || !IsTextModelMagic(tokens)) return false;
  // The token is whole when a separator or a comment ends it inside the prefix, or the file does.
  const size_t end = tokens.position();
  return end < prefix.size() || IsSeparator(prefix[end - 1]) || int64_t(prefix.size()) == fileBytes;
}

}  // namespace

bool ParseKmoTextModel(ParsedTextModel& parsed, std::span<const uint8_t> bytes) {
  ClearParsedModel(parsed);
  if (!OpensTextModel(bytes, int64_t(bytes.size()))) return false;
  TextModelTokens tokens(bytes);
  tokens.Next();  // the magic
  float version = ReadNumberToken(tokens);
  if (version > kKmoTextVersion) return false;
  ReadTexCoords(tokens, parsed);
  ReadFaces(tokens, parsed);
  ReadFrames(tokens, parsed, version >= kKmoTextVersion);
  if (RecordsPerFrame(parsed) * parsed.frames.count() >
      kRecordsPerTextByte * int64_t(bytes.size())) {
    ClearParsedModel(parsed);
    return false;
  }
  return true;
}

bool ParseKmoTextStream(ParsedTextModel& parsed, FileStream& stream) {
  std::vector<uint8_t> prefix(size_t(std::min<int64_t>(stream.size, kTextModelPrefixBytes)));
  std::string bytes;
  if (!FileStreamSeek(stream, 0) ||
      !FileStreamReadExact(stream, prefix.data(), int32_t(prefix.size())) ||
      !OpensTextModel(prefix, stream.size) || !FileStreamSeek(stream, 0) ||
      !FileStreamReadWhole(stream, bytes)) {
    return false;
  }
  return ParseKmoTextModel(parsed, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

int LoadKmoTextModel(ParsedTextModel& parsed, const char* name) {
  FileStream stream;
  return FileStreamOpen(stream, name) && ParseKmoTextStream(parsed, stream) ? 1 : 0;
}

KmoReadResult TextModelToMesh(const ParsedTextModel& parsed, MeshObject& mesh) {
  MeshObjectClear(mesh, true);
  mesh.normalsDone = 1;
  for (const GrowArray<TextModelVertex>& vertices : parsed.frames) {
    MeshFrame frame;
    KmoReadResult result = BuildFrame(parsed, vertices, frame.buildStream);
    if (result == KmoReadResult::Ok && !mesh.frames.Append(std::move(frame))) {
      result = KmoReadResult::MallocError;
    }
    if (result != KmoReadResult::Ok) {
      MeshObjectClear(mesh, true);
      return result;
    }
  }
  BuildColourTable(mesh);
  return KmoReadResult::Ok;
}
