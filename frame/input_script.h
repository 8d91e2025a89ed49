// Scripted typed input, for tests and the demo: a whole interactive program runs without a
// person. A script file holds one step a line:
//   text <answer>       types the answer, then Enter ("text" alone is a bare Enter)
//   key <key>           presses one key: a single character, or enter, escape, space, tab, backspace
//   key <number> down   holds a key by its key number (1 Escape, 12 minus, ...) until
//   key <number> up     this releases it; for programs that watch keys held, not typed
//   snapshot <file>     writes the picture on the screen to a PNG file
//   frames <n>          lets n frames pass
//   wait-file <file>    lets frames pass until the file exists
// Blank lines and lines starting with '#' are skipped.
//
// Steps go over where the program can take them, by the state it is in:
//   showing frames    each frame counts for a frames step; key number steps and wait-files whose
//                     file is there run at once, and snapshots that follow a frames or wait-file
//                     step (on the frame where the count ends)
//   polling           a frame after the program read the keys (KeyDown, GetTypedChar): that, then
//                     a key step, held for the one frame
//   waiting for a key WaitForKey or a looped video, at every pass: a text or key step goes over
//                     whole, and one the wait does not take gives way to the next
//   typed text        the line editor, before each frame: a text step one character a frame, then
//                     its Enter; a key step whole; a frames step's frames pass
//   quitting          the runner ended the run: whatever the program does next (its quit
//                     routine waiting or polling) ends the process at once, with status 1
// At a wait or a polled frame the snapshots (at a key wait, of the picture shown last), key
// number steps and present files before the step run first, so a snapshot that follows an
// answer shows what the answer did.
//
// The watchdog: a scripted run never hangs. It ends, with a message on standard error and exit
// status 1, when the program waits for a key or typed text once the script is used up, waits for
// a mouse button, or waits for a key while the step due counts frames or waits for a file; when
// it reads the keys on kFramesWatchedPastTheEnd frames after the last step; when it shows
// kFramesWithoutAStep frames without taking the step due (frames and wait-file steps aside) or
// past the last step; and when a wait-file's file is still missing after kWaitFileSeconds
// without a progress frame (one without a wait for input or a read of the keys), so a program
// still working on the file is waited for and one that waits for input or polls is not.
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
