// Triangulation of build streams, the cel-shading ramp and its texture, and the part's GL names.
#include "gfx3d/mesh_gpu.h"

#include <algorithm>

#include <GL/gl.h>
#include <GL/glext.h>

#include "frame/gl_extensions.h"
#include "gfx3d/scene.h"

GrowArray<uint8_t> CelRamp;

namespace {

enum class RunKind { List, Strip, Fan };

RunKind RunOfBreak(uint32_t code) {
  if (code == kBreakTriangleList) return RunKind::List;
  if (code == kBreakStrip) return RunKind::Strip;
  return RunKind::Fan;  // 0xFFFFFFFD and every other break code
}

// Triangles a stream makes: a list takes its records three at a time, strips and fans add one
// per record after their first two.
int32_t CountTriangles(const GrowArray<MeshVertex>& stream) {
  int64_t triangles = 0;
  int32_t inRun = 0;
  RunKind run = RunKind::List;
  const auto closeRun = [&] { triangles += run == RunKind::List ? inRun / 3 : std::max(inRun - 2, 0); };
  for (const MeshVertex& record : stream) {
    if (!IsBreak(record.colour)) {
      ++inRun;
      continue;
    }
    closeRun();
    inRun = 0;
    run = RunOfBreak(record.colour);
  }
  closeRun();
  return int32_t(std::min<int64_t>(triangles, INT32_MAX / 3));
}

// Reads each record's own colour: it equals its colour-table entry whenever the table covers the
// record, and unlike the byte-sized index it cannot wrap onto a marker above 256 colours.
void TriangulateFrame(MeshFrame& frame) {
  frame.triangles.Clear(false);
  frame.triangles.ReserveExact(3 * int64_t(CountTriangles(frame.buildStream)));
  const MeshVertex* corner[3] = {};
  int32_t k = 0;
  RunKind run = RunKind::List;
  int32_t parity = 0;
  for (const MeshVertex& record : frame.buildStream) {
    if (IsBreak(record.colour)) {
      k = 0;
      run = RunOfBreak(record.colour);
      if (run == RunKind::Strip) parity = 0;
      continue;
    }
    corner[k++] = &record;
    if (k < 3) continue;
    for (const MeshVertex* c : corner) frame.triangles.Append(*c);
    if (run == RunKind::List) {
      k = 0;
    } else if (run == RunKind::Fan) {
      k = 2;
      corner[1] = corner[2];
    } else {
      k = 2;
      parity ^= 1;
      corner[parity == 1 ? 0 : 1] = corner[2];
    }
  }
}

void CopyWorkingList(MeshObjectX& part) {
  const GrowArray<MeshVertex>& first = part.frames[0].triangles;
  part.workingListIsFrame0 = 0;
  part.triangles.Clear(true);
  part.triangles.SetGrowth(first.growStep(), first.minimum());
  if (!part.triangles.ReserveExact(first.count())) return;
  for (const MeshVertex& vertex : first) part.triangles.Append(vertex);
}

bool UsesRealColour(const GrowArray<uint32_t>& table) {
  for (uint32_t colour : table) {
    if (!IsBreak(colour) && colour != 0x00FFFFFF) return true;
  }
  return false;
}

void DeleteTexture(uint32_t& texture) {
  if (texture != 0) glDeleteTextures(1, &texture);
  texture = 0;
}

void DeleteBuffer(uint32_t& buffer) {
  if (buffer != 0 && GlExtensionTable.glDeleteBuffersARB) {
    GlExtensionTable.glDeleteBuffersARB(1, &buffer);
  }
  buffer = 0;
}

void DeleteGlNames(MeshObjectX& part) {
  DeleteBuffer(part.staticBuffer);
  part.staticBufferRecords = 0;
  DeleteBuffer(part.streamBuffer);
  DeleteTexture(part.rampTexture);
}

void FillDefaultCelRamp() {
  static constexpr uint8_t kDefault[16] = {100, 160, 160, 160, 160, 160, 160, 207,
                                           255, 255, 255, 255, 255, 255, 255, 255};
  CelRamp.Clear(false);
  for (uint8_t value : kDefault) CelRamp.Append(value);
}

int32_t RampHeight(int32_t colours) {
  if (colours > 16384) return colours;
  int32_t height = 1;
  while (height < colours) height *= 2;
  return height;
}

int32_t RampWidth(int32_t rampCount) {
  int32_t width = 64;
  while (width < 4 * rampCount && width < 512) width *= 2;
  return width;
}

uint8_t Shade(uint32_t colour, int shift, uint32_t s) {
  return uint8_t(((colour >> shift) & 0xFF) * s / 255);
}

}  // namespace

void MeshObjectX::MeshObjectPrepareBase() {
  TriangulateBuildStream(*this);
}

