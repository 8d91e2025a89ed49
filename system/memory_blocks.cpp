// The registry behind memory names. It is immortal: readers and writers that run at process
// exit (the INI write-back, the channel table's destructor) may still look names up.
#include "system/memory_blocks.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace {

constexpr size_t kSizeFieldStart = 6;
constexpr size_t kTokenFieldStart = 15;

struct Registry {
  std::mutex guard;
  std::unordered_map<uint32_t, MemoryBlock> blocks;
  uint32_t lastToken = 0;

  // The next token that is neither 0 nor live; 0 when all 2^32 - 1 are taken.
  uint32_t NextFreeToken() {
    for (uint64_t tries = 0; tries < 0xFFFFFFFFull; ++tries) {
      ++lastToken;
      if (lastToken != 0 && !blocks.contains(lastToken)) return lastToken;
    }
    return 0;
  }
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

}  // namespace

uint32_t RegisterMemoryBlock(std::vector<uint8_t> bytes) {
  if (bytes.size() > 0xFFFFFFFFull) return 0;
  try {
    auto block = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.guard);
    uint32_t token = registry.NextFreeToken();
    if (token != 0) registry.blocks.emplace(token, std::move(block));
    return token;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void ReleaseMemoryBlock(uint32_t token) {
  Registry& registry = TheRegistry();
  MemoryBlock dropped;  // freed outside the lock
  std::lock_guard lock(registry.guard);
  auto it = registry.blocks.find(token);
  if (it == registry.blocks.end()) return;
  dropped = std::move(it->second);
  registry.blocks.erase(it);
}

std::string FormatMemoryFileName(uint32_t size, uint32_t token) {
  char name[kMemoryNameLength + 1];
  std::snprintf(name, sizeof name, "mem://%8x.%8x", size, token);
  return name;
}

bool IsMemoryFileName(const char* name) {
  return name && std::strncmp(name, kMemoryNamePrefix, sizeof kMemoryNamePrefix - 1) == 0;
}

MemoryBlock OpenMemoryFileName(const char* name) {
  if (!IsMemoryFileName(name) || strnlen(name, kTokenFieldStart) < kTokenFieldStart) return {};
  // Both fields are read at their fixed places, as every name of this form has always been.
  unsigned long long size = std::strtoull(name + kSizeFieldStart, nullptr, 16);
  unsigned long long token = std::strtoull(name + kTokenFieldStart, nullptr, 16);
  if (token == 0 || token > 0xFFFFFFFFull) return {};
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.guard);
  auto it = registry.blocks.find(uint32_t(token));
  if (it == registry.blocks.end() || it->second->size() != size) return {};
  return it->second;
}

size_t LiveMemoryBlockCount() {
  Registry& registry = TheRegistry();
  std::lock_guard lock(registry.guard);
  return registry.blocks.size();
}
