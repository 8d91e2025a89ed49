// What the runtime still owes the disk when the process ends: the INI and text-line write-backs
// and the file channels' waiting bytes. Their owners in the layers above install them here, and
// one routine does them in a fixed order however the process ends: leaving main or calling exit
// (after the program's own exit handlers and static destructors), END and the fatal ends, and an
// end at once from inside the quit sequence.
#pragma once

// In the order they run. A write-back is refused while a channel still writes to its file, so
// such a channel keeps its bytes.
enum class EndOfProcessStep { IniWriteBack, TextLineWriteBack, ChannelClose, Count };

// False when bytes were lost in a way that fails the run; the step reports them itself.
using EndOfProcessWork = bool (*)();

// Each owner installs its step when it is first used.
void InstallEndOfProcessStep(EndOfProcessStep step, EndOfProcessWork work);

// Runs the installed steps in order; false when any of them lost bytes.
bool RunEndOfProcessSteps();
