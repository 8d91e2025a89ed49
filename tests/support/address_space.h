// Caps the process's address space a little above what it maps, for death tests of allocation
// failures. AddressSanitizer reserves its shadow up front and ends the process itself when an
// allocation fails, so such tests skip under it (QRN_SKIP_UNDER_ASAN).
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <string>

// The address space capped 64 MiB above what the process maps.
inline void CapAddressSpace() {
  std::ifstream status("/proc/self/status");
  std::string field;
  uint64_t kb = 0;
  while (status >> field && field != "VmSize:") {}
  status >> kb;
  const rlimit cap{kb * 1024 + (64 << 20), kb * 1024 + (64 << 20)};
  setrlimit(RLIMIT_AS, &cap);
}

#if defined(__SANITIZE_ADDRESS__)
#define QRN_SKIP_UNDER_ASAN() GTEST_SKIP()
#else
#define QRN_SKIP_UNDER_ASAN() (void)0
#endif
