// The glue between libpng and the runtime's streams. libpng reports errors by longjmp to the
// setjmp of the operation that called it; those functions hold no C++ objects with destructors,
// so the jump skips nothing that needs cleaning up.
#include "gfx2d/png_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "platform/files.h"
#include "system/debug_log.h"
#include "system/file_stream.h"

namespace {

struct PngReaderState {
  int32_t errorFlag = 0;
  FileStream stream;
  png_structp png = nullptr;
  png_infop info = nullptr;
};

// Never destroyed: a load may still be open while the process ends.
PngReaderState& Reader() {
  static auto* state = new PngReaderState;
  return *state;
}

// The message goes to the debug log, not to standard error as libpng's default handler would
// put it (the caller tells the user what failed); then back to the operation's setjmp.
[[noreturn]] void PngErrorCallback(png_structp png, png_const_charp message) {
  Reader().errorFlag = 1;
  ErrorLogWrite((std::string("libpng error: ") + (message ? message : "") + "\n").c_str());
  png_longjmp(png, 1);
}

void PngWarningCallback(png_structp, png_const_charp) {}

// A short read is an error: a truncated file must fail, not decode stale bytes.
void PngReadCallback(png_structp png, png_bytep buffer, png_size_t n) {
  auto* stream = static_cast<FileStream*>(png_get_io_ptr(png));
  if (n == 0 || !stream) return;
  if (n > size_t(std::numeric_limits<int32_t>::max()) ||
      !FileStreamReadExact(*stream, buffer, int32_t(n))) {
    png_error(png, "Read Error");
  }
}

void PngWriteCallback(png_structp png, png_bytep data, png_size_t n) {
  const int* fd = static_cast<const int*>(png_get_io_ptr(png));
  if (n > 0 && !platform::WriteFull(*fd, data, n)) png_error(png, "Write Error");
}

void PngFlushCallback(png_structp) {}

bool RewindStream(FileStream& stream) {
  stream.position = 0;
  return stream.descriptor < 0 ||
         platform::SeekDescriptor(stream.descriptor, 0, platform::SeekFrom::Start) == 0;
}

bool HasPngSignature(FileStream& stream) {
  uint8_t signature[4];
  return FileStreamReadExact(stream, signature, 4) && std::memcmp(signature + 1, "PNG", 3) == 0 &&
         RewindStream(stream);
}

void SetUpTransforms(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_expand(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  // Interlaced files are read pass by pass, each pass's pixels put in place as they come: the
  // library's own interlace handling would want whole rows of every kept row held at once.
  png_read_update_info(png, info);
}

bool AcceptedLayout(png_structp png, png_infop info, const char* name) {
  const int channels = png_get_channels(png, info);
  if (channels != 1 && channels != 3 && channels != 4) return false;
  const int bitDepth = png_get_bit_depth(png, info);
  if (bitDepth != 8) {
    std::printf("File %s has bit depth %d.\n", name, bitDepth);
    std::printf("Only bit depth of 8 is supported.");
    return false;
  }
  const int colourType = png_get_color_type(png, info);
  if (colourType != PNG_COLOR_TYPE_GRAY && colourType != PNG_COLOR_TYPE_RGB &&
      colourType != PNG_COLOR_TYPE_RGB_ALPHA) {
    std::printf("File %s has unsupported color type.\n", name);
    std::printf("Types GRAY, RGB and RGB_ALPHA are supported.");
    return false;
  }
  return png_get_image_height(png, info) != 0;
}

bool ReadHeader(PngReaderState& state, const char* name, int32_t* width, int32_t* height,
                int32_t* rowBytes, int32_t* channels) {
  if (setjmp(png_jmpbuf(state.png))) return false;
  png_set_read_fn(state.png, &state.stream, PngReadCallback);
  png_read_info(state.png, state.info);
  if (state.errorFlag) return false;
  SetUpTransforms(state.png, state.info);
  if (!AcceptedLayout(state.png, state.info, name)) return false;
  const size_t bytes = png_get_rowbytes(state.png, state.info);
  if (bytes > size_t(std::numeric_limits<int32_t>::max())) return false;
  *width = int32_t(png_get_image_width(state.png, state.info));
  *height = int32_t(png_get_image_height(state.png, state.info));
  *rowBytes = int32_t(bytes);
  *channels = png_get_channels(state.png, state.info);
  return state.errorFlag == 0;
}

bool WritePng(png_structp png, png_infop info, int* fd, png_bytepp rows, int32_t width,
              int32_t height) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, fd, PngWriteCallback, PngFlushCallback);
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_packing(png);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return Reader().errorFlag == 0;
}

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using MallocPtr = std::unique_ptr<T, FreeDeleter>;

// Rows of the picture into the kept part of the image: three channels are keyed, one is grey.
// The image is made once the first row has decoded, so a file whose data end at once never costs
// the size its header declares.
struct PartRows {
  RgbaImage& image;
  ImagePart* part;
  int32_t width, height, channels, transparent;
  bool sized = false;
};

bool SizeForRows(PartRows& rows) {
  if (rows.sized) return true;
  if (!ResizeImageForPart(rows.image, rows.width, rows.height, rows.part)) return false;
  // Set after the resize, which sets it only when it allocates: a reused image must not keep
  // the flag of its previous picture.
  rows.image.hasAlpha = rows.channels == 4 ? 1 : 0;
  rows.sized = true;
  return true;
}

