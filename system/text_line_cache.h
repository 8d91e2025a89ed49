// One text file held in memory for reading and writing single lines by number: the first 256
// lines, of which a program sees at most 1023 bytes each. Changed lines are written back when
// another file is taken up; what the program cannot see (the rest of a longer line, the lines
// after the 256th) goes back unchanged, so a write-back never shortens the file.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t kTextLineCount = 256;
inline constexpr int32_t kTextLineBytes = 1023;  // what one line shows and may be given

struct TextLineCache {
  std::string name;  // as the caller gave it (not resolved); empty = no file
  std::string path;  // the file that name meant when it was taken up, from the root
  std::array<std::string, kTextLineCount> lines;  // each line whole, without its line end
  std::string beyond;     // the file's bytes after the last line held, unchanged
  bool keepFile = false;  // from packed media, or there but unreadable: never written back
  int32_t last = 0;       // the highest line read or stored
  bool dirty = false;
};

// Takes up the named file (null: none). The same name (bytes compared) changes nothing. Any
// other name first writes back a changed file to the file it was read from (a write refused
// because a channel writes to that file or the name was relative to a current folder that no
// longer existed, or failed, keeps the old file whole and sets the error code 3), then empties
// the cache and reads the new file. 3 (also set as the error code) when it cannot be found or
// opened, or its name is 1024 bytes or longer; the cache then keeps the name, if it fits, and
// is empty, so lines stored go to a new file of that name.
int32_t TextLineCacheLoad(TextLineCache& cache, const char* name);

// The text line i shows: at most kTextLineBytes bytes, ending at a NUL byte.
std::string_view TextLineText(const TextLineCache& cache, int32_t i);

// Replaces line i (0..255) with text of at most kTextLineBytes bytes.
void TextLineStore(TextLineCache& cache, int32_t i, std::string_view text);

// The bytes a write-back puts in the file: lines 0..last, each followed by "\r\n", then the
// bytes beyond.
std::string TextLineFileText(const TextLineCache& cache);
