// Stand-in debug log and run timer.
#include "frame/system_services_standin.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

void ErrorLogWrite(const char* text) {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  path += "ErrorLog.txt";
  std::FILE* log = std::fopen(path.c_str(), "ab");
  if (!log) return;
  std::fputs(text ? text : "NULL", log);
  std::fclose(log);
}

double GetTimerAll() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
