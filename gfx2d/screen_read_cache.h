// Pixel reads are served from one block read of the screen until something changes what the
// block holds. Every 2D draw, clear, background-picture draw, screen switch and present calls
// InvalidateScreenReads(), as must every other path that writes or switches the framebuffer.
#pragma once

void InvalidateScreenReads();
