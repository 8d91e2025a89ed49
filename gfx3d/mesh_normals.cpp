// Normals are sums of unnormalised triangle normals (so larger triangles weigh more), gathered
// per shared entry in stream order and normalised when a frame is written back.
#include "gfx3d/mesh_normals.h"

#include <bit>
#include <cmath>
#include <vector>

namespace {

struct SharedEntry {
  uint32_t key = 0;
  Vec3 normal;
  Vec3 tangent;
  Vec3 bitangent;
};

// Entry numbers by key in an open-addressed table (a slot holds an entry number, -1 when free),
// kept at most half full.
class KeyIndex {
 public:
  int32_t Find(uint32_t key, const std::vector<SharedEntry>& entries) const {
    if (slots_.empty()) return -1;
    for (size_t at = SlotOf(key);; at = (at + 1) & mask_) {
      if (slots_[at] < 0 || entries[size_t(slots_[at])].key == key) return slots_[at];
    }
  }

  void Add(uint32_t key, int32_t entry, const std::vector<SharedEntry>& entries) {
    if (2 * (size_t(entry) + 1) > slots_.size()) Grow(entries);
    Place(key, entry);
  }

 private:
  size_t SlotOf(uint32_t key) const { return size_t((key * 0x9E3779B1u) >> shift_) & mask_; }

  void Place(uint32_t key, int32_t entry) {
    size_t at = SlotOf(key);
    while (slots_[at] >= 0) at = (at + 1) & mask_;
    slots_[at] = entry;
  }

  void Grow(const std::vector<SharedEntry>& entries) {
    const size_t size = slots_.empty() ? 1024 : 2 * slots_.size();
    slots_.assign(size, -1);
    mask_ = size - 1;
    shift_ = 32 - std::countr_zero(size);
    for (size_t i = 0; i < entries.size(); ++i) Place(entries[i].key, int32_t(i));
  }

  std::vector<int32_t> slots_;
  size_t mask_ = 0;
  int shift_ = 0;
};

class SharedEntries {
 public:
  explicit SharedEntries(SharedKeySearch search) : search_(search) {}

  int32_t FindOrAdd(uint32_t key) {
    if (search_ == SharedKeySearch::Linear) {
      for (int32_t i = int32_t(entries_.size()) - 1; i >= 0; --i) {
        if (entries_[i].key == key) return i;
      }
    } else if (int32_t found = index_.Find(key, entries_); found >= 0) {
      return found;
    }
    int32_t added = int32_t(entries_.size());
    if (search_ == SharedKeySearch::Hash) index_.Add(key, added, entries_);
    entries_.push_back(SharedEntry{key, {}, {}, {}});
    return added;
  }

  bool empty() const { return entries_.empty(); }
  SharedEntry& operator[](int32_t i) { return entries_[i]; }

 private:
  SharedKeySearch search_;
  std::vector<SharedEntry> entries_;
  KeyIndex index_;
};

struct Corner {
  Vec3 position;
  float u = 0, v = 0;
  int32_t entry = 0;
};

struct Request {
  bool normals;
  bool smooth;
  bool tangents;
};

// Walks the build streams triangle by triangle, in the runs their markers open.
class NormalAccumulator {
 public:
  NormalAccumulator(Request request, SharedKeySearch search)
      : request_(request), entries_(search) {}

  void AddFrame(MeshFrame& frame) {
    GrowArray<MeshVertex>& records = frame.buildStream;
    recordEntries_.assign(size_t(records.count()), 0);
    int32_t cornerCount = 0;
    bool oddStripTriangle = false;
    for (int32_t i = 0; i < records.count(); ++i) {
      const MeshVertex& record = records[i];
      if (IsBreak(record.colour)) {
        breakCode_ = record.colour;
        cornerCount = 0;
        oddStripTriangle = false;
        continue;
      }
      uint32_t key = request_.smooth ? SmoothVertexKey(record.position) : uint32_t(i);
      recordEntries_[i] = entries_.FindOrAdd(key);
      corners_[cornerCount++] = {record.position, record.u, record.v, recordEntries_[i]};
      if (cornerCount < 3) continue;
      AddTriangle(oddStripTriangle);
      oddStripTriangle = !oddStripTriangle;
      if (breakCode_ == kBreakTriangleList) {
        cornerCount = 0;
        oddStripTriangle = false;
      } else {
        cornerCount = 2;
        corners_[0] = corners_[1];
        corners_[1] = corners_[2];
      }
    }
    WriteBack(records);
  }