void TriangulateBuildStream(MeshObjectX& part) {
  if (part.frames.empty()) return;
  for (MeshFrame& frame : part.frames) TriangulateFrame(frame);
  part.triangles.Clear(true);
  part.workingListIsFrame0 = 1;
  part.hasColours = UsesRealColour(part.colourTable) ? 1 : 0;
}

int32_t WorkingRecordCount(const MeshObject& part) {
  if (part.workingListIsFrame0 && !part.frames.empty()) return part.frames[0].triangles.count();
  return part.triangles.count();
}

GrowArray<MeshVertex>& WorkingList(MeshObjectX& part) {
  if (part.workingListIsFrame0 && !part.frames.empty()) CopyWorkingList(part);
  return part.triangles;
}

MeshObjectX& MeshObjectXAssign(MeshObjectX& dest, const MeshObjectX& src) {
  if (&dest == &src) return dest;
  DeleteGlNames(dest);
  MeshObjectAssign(dest, src);
  dest.hasColours = src.hasColours;
  dest.rampRowStep = src.rampRowStep;
  dest.edges.AssignCopy(src.edges);
  dest.facing.AssignCopy(src.facing);
  return dest;
}

void ClearMeshObjectX(MeshObjectX& part, bool freeStorage) {
  MeshObjectClear(part, freeStorage);
  part.edges.Clear(freeStorage);
  part.facing.Clear(freeStorage);
  part.edges.SetGrowth(64, 64);
  part.facing.SetGrowth(64, 64);
  DeleteGlNames(part);
}

std::vector<uint8_t> CelRampBlock(const MeshObjectX& part, bool bgraOrder, int32_t& width,
                                  int32_t& height) {
  if (CelRamp.empty()) FillDefaultCelRamp();
  const GrowArray<uint32_t>& table = part.colourTable;
  const int32_t rampCount = CelRamp.count();
  height = RampHeight(table.count());
  width = RampWidth(rampCount);
  std::vector<uint8_t> block(size_t(width) * size_t(height) * 4);
  uint8_t* pixel = block.data();
  for (int32_t row = 0; row < height; ++row) {
    const bool plain = table.empty();
    const uint32_t colour = plain ? 0 : table[row < table.count() ? row : 0];
    for (int32_t x = 0; x < width; ++x, pixel += 4) {
      const uint32_t s = CelRamp[int32_t(int64_t(x) * rampCount / width)];
      uint8_t r = uint8_t(s), g = uint8_t(s), b = uint8_t(s);
      if (!plain && !IsBreak(colour)) {
        r = Shade(colour, 0, s);
        g = Shade(colour, 8, s);
        b = Shade(colour, 16, s);
      }
      pixel[0] = bgraOrder ? b : r;
      pixel[1] = g;
      pixel[2] = bgraOrder ? r : b;
      pixel[3] = 255;
    }
  }
  return block;
}

void MakeCelRampTexture(MeshObjectX& part, bool bgra) {
  if (part.rampTexture != 0) return;
  int32_t width = 0, height = 0;
  const std::vector<uint8_t> block = CelRampBlock(part, bgra, width, height);
  part.rampRowStep = 1.0f / float(height);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
  glGenTextures(1, &part.rampTexture);
  glBindTexture(GL_TEXTURE_2D, part.rampTexture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, bgra ? GL_RGBA8 : GL_RGBA, width, height, 0,
               bgra ? GL_BGRA : GL_RGBA, GL_UNSIGNED_BYTE, block.data());
}

void SetCelRamp(Rainbows3D& scene, const uint8_t* values, int32_t n) {
  CelRamp.Clear(false);
  if (n < 1) {
    CelRamp.Append(255);
  } else {
    for (int32_t i = 0; i < n; ++i) CelRamp.Append(values[i]);
  }
  for (ObjectSlot& slot : scene.objects) {
    for (MeshObjectX& part : slot.parts) DeleteTexture(part.rampTexture);
  }
}

void ObjectDropVertexData(Rainbows3D& scene, int32_t object) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot) return;
  for (MeshObjectX& part : slot->parts) {
    WorkingList(part);  // kept whole, while frame 0 becomes a stub
    part.colourTable.Clear(true);
    part.edges.Clear(true);
    if (part.frames.empty()) continue;
    MeshFrame stub;
    FrameRecordAssign(stub, part.frames[0]);
    stub.buildStream.Truncate(3);
    stub.triangles.Truncate(1);
    part.frames.Clear(false);
    part.frames.SetGrowth(1, 1);
    part.frames.Append(std::move(stub));
    part.streamsAreStubs = true;
  }
}

void ObjectReleaseBuildStreams(Rainbows3D& scene, int32_t object) {
  ObjectSlot* slot = FindObjectSlot(scene, object);
  if (!slot) return;
  for (MeshObjectX& part : slot->parts) {
    for (MeshFrame& frame : part.frames) {
      frame.buildStream.Truncate(3);
      frame.buildStream.ShrinkToFit();
    }
    part.streamsAreStubs = true;
  }
}
