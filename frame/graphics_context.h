// OpenGLRainbows, the graphics context: the one window with its OpenGL context and everything the
// 2D layer keeps per run (sprites, fonts, off-screen screens, background pictures).
#pragma once

#include <cstdint>
#include <vector>

#include "frame/graphics_records.h"
#include "platform/window.h"

class Rainbows3D;

class OpenGLRainbows {
 public:
  OpenGLRainbows();
  // Ends any off-screen screen, deletes every framebuffer, the window and the GL context.
  virtual ~OpenGLRainbows();
  OpenGLRainbows(const OpenGLRainbows&) = delete;
  OpenGLRainbows& operator=(const OpenGLRainbows&) = delete;

  TextVertexArray textVertices;
  int32_t unit0Sprite = -1;
  int32_t unit1Sprite = -1;
  uint8_t secondTextureFlag = 0;

  FontGlyph fontGlyphs[kFontCount][kGlyphsPerFont] = {};
  SpriteRecord* sprites = nullptr;  // kSpriteCount records

  float drawAlpha = 0.0f;
  float alphaTestReference = 0.0f;

  uint8_t clearEachFrame = 1;
  uint8_t clearDepth = 1;
  uint8_t bgraSupported = 0;

  OffscreenScreen screens[kOffscreenScreenCount];
  int32_t currentScreen = -1;  // -1 = the window

  std::vector<uint8_t*> alphaMasks;  // one per sprite record, owned by the 2D layer
  // The pictures, then one slot no command reaches: the text input's grab tiles, kept between
  // inputs so each input does not make and fill a new window-sized texture. Freed with the rest.
  BackgroundPicture backgrounds[kBackgroundPictureCount + 1] = {};

  int32_t spriteSmoothing = 1;

  platform::Window* window = nullptr;
  int32_t windowWidth = 0;
  int32_t windowHeight = 0;
  int32_t colourBits = 0;
  uint8_t fullscreen = 0;
  int32_t multisampleRequest = 0;

  int32_t viewportX = 0;
  int32_t viewportY = 0;
  int32_t viewportWidth = 0;
  int32_t viewportHeight = 0;

  int32_t orientation = 0;

  uint32_t transparentColour = 0x008000FF;
  uint32_t fontTransparentColour = 0;

  Rainbows3D* scene = nullptr;

  double nextFrameTime = 0.0;
  double msPerFrame = 0.0;

  void* instance = nullptr;
  platform::GlContext glContext = nullptr;
};
