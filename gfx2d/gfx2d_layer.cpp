// The 2D layer's installation into the frame.
#include "gfx2d/gfx2d_layer.h"

void InstallGfx2dLayer() {
  InstallSpriteServices();
  InstallScreenServices();
  InstallBackgroundDrawing();
  InstallTextHooks();
  InstallScreenSnapshot();
}