 private:
  void AddTriangle(bool oddStripTriangle) {
    const Vec3& p0 = corners_[0].position;
    const Vec3& p1 = corners_[1].position;
    const Vec3& p2 = corners_[2].position;
    if (request_.normals) {
      Vec3 normal = Cross(p2 - p1, p1 - p0);
      if (breakCode_ == kBreakStrip && oddStripTriangle) normal = -normal;
      for (const Corner& corner : corners_) entries_[corner.entry].normal += normal;
    }
    if (request_.tangents) {
      UpdateTangents();
      for (const Corner& corner : corners_) {
        entries_[corner.entry].tangent += tangent_;
        entries_[corner.entry].bitangent += bitangent_;
      }
    }
  }

  // A triangle whose texture coordinates span no area keeps the last usable pair.
  void UpdateTangents() {
    Vec3 e1 = corners_[1].position - corners_[0].position;
    Vec3 e2 = corners_[2].position - corners_[0].position;
    float du1 = corners_[1].u - corners_[0].u;
    float dv1 = corners_[1].v - corners_[0].v;
    float du2 = corners_[2].u - corners_[0].u;
    float dv2 = corners_[2].v - corners_[0].v;
    float det = du1 * dv2 - dv1 * du2;
    if (!(std::fabs(det) > 1e-5)) return;
    Vec3 t = e1 * dv2 - e2 * dv1;
    Vec3 b = e2 * du1 - e1 * du2;
    tangent_ = {t.x / det, t.y / det, t.z / det};
    bitangent_ = {b.x / det, b.y / det, b.z / det};
  }

  // Entries are normalised in place, record by record, so a key met again in a later frame
  // adds onto the value this frame left.
  void WriteBack(GrowArray<MeshVertex>& records) {
    for (int32_t i = 0; i < records.count(); ++i) {
      MeshVertex& record = records[i];
      // A marker refers to entry 0; with no entries at all it keeps what it has.
      if (IsBreak(record.colour) && entries_.empty()) continue;
      SharedEntry& entry = entries_[recordEntries_[i]];
      if (request_.normals) {
        entry.normal = NormaliseOrKeep(entry.normal);
        record.normal = entry.normal;
      }
      if (request_.tangents) {
        entry.tangent = NormaliseOrKeep(entry.tangent);
        entry.bitangent = NormaliseOrKeep(entry.bitangent);
        record.tangent = entry.tangent;
        record.bitangent = entry.bitangent;
      }
    }
  }

  Request request_;
  SharedEntries entries_;
  std::vector<int32_t> recordEntries_;
  Corner corners_[3];
  uint32_t breakCode_ = kBreakTriangleList;
  Vec3 tangent_;
  Vec3 bitangent_;
};

}  // namespace

uint32_t SmoothVertexKey(Vec3 position) {
  double key = 256.0 * position.x + 65536.0 * position.y + 16777216.0 * position.z;
  if (!(std::fabs(key) < 9223372036854775808.0)) return 0;
  return uint32_t(uint64_t(int64_t(key)));
}

void PrepareMeshNormalsWith(MeshObject& mesh, bool computeNormals, bool smooth,
                            bool computeTangents, SharedKeySearch search) {
  if (mesh.frames.empty() || mesh.frames[0].buildStream.empty() || mesh.streamsAreStubs) return;
  Request request{computeNormals && mesh.normalsDone != 1, smooth,
                  computeTangents && mesh.tangentsDone != 1};
  if (!request.normals && !request.tangents) return;
  mesh.normalsDone = 1;
  {  // the shared entries are given back before the triangle lists are made
    NormalAccumulator accumulator(request, search);
    for (MeshFrame& frame : mesh.frames) {
      accumulator.AddFrame(frame);
      if (request.tangents) mesh.tangentsDone = 1;
    }
  }
  mesh.MeshObjectPrepareBase();
}

void PrepareMeshNormals(MeshObject& mesh, bool computeNormals, bool smooth, bool computeTangents) {
  PrepareMeshNormalsWith(mesh, computeNormals, smooth, computeTangents, SharedKeySearch::Hash);
}
