// The tool's last screen: the finished model spinning before a fixed camera until Escape. The
// minus and equals keys, held, slow the spin down and speed it up without bound.
#pragma once

#include <cstdint>

// The viewer's texture, loaded from "blank.png" at set-up.
inline constexpr int32_t kViewerTextureSprite = 21;

// One frame's change to the spin and to the object shown: the keys held change the speed by
// 0.005 each; an angle that has reached 360 starts again at 0, adding nothing on that frame;
// the object number creeps up by 0.01 a frame until it reaches the object count, so the model
// first shows on the 100th frame.
void StepViewerState(double& spinSpeed, bool slower, bool faster);

// Runs frames until Escape is held after one of them.
void RunModelViewer();
