// Input scripts: any bytes load as a script or are refused with a reason, and a refused script
// leaves no script active.
#include <cstdlib>

#include "frame/input_script.h"
#include "fuzz/scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool loaded = LoadInputScript(WriteScratchFile(data, size));
  if (loaded != InputScriptActive() || loaded != ScriptError().empty()) std::abort();
  ResetInputScriptForTests();
  return 0;
}
