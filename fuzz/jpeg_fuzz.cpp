// JPEG files through the runtime's reader, which reads disk files only: any bytes decode into an
// image that holds its pixels, or are refused, without reading or writing out of bounds and
// without ending the process.
#include <cstdlib>

#include "fuzz/scratch_file.h"
#include "gfx2d/jpeg_file.h"

// The callers' limits allow 16384 a side, where a few hundred hostile bytes decode for seconds;
// a smaller side keeps every input fast while the refusal path stays in play.
constexpr int32_t kLargestSide = 1024;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = WriteScratchFile(data, size);
  RgbaImage image;
  if (LoadJpegImage(image, path.c_str(), kLargestSide) &&
      int64_t(image.width) * image.height * 4 > image.capacity) {
    std::abort();
  }
  ReleaseImage(image);
  return 0;
}
