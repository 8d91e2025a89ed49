// The text form of the model file, only read: after the word "KMOA" and a version, numbers
// separated by blanks give the texture coordinates, the coloured faces and each frame's
// vertices. Every face becomes one fan of the mesh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx3d/grow_array.h"
#include "gfx3d/kmo_binary_file.h"
#include "gfx3d/mesh_object.h"
#include "system/file_stream.h"

inline constexpr float kKmoTextVersion = 1.1f;  // the newest; from it on vertices carry normals

struct TextModelFace {
  int32_t red = 0, green = 0, blue = 0;
  GrowArray<int32_t> vertexIndices;    // into the frame's vertices, one per corner
  GrowArray<int32_t> texCoordIndices;  // into the texture coordinates, one per corner
};

// Copies the colour and both index lists; the destination takes the source's growth. False
// when memory runs out.
bool TextModelFaceAssign(TextModelFace& dest, const TextModelFace& src);

struct TextModelTexCoord {
  float u = 0, v = 0;
};

struct TextModelVertex {
  Vec3 position;
  Vec3 normal;  // (0, 0, 0) before version 1.1
};

struct ParsedTextModel {
  GrowArray<TextModelFace> faces;
  GrowArray<TextModelTexCoord> texCoords;
  GrowArray<GrowArray<TextModelVertex>> frames;
};

// The tokens of a text model held in memory: blanks, tabs and line ends separate them, '#'
// comments run to the end of the line (at most 512 bytes), and a token is cut to 1023 bytes.
class TextModelTokens {
 public:
  static constexpr int32_t kTokenBytes = 1024;
  static constexpr int32_t kCommentLimit = 512;

  explicit TextModelTokens(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  // Collects the next token; false (and exhausted from then on) when the data are used up.
  bool Next();
  const char* token() const { return token_; }
  int32_t tokenLength() const { return length_; }
  bool exhausted() const { return exhausted_; }
  // Where the next call starts reading.
  size_t position() const { return position_; }

 private:
  void SkipComment();

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  char token_[kTokenBytes] = {};
  int32_t length_ = 0;
  bool exhausted_ = false;
};

// The next token as a number, read decimally and locale-free; 0 when no token is left.
float ReadNumberToken(TextModelTokens& tokens);

// Reads the named file or memory file. 0 when it cannot be opened, its first token is not
// "KMOA", its version is above 1.1 or its frames would hold more records (a marker and the
// corners of every face, in every frame) than a few per byte of the file; data that run out end
// the lists early and still succeed.
int LoadKmoTextModel(ParsedTextModel& parsed, const char* name);

// The same over bytes already in memory; true on success.
bool ParseKmoTextModel(ParsedTextModel& parsed, std::span<const uint8_t> bytes);

// The same over an open stream, which is read whole only once its first bytes show a text
// model; also false when its bytes cannot all be read or held.
bool ParseKmoTextStream(ParsedTextModel& parsed, FileStream& stream);

// Builds the mesh, one fan per face in every frame. ReadError when a corner names a vertex the
// frame lacks or a texture coordinate the model lacks; the mesh is then left empty.
KmoReadResult TextModelToMesh(const ParsedTextModel& parsed, MeshObject& mesh);
