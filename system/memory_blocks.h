// Memory files: the process-wide registry of live memory blocks and their "mem://" names.
// A name carries the block's size and a registry token, never an address, so a forged or stale
// name finds nothing and a reader's reference keeps the bytes alive after the block is released.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using MemoryBlock = std::shared_ptr<const std::vector<uint8_t>>;

inline constexpr char kMemoryNamePrefix[] = "mem://";
inline constexpr size_t kMemoryNameLength = 23;  // "mem://" + 8 size digits + "." + 8 token digits

// Takes the bytes into the registry and answers the token of the new block, or 0 when the block
// cannot be named (larger than the name's 32-bit size field, the registry full, no memory).
uint32_t RegisterMemoryBlock(std::vector<uint8_t> bytes);

// Drops the registry's reference; readers that opened the block keep theirs. Unknown tokens and
// 0 are ignored.
void ReleaseMemoryBlock(uint32_t token);

// "mem://%8x.%8x" of the size and the token: blank-padded lower-case hexadecimal.
std::string FormatMemoryFileName(uint32_t size, uint32_t token);

// True for every name that begins with "mem://": such names are never files on disk and are
// never opened for writing.
bool IsMemoryFileName(const char* name);

// The one way every reader opens a memory name: the block when the token is live and the size
// field equals its size, else null ("no such file").
MemoryBlock OpenMemoryFileName(const char* name);

// Number of live blocks (tests and leak checks).
size_t LiveMemoryBlockCount();
