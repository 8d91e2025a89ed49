// The runtime's binary model file ("kmo"): one mesh with all its frames, little-endian. Version
// 2.0 is written; 1.02 up to 2.0 are read, the older ones with positions packed into bytes. A
// file without the binary magic is read as a text model.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx3d/mesh_object.h"

inline constexpr int32_t kKmoMagic = 0x00C6B317;
inline constexpr double kKmoVersion = 2.0;
inline constexpr double kKmoOldestVersion = 1.02;

// 1 when the whole file was written; 0 for a mesh without frames, a memory-file name, a file
// that cannot be made or any write that fails: the file is replaced only once written whole, so
// a failure leaves what had the name as it was. A mesh whose build streams are stubs, or one the
// reader would refuse (a colour index outside its colour table), answers 0 and writes nothing.
int SaveKmoModel(const MeshObject& mesh, const char* name);

// 1 when the mesh was read; 0 leaves it empty. A refused file is reported to the debug log.
int LoadKmoModel(MeshObject& mesh, const char* name);

// The table entry stored for a normal.
uint8_t KmoNormalIndex(Vec3 normal);

// The file's bytes as SaveKmoModel writes them; empty for a mesh without frames.
std::vector<uint8_t> EncodeKmoModel(const MeshObject& mesh);

enum class KmoReadResult { Ok, ReadError, MallocError, WrongVersion };

// Reads a whole binary model file held in memory (its magic already checked) into an emptied
// mesh. On WrongVersion, `version` holds what the file says. Any result but Ok leaves the mesh
// empty.
KmoReadResult DecodeKmoModel(std::span<const uint8_t> bytes, MeshObject& mesh, double& version);
