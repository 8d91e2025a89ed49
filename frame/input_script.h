// Scripted typed input, for tests and the demo: a whole interactive program runs without a
// person. A script file holds one step a line:
//   text <answer>       types the answer, then Enter ("text" alone is a bare Enter)
//   key <key>           presses one key: a single character, or enter, escape, space, tab, backspace
//   key <number> down   holds a key by its key number (1 Escape, 12 minus, ...) until
//   key <number> up     this releases it; for programs that watch keys held, not typed
//   snapshot <file>     writes the picture being drawn to a PNG file
//   frames <n>          lets n frames pass
//   wait-file <file>    lets frames pass until the file exists
// Blank lines and lines starting with '#' are skipped. Each text or key step is handed over only
// when the program waits for a key or for typed text (handed over earlier, the wait would drop
// it); the snapshot, key number and satisfied wait-file steps before it run at that moment. At
// each frame the program shows, just before the picture is shown, a frames step counts the frame
// and the key number and wait-file steps run, and so do snapshots that follow a frames or
// wait-file step (a snapshot that follows an answer waits for the next wait for input, so it
// shows what the answer did). A wait for typed text gets a text answer one character at a time,
// one per call, and then its Enter. A program that waits once the script is used up, or waits for
// a key while the script waits for frames, is ended, so a headless run never hangs.
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
// Called by the frame cycle for each frame it ends, before the picture is shown.
void AdvanceInputScriptFrame();

// The PNG writer belongs to the 2D layer, which installs it; 1 when the file was written.
using SnapshotWriter = int (*)(const char* path);
void InstallSnapshotWriter(SnapshotWriter writer);

void ResetInputScriptForTests();
