// Scripted typed input, for tests and the demo: a whole interactive program runs without a
// person. A script file holds one step a line:
//   text <answer>       types the answer, then Enter ("text" alone is a bare Enter)
//   key <key>           presses one key: a single character, or enter, escape, space, tab, backspace
//   key <number> down   holds a key by its key number (1 Escape, 12 minus, ...) until
//   key <number> up     this releases it; for programs that watch keys held, not typed
//   snapshot <file>     writes the picture on the screen to a PNG file
//   frames <n>          lets n frames pass
//   wait-file <file>    lets frames pass until the file exists
// Blank lines and lines starting with '#' are skipped. Each text or key step is handed over only
// when the program waits for a key or for typed text (handed over earlier, the wait would drop
// it), and a key step also at a frame the program read the keys before (KeyDown, GetTypedChar:
// a program that polls rather than waits), held for that one frame; the snapshot, key number
// and satisfied wait-file steps before it run at that moment. At each frame the program shows,
// just before the picture is shown, a frames step counts the frame and the key number and
// wait-file steps run, and so do snapshots that follow a frames or wait-file step (a snapshot
// that follows an answer waits for the next wait for input, so it shows what the answer did; at
// a key wait it saves the picture last shown). A wait for typed text gets a text answer one
// character at a time, one per call, and then its Enter.
// A headless run never hangs: the run ends with a message on standard error and exit status 1
// when the program waits for input once the script is used up, for a key while the script
// waits for frames, or for a mouse button; when it shows kFramesWithoutAStep frames without
// taking the step due (or, the script used up, without ending); when it reads the keys on
// kFramesWatchedPastTheEnd frames after the last step; and when a wait-file's file is still
// missing after kWaitFileSeconds.
#pragma once

#include <string>

inline constexpr long kFramesWithoutAStep = 3600;
inline constexpr long kFramesWatchedPastTheEnd = 60;
inline constexpr double kWaitFileSeconds = 60;

// A looped video waits for a key too; no step presses a mouse button.
enum class ScriptedWait { Key, Text, MouseButton };

// Replaces any script loaded before. False, with the reason in ScriptError(), when the file
// cannot be read or a line is not a step; no script is active then.
bool LoadInputScript(const std::string& path);
// Loads the script QRN_INPUT_SCRIPT names, when it is set, and then makes the run quiet and
// headless unless the caller chose otherwise: SDL_VIDEODRIVER=offscreen,
// SDL_AUDIODRIVER=dummy, QRN_HEADLESS=1. False when it is set and cannot be loaded (the reason
// then goes to standard error).
bool LoadInputScriptFromEnvironment();
std::string ScriptError();
bool InputScriptActive();
// Called by the waits once they are ready for an answer; nothing happens without a script.
void FeedInputScript(ScriptedWait wait);
// Called by the program's key commands: it looks at the keys rather than waiting for them.
void NoteKeysRead();
// Called by the frame cycle for each frame it ends, before the picture is shown.
void AdvanceInputScriptFrame();

// The PNG writer belongs to the 2D layer, which installs it: it saves the picture being drawn,
// or the one it was last asked to keep (the keeper copies the picture about to be shown).
enum class SnapshotPicture { Drawn, Shown };
using SnapshotWriter = int (*)(const char* path, SnapshotPicture picture);  // 1: written
using ShownPictureKeeper = void (*)();
void InstallSnapshotWriter(SnapshotWriter writer, ShownPictureKeeper keeper = nullptr);

void ResetInputScriptForTests();
