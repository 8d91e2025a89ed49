// The shared GL context as the process's graphics context, with the 2D commands' state (the
// current font, the error code) at its start values and a folder for the test's files.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/last_error.h"
#include "frame/default_font.h"
#include "frame/screen_orientation.h"
#include "gfx2d/image_save.h"
#include "gfx2d/text_commands.h"
#include "tests/gfx2d/image_test_util.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/owned_str.h"
#include "tests/support/temp_dir.h"

class CommandFixture : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    CurrentFont = 0;
    ClearLastError();
    ASSERT_TRUE(CreateDefaultFont(Context(), 0));
    ClearScreenColour(Context(), 0);
  }

  // A w x h PNG whose pixel (x, y) is opaque (10 x + 1, 20 y + 2, 7, 255): no pixel has the
  // transparent colour.
  std::string WriteTestPng(const std::string& name, int32_t w, int32_t h) {
    ScopedImage picture;
    EXPECT_TRUE(ResizeImage(picture.image, w, h));
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = picture.image.pixels + (size_t(y) * w + x) * 4;
        p[0] = uint8_t(10 * x + 1);
        p[1] = uint8_t(20 * y + 2);
        p[2] = 7;
        p[3] = 255;
      }
    }
    const std::string file = folder_.Child(name);
    EXPECT_TRUE(SaveImage(file.c_str(), picture.image));
    return file;
  }

  static uint32_t ExpectedPixel(int32_t x, int32_t y) {
    return uint32_t(uint8_t(10 * x + 1)) | uint32_t(uint8_t(20 * y + 2)) << 8 | 7u << 16;
  }

  TempDir folder_;
};