void StorePixel(const uint8_t* in, int32_t channels, int32_t transparent, uint8_t* out) {
  if (channels == 4) {
    std::memcpy(out, in, 4);
  } else if (channels == 3) {
    StoreKeyedPixel(out, in[0], in[1], in[2], transparent);
  } else {
    out[0] = out[1] = out[2] = in[0];
    out[3] = 255;
  }
}

bool StoreRow(void* context, const uint8_t* row, const PngRowPlace& place) {
  PartRows& part = *static_cast<PartRows*>(context);
  if (!SizeForRows(part)) return false;
  RgbaImage& image = part.image;
  if (place.y >= image.height || place.firstX >= image.width) return true;
  // The row's pixels that land in the kept part.
  const int32_t count =
      std::min(place.count, (image.width - place.firstX + place.stepX - 1) / place.stepX);
  uint8_t* out = image.pixels + (size_t(place.y) * size_t(image.width) + size_t(place.firstX)) * 4;
  if (part.channels == 4 && place.stepX == 1) {
    std::memcpy(out, row, size_t(count) * 4);
    return true;
  }
  for (int32_t i = 0; i < count; ++i, out += size_t(place.stepX) * 4)
    StorePixel(row + size_t(i) * size_t(part.channels), part.channels, part.transparent, out);
  return true;
}

}  // namespace

bool PngLoad(const char* name, int32_t* width, int32_t* height, int32_t* rowBytes,
             int32_t* channels) {
  PngReaderState& state = Reader();
  PngCloseReader();
  state.errorFlag = 0;
  if (!name || !*name || !FileStreamOpen(state.stream, name)) return false;
  if (!HasPngSignature(state.stream)) {
    FileStreamClose(state.stream);
    return false;
  }
  state.png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorCallback, PngWarningCallback);
  if (state.png) state.info = png_create_info_struct(state.png);
  // Only the chunks the pixels need are read: an ancillary chunk declaring gigabytes is skipped
  // instead of allocated, and a compressed one is never expanded.
  if (state.png) png_set_keep_unknown_chunks(state.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  if (!state.info || !ReadHeader(state, name, width, height, rowBytes, channels)) {
    PngCloseReader();
    return false;
  }
  return true;
}

bool PngReadRows(uint8_t* row, PngRowTaker take, void* context) {
  PngReaderState& state = Reader();
  if (!state.png || !state.info) return false;
  if (setjmp(png_jmpbuf(state.png))) return false;
  const png_uint_32 width = png_get_image_width(state.png, state.info);
  const png_uint_32 height = png_get_image_height(state.png, state.info);
  const bool interlaced = png_get_interlace_type(state.png, state.info) == PNG_INTERLACE_ADAM7;
  for (int pass = 0; pass < (interlaced ? PNG_INTERLACE_ADAM7_PASSES : 1); ++pass) {
    const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
    const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
    // The library skips empty passes.
    if (columns == 0 || rows == 0) continue;
    for (png_uint_32 i = 0; i < rows; ++i) {
      png_read_row(state.png, row, nullptr);
      const PngRowPlace place{
          int32_t(interlaced ? PNG_ROW_FROM_PASS_ROW(i, pass) : i),
          int32_t(interlaced ? PNG_PASS_START_COL(pass) : 0),
          int32_t(interlaced ? 1u << PNG_PASS_COL_SHIFT(pass) : 1), int32_t(columns)};
      if (!take(context, row, place)) return false;
    }
  }
  return state.errorFlag == 0;
}

void PngCloseReader() {
  PngReaderState& state = Reader();
  if (state.png) png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
  state.png = nullptr;
  state.info = nullptr;
  FileStreamClose(state.stream);
}

bool PngSave(const char* name, const uint8_t* pixels, int32_t width, int32_t height) {
  if (!name || IsMemoryFileName(name) || width <= 0 || height <= 0 || !pixels) return false;
  MallocPtr<png_bytep> rows(static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height)));
  if (!rows) return false;
  for (int32_t y = 0; y < height; ++y) {
    rows.get()[y] = const_cast<png_bytep>(pixels + size_t(y) * size_t(width) * 4);
  }
  platform::Replacement file;
  if (!platform::BeginReplacement(name, file)) return false;
  Reader().errorFlag = 0;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, PngErrorCallback, PngWarningCallback);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool written = info && WritePng(png, info, &file.fd, rows.get(), width, height);
  if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  if (written) return platform::CommitReplacement(file);
  platform::AbandonReplacement(file);
  return false;
}

namespace {

bool ReadPicture(RgbaImage& image, int32_t width, int32_t height, int32_t rowBytes,
                 int32_t channels, int32_t transparent, ImagePart* part) {
  MallocPtr<uint8_t> row(static_cast<uint8_t*>(std::malloc(size_t(rowBytes))));
  PartRows rows{image, part, width, height, channels, transparent};
  return row && PngReadRows(row.get(), StoreRow, &rows) && SizeForRows(rows);
}

}  // namespace

bool LoadPngImage(RgbaImage& image, const char* name, int32_t transparent, int32_t largestSide,
                  ImagePart* part) {
  int32_t width = 0, height = 0, rowBytes = 0, channels = 0;
  if (!PngLoad(name, &width, &height, &rowBytes, &channels)) return false;
  const bool loaded = ImageSizeFits(width, height, largestSide) &&
                      ReadPicture(image, width, height, rowBytes, channels, transparent, part);
  PngCloseReader();
  return loaded;
}
