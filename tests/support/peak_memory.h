// The test process's peak resident memory, for tests that a reader refuses hostile input
// without first making room for what the input declares.
#pragma once

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

namespace peak_memory_detail {
inline int64_t StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(std::strlen(field)));
  }
  return -1;
}
}  // namespace peak_memory_detail

// How far the peak rose above the resident memory before `work`, in bytes. The peak is reset
// first, so only what the work itself touched counts.
template <class Work>
int64_t PeakMemoryGrowth(Work work) {
  std::ofstream("/proc/self/clear_refs") << "5";
  const int64_t before = peak_memory_detail::StatusKilobytes("VmRSS:");
  work();
  return (peak_memory_detail::StatusKilobytes("VmHWM:") - before) * 1024;
}
