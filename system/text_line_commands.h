// The program's commands that read and write single lines of a text file by number (0 to 255)
// without a file channel. Reading a line that is not there gives the texts "NO_DATA" and
// "NO_FILE" rather than stopping the program.
#pragma once

#include <cstdint>

#include "core/str.h"

// 0, 3 (no such file: "NO_FILE") or 7 (line outside 0..255: "NO_DATA"). An empty line, or one
// of control characters only, is "NO_DATA" with result 0.
int32_t GetTextLine(const Str& name, int32_t line, Str& out);
// 0, or 7 (nothing stored) for a line outside 0..255 or a text over 1023 bytes. A missing file
// is made when the cache writes back.
int32_t PutTextLine(const Str& name, int32_t line, const Str& text);

// The same with the line number as a number, truncated toward zero; the values convert as the
// language converts text and numbers.
void GetTextLineNumber(const Str& name, double line, double& out);
void GetTextLineInt(const Str& name, double line, int32_t& out);
int32_t GetTextLineAt(const Str& name, double line, Str& out);
void PutTextLineNumber(const Str& name, double line, double value);
int32_t PutTextLineAt(const Str& name, double line, const Str& text);

// At process exit: writes back a changed file and empties the cache.
void TextLineCacheRelease();
