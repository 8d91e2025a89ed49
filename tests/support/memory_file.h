// A memory block in the registry for one test, named as the runtime names it, released after.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/memory_blocks.h"

struct MemoryFile {
  uint32_t token;
  std::string name;

  explicit MemoryFile(const std::string& bytes)
      : token(RegisterMemoryBlock(std::vector<uint8_t>(bytes.begin(), bytes.end()))),
        name(FormatMemoryFileName(uint32_t(bytes.size()), token)) {}
  ~MemoryFile() { ReleaseMemoryBlock(token); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  // The block's bytes as readers see them now.
  std::string Bytes() const {
    MemoryBlock block = OpenMemoryFileName(name.c_str());
    return block ? std::string(block->begin(), block->end()) : std::string();
  }
};
