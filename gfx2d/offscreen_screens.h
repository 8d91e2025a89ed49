// Off-screen screens: screen n (0 to 31) lets the program draw into a sprite instead of the
// window. The sprite's texture is the colour attachment of a framebuffer object; without
// framebuffer objects the drawing lands in the window's back buffer and is copied into the
// sprite when the screen ends, the window's own content being kept aside meanwhile.
#pragma once

#include <cstdint>

class OpenGLRainbows;

// Makes sprite a blank width x height picture (in a padded texture) and screen n draw into it.
// False for a bad n or size, or when the framebuffer cannot be made; without framebuffer
// objects the screen works through the copy fall-back and the answer is true.
bool CreateOffscreenScreen(OpenGLRainbows& ctx, int32_t n, int32_t sprite, int32_t width,
                           int32_t height);
// Ends the screen in use, then draws into screen n; any n that is not a made screen means the
// window.
void UseOffscreenScreen(OpenGLRainbows& ctx, int32_t n);
// Gives the window back as the drawing target.
void EndOffscreenScreen(OpenGLRainbows& ctx);
