// The files the tool writes: bytes gathered in one buffer and written out in large pieces, and
// the end of the run when a file cannot be written, with the name and the system's reason.
#pragma once

#include <string>
#include <string_view>

#include "core/str.h"

class OutputFile {
 public:
  // Replaces the file of that name; a file that cannot be made ends the run (EndOnUnwrittenFile).
  explicit OutputFile(const Str& name);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where the bytes go; Spill writes them out once enough have gathered.
  std::string& Bytes() { return bytes_; }
  void Spill();
  void Line(std::string_view text) {  // the text, then "\r\n"
    bytes_ += text;
    bytes_ += "\r\n";
    Spill();
  }
  // The rest of the bytes, then the file is closed; a failure ends the run.
  void Close();

 private:
  void WriteOut();

  std::string name_;
  std::string bytes_;
  int fd_ = -1;
};

// Shows "Cannot write <name>: <reason>" and writes it to standard error, waits for a key and
// ends the run with status 1, also when the wait ends it. The reason is the system's text for
// errno, when one is set.
[[noreturn]] void EndOnUnwrittenFile(std::string_view name, int error);
