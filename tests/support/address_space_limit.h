// Caps the process's address space a little above what it already maps, so that the next large
// allocations fail. For death-test children only: the cap is never lifted. AddressSanitizer
// reserves its shadow up front and ends the process itself on a failed allocation, so tests that
// use this skip under it (QRN_SKIP_UNDER_ASAN).
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <fstream>
#include <string>

inline void CapAddressSpace(uint64_t headroomBytes) {
  std::ifstream status("/proc/self/status");
  std::string field;
  uint64_t sizeKb = 0;
  while (status >> field) {
    if (field == "VmSize:") {
      status >> sizeKb;
      break;
    }
  }
  const rlimit cap{sizeKb * 1024 + headroomBytes, sizeKb * 1024 + headroomBytes};
  setrlimit(RLIMIT_AS, &cap);
}

#if defined(__SANITIZE_ADDRESS__)
#define QRN_SKIP_UNDER_ASAN() GTEST_SKIP() << "a failed allocation ends the process under ASan"
#else
#define QRN_SKIP_UNDER_ASAN() (void)0
#endif
