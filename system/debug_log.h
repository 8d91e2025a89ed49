// The runtime's debug log: "ErrorLog.txt" in the temporary folder, to which start-up, the
// window code and the model loader append progress and error lines. Every append opens, writes
// and closes the file, so the log is whole on disk even when the program dies right after.
#pragma once

#include <string>

// The temporary folder + "ErrorLog.txt", built anew on every call.
std::string ErrorLogPath();

// Appends the text exactly as given (null appends "NULL"); nothing is added to it. A log that
// cannot be opened in five tries loses the text; nothing is reported and LastErrorCode stays.
void ErrorLogWrite(const char* text);

// Start-up's fresh log: whatever has the log's name goes (an empty folder, a file, a symbolic
// link but never its target), then "Start new log...\n" is written as ErrorLogWrite writes.
void ErrorLogStartNew();
