// The on-screen line editor: the program asks for a line of text, drawn into its own screen at a
// window position in the program's font over what the screen showed when it asked. Each frame
// takes one typed character: Enter ends, Backspace deletes the last character, anything else is
// added; a "_" cursor blinks while nothing is typed. The frame cycle keeps running meanwhile.
#pragma once

#include <cstdint>

#include "core/str.h"

// Edits the text from its current content until Enter.
void InputString(Str& text, int32_t x, int32_t y, int32_t proportional);
// The leading whole number of a line typed from empty; 0 when it has none.
void InputInteger(int32_t* value, int32_t x, int32_t y, int32_t proportional);
// The leading decimal number of a line typed from empty; 0 when it has none.
void InputNumber(double* value, int32_t x, int32_t y, int32_t proportional);
