// The argument checks shared by the 2D commands.
#include "gfx2d/command_checks.h"

#include <cmath>
#include <limits>

#include "frame/graphics_records.h"
#include "frame/runtime_objects.h"
#include "system/pack_archive.h"

namespace {

constexpr size_t kReadNameLimit = 1023;

}  // namespace

bool IsSpriteId(int32_t sprite) {
  return sprite >= 0 && sprite < kSpriteCount - 1;
}

bool IsFontId(int32_t font) {
  return static_cast<uint32_t>(font) < static_cast<uint32_t>(kFontCount);
}

bool IsScreenId(int32_t screen) {
  return static_cast<uint32_t>(screen) < static_cast<uint32_t>(kOffscreenScreenCount);
}

OpenGLRainbows* ContextForSprite(int32_t sprite) {
  return IsSpriteId(sprite) ? GraphicsContext : nullptr;
}

int32_t IdFromDouble(double value) {
  const double t = std::trunc(value);
  if (!(t >= std::numeric_limits<int32_t>::min() && t <= std::numeric_limits<int32_t>::max()))
    return -1;
  return static_cast<int32_t>(t);
}

int32_t CountFromDouble(double value) {
  if (std::isnan(value)) return 0;
  const double t = std::trunc(value);
  if (t <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (t >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(t);
}

bool ResolveReadName(const Str& name, std::string& resolved) {
  if (!ResolveFileName(MemoryArchive, name.data, resolved, true) || resolved.empty()) return false;
  if (resolved.size() > kReadNameLimit) resolved.resize(kReadNameLimit);
  return true;
}
