// The runtime's commands as the tool's screen: what the tool draws, shows and times with.
#pragma once

#include "tool/tool_screen.h"

// PrintText in fixed-width text, DrawRect, ShowScreen(1) and GetTimer. The number question and
// leaving 3D mode stay empty until the line editor and the 3D commands are built in.
ToolScreen RuntimeToolScreen();
