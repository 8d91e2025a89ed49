// Scripted typed input, for tests and the demo: a whole interactive program runs without a
// person. A script file holds one step a line:
//   text <answer>     types the answer, then Enter
//   key <key>         presses one key: a single character, or enter, escape, space, tab, backspace
//   snapshot <file>   writes the picture on screen to a PNG file
// Blank lines and lines starting with '#' are skipped. Each text or key step is handed over only
// when the program waits for a key or for typed text (handed over earlier, the wait would drop
// it); the snapshot steps before it run at that moment. A wait for typed text gets a text answer
// one character at a time, one per call, and then its Enter. A program that waits once the script is
// used up is ended, so a headless run never hangs.
#pragma once

#include <string>

enum class ScriptedWait { Key, Text };

// Replaces any script loaded before. False, with the reason in ScriptError(), when the file
// cannot be read or a line is not a step; no script is active then.
bool LoadInputScript(const std::string& path);
// Loads the script QRN_INPUT_SCRIPT names, when it is set. False when it is set and cannot be
// loaded (the reason then goes to standard error).
bool LoadInputScriptFromEnvironment();
std::string ScriptError();
bool InputScriptActive();
// Called by the waits once they are ready for an answer; nothing happens without a script.
void FeedInputScript(ScriptedWait wait);

// The PNG writer belongs to the 2D layer, which installs it; 1 when the file was written.
using SnapshotWriter = int (*)(const char* path);
void InstallSnapshotWriter(SnapshotWriter writer);

void ResetInputScriptForTests();
