// The glue to libjpeg. Its fatal errors jump back to the setjmp of the operation; the functions
// that set one hold no C++ objects, and their callers release the library object, the file and
// the buffer on every path.
#include "gfx2d/jpeg_file.h"

#include <unistd.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// After <cstdio> and <cstddef>: libjpeg's headers use FILE and size_t without declaring them.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/files.h"
#include "system/debug_log.h"
#include "system/memory_blocks.h"

namespace {

constexpr int kSaveQuality = 80;

// What a file can make the library hold grows with the file. Every block of a scan takes at
// least one bit, and a progressive file keeps 128 bytes of coefficients per block, so a real file
// needs about a kilobyte per byte at most; headers that declare gigabytes in a few hundred bytes
// are refused at the limit instead of allocated.
constexpr long kLibraryMemoryFloor = 16L << 20;
constexpr long kLibraryMemoryPerFileByte = 4096;
// Real progressive files have a dozen scans or so; every scan walks the whole picture.
constexpr int kScanLimit = 256;

struct JpegErrorTrap {
  jpeg_error_mgr manager;  // first, so the library's error pointer is the trap
  std::jmp_buf jump;
  void (*libraryEmit)(j_common_ptr, int);
};

JpegErrorTrap& TrapOf(j_common_ptr info) {
  return *reinterpret_cast<JpegErrorTrap*>(info->err);
}

[[noreturn]] void JpegErrorExit(j_common_ptr info) {
  (*info->err->output_message)(info);
  std::longjmp(TrapOf(info).jump, 1);
}

// A truncated file, or data that end before the picture does, is only a warning to the library,
// which pads the picture with grey; here it is a failure. Other warnings are reported as the
// library reports them.
void JpegEmitMessage(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) JpegErrorExit(info);
  TrapOf(info).libraryEmit(info, level);
}

// The library's messages go to the debug log: the caller already tells the user what failed.
void JpegLogMessage(j_common_ptr info) {
  char text[JMSG_LENGTH_MAX + 16] = "libjpeg: ";
  (*info->err->format_message)(info, text + std::strlen(text));
  std::strcat(text, "\n");
  ErrorLogWrite(text);
}

// Called by the library as it works through the file.
void StopEndlessScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kScanLimit)
    std::longjmp(TrapOf(info).jump, 1);
}

jpeg_error_mgr* InstallTrap(JpegErrorTrap& trap) {
  jpeg_error_mgr* manager = jpeg_std_error(&trap.manager);
  trap.libraryEmit = manager->emit_message;
  manager->error_exit = JpegErrorExit;
  manager->emit_message = JpegEmitMessage;
  manager->output_message = JpegLogMessage;
  return manager;
}

// fdopen over the platform's descriptors keeps them close-on-exec and folders refused.
std::FILE* OpenStdio(int fd, const char* mode) {
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, mode);
  if (!file) platform::CloseDescriptor(fd);
  return file;
}

struct JpegReadJob {
  jpeg_decompress_struct info;
  JpegErrorTrap trap;
  jpeg_progress_mgr progress;
  std::FILE* file = nullptr;
  uint8_t* row = nullptr;  // one decoded row
  RgbaImage* image = nullptr;
  ImagePart* part = nullptr;
  int32_t largestSide = kAnyImageSide;
};

// Grey, RGB and four channels; any other count is logged.
bool SupportedChannels(int channels) {
  if (channels == 1 || channels == 3 || channels == 4) return true;
  ErrorLogWrite(("JPEG: Channels: " + std::to_string(channels) + " not supported!\n").c_str());
  return false;
}

// Grey and RGB become opaque RGBA; four channels are copied as they are.
void StoreRow(const uint8_t* in, int32_t channels, int32_t width, uint8_t* out) {
  if (channels == 4) {
    std::memcpy(out, in, size_t(width) * 4);
    return;
  }
  for (int32_t x = 0; x < width; ++x, out += 4, in += channels) {
    out[0] = in[0];
    out[1] = in[channels == 3 ? 1 : 0];
    out[2] = in[channels == 3 ? 2 : 0];
    out[3] = 255;
  }
}

void LimitLibrary(JpegReadJob& job) {
  job.progress = {};
  job.progress.progress_monitor = StopEndlessScans;
  job.info.progress = &job.progress;
  const int64_t fileBytes = platform::DescriptorSize(fileno(job.file));
  job.info.mem->max_memory_to_use = kLibraryMemoryFloor + kLibraryMemoryPerFileByte * fileBytes;
}

bool SizeImage(JpegReadJob& job, int32_t width, int32_t channels) {
  if (!ResizeImageForPart(*job.image, width, int32_t(job.info.output_height), job.part))
    return false;
  job.image->hasAlpha = channels == 4 ? 1 : 0;  // a reused image keeps no stale flag
  return true;
}

