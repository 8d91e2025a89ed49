// Debugger output: stands in for the Windows "is a debugger attached" query and its output
// string call. Linux has no debugger output channel, so a debugger counts as attached when
// /proc/self/status shows a tracer, or when QRN_DEBUG_OUTPUT is set ("stderr" or a file path
// that then receives the lines). Test seam: an in-process capture sink.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace platform {

// True when debugger lines have somewhere to go (a tracer, the variable, or a capture sink).
bool DebuggerAttached();

// Sends one line, as one write, to the capture sink, the variable's target or stderr.
void DebuggerWrite(std::string_view text);

// Test seam: while set, every line goes to the sink and the debugger counts as attached.
// An empty function removes the sink.
using DebugCaptureSink = std::function<void(std::string_view)>;
void SetDebugCaptureSink(DebugCaptureSink sink);

}  // namespace platform