// The rows are decoded one at a time into the kept part of the image, so no more than the kept
// pixels and one row are held besides the library's own memory.
bool DecodeJpeg(JpegReadJob& job) {
  if (setjmp(job.trap.jump)) return false;
  jpeg_create_decompress(&job.info);
  LimitLibrary(job);
  jpeg_stdio_src(&job.info, job.file);
  jpeg_read_header(&job.info, TRUE);
  // The header's size is the output size (no scaling is asked for); a few bytes can declare
  // gigabytes, so the size is judged before any decoding starts.
  if (!ImageSizeFits(job.info.image_width, job.info.image_height, job.largestSide)) return false;
  job.info.do_fancy_upsampling = FALSE;
  jpeg_start_decompress(&job.info);
  const int32_t width = int32_t(job.info.output_width);
  const int32_t channels = job.info.output_components;
  if (!SupportedChannels(channels)) return false;
  job.row = static_cast<uint8_t*>(std::malloc(size_t(width) * size_t(channels)));
  if (!job.row) return false;
  RgbaImage& image = *job.image;
  while (job.info.output_scanline < job.info.output_height) {
    const auto y = int32_t(job.info.output_scanline);
    JSAMPROW row = job.row;
    jpeg_read_scanlines(&job.info, &row, 1);
    // Made once the first row has decoded: a file whose data end at once never costs the size
    // its header declares.
    if (y == 0 && !SizeImage(job, width, channels)) return false;
    if (y < image.height)
      StoreRow(job.row, channels, image.width, image.pixels + size_t(y) * size_t(image.width) * 4);
  }
  jpeg_finish_decompress(&job.info);
  return true;
}

struct JpegWriteJob {
  jpeg_compress_struct info;
  JpegErrorTrap trap;
  std::FILE* file = nullptr;
  const uint8_t* pixels = nullptr;
  uint8_t* row = nullptr;  // one packed R, G, B row
  int32_t width = 0;
  int32_t height = 0;
};

bool EncodeJpeg(JpegWriteJob& job) {
  if (setjmp(job.trap.jump)) return false;
  jpeg_create_compress(&job.info);
  jpeg_stdio_dest(&job.info, job.file);
  job.info.image_width = JDIMENSION(job.width);
  job.info.image_height = JDIMENSION(job.height);
  job.info.input_components = 3;
  job.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job.info);
  jpeg_set_quality(&job.info, kSaveQuality, TRUE);
  jpeg_start_compress(&job.info, TRUE);
  while (job.info.next_scanline < job.info.image_height) {
    const uint8_t* in = job.pixels + size_t(job.info.next_scanline) * size_t(job.width) * 4;
    for (int32_t x = 0; x < job.width; ++x, in += 4) {
      job.row[x * 3] = in[2];
      job.row[x * 3 + 1] = in[1];
      job.row[x * 3 + 2] = in[0];
    }
    JSAMPROW row = job.row;
    jpeg_write_scanlines(&job.info, &row, 1);
  }
  jpeg_finish_compress(&job.info);
  return true;
}

}  // namespace

bool JpegSave(const char* name, const uint8_t* pixels, int32_t width, int32_t height) {
  if (!name || IsMemoryFileName(name) || !pixels || width <= 0 || height <= 0) return false;
  JpegWriteJob job;
  std::memset(&job.info, 0, sizeof job.info);
  job.info.err = InstallTrap(job.trap);
  job.pixels = pixels;
  job.width = width;
  job.height = height;
  job.row = static_cast<uint8_t*>(std::malloc(size_t(width) * 3));
  if (!job.row) return false;
  platform::Replacement file;
  // The stream gets a descriptor of its own: the replacement closes its own one at the end.
  if (platform::BeginReplacement(name, file)) job.file = OpenStdio(dup(file.fd), "wb");
  bool written = job.file && EncodeJpeg(job);
  jpeg_destroy_compress(&job.info);
  if (job.file && std::fclose(job.file) != 0) written = false;
  std::free(job.row);
  if (written) return platform::CommitReplacement(file);
  if (file.fd >= 0) platform::AbandonReplacement(file);
  return false;
}

bool LoadJpegImage(RgbaImage& image, const char* name, int32_t largestSide, ImagePart* part) {
  if (!name || IsMemoryFileName(name)) return false;
  JpegReadJob job;
  job.image = &image;
  job.part = part;
  job.largestSide = largestSide;
  std::memset(&job.info, 0, sizeof job.info);
  job.info.err = InstallTrap(job.trap);
  job.file = OpenStdio(platform::OpenForRead(name), "rb");
  if (!job.file) return false;
  const bool decoded = DecodeJpeg(job);
  jpeg_destroy_decompress(&job.info);
  std::fclose(job.file);
  std::free(job.row);
  return decoded;
}
