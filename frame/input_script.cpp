#include "frame/input_script.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <fstream>
#include <limits>
#include <utility>

#include "core/allocation_failure.h"
#include "core/terminate.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/input.h"
#include "system/timers.h"

namespace {

enum class StepKind { Text, Key, KeyState, Snapshot, Frames, WaitFile };

struct Step {
  StepKind kind;
  std::string argument;  // the answer, the file name, or the key as a character
  int keyNumber = 0;     // a named or numbered key; 0 when the argument is a typed character
  bool down = false;     // a key state step: pressed or released
  long frames = 0;       // frames still to pass
  bool afterFrames = false;  // a snapshot that follows a frames step rather than an answer
  double waitingSinceMs = std::numeric_limits<double>::quiet_NaN();  // a wait-file's start
  int line = 0;
};

struct ScriptState {
  bool active = false;
  std::deque<Step> steps;
  int heldKey = 0;  // the key the last key step pressed, released at the next step
  bool keyHeldForAFrame = false;  // the held key went to a polling program
  bool keysRead = false;          // the program read the keys since the last frame
  long stepsTaken = 0;            // and characters of a text answer handed over
  long stepsTakenByLastFrame = 0;
  long framesWithoutAStep = 0;
  long framesWatchedPastTheEnd = 0;
  std::string error;
  SnapshotWriter snapshotWriter = nullptr;
  ShownPictureKeeper shownPictureKeeper = nullptr;
};

ScriptState& State() {
  static ScriptState state;
  return state;
}

constexpr int kKeyEnter = 28;

struct NamedKey {
  const char* name;
  int keyNumber;
};
constexpr NamedKey kNamedKeys[] = {
    {"enter", kKeyEnter}, {"escape", 1}, {"space", 57}, {"tab", 15}, {"backspace", 14}};

bool ParseKey(Step& step) {
  for (const NamedKey& named : kNamedKeys) {
    if (step.argument == named.name) {
      step.keyNumber = named.keyNumber;
      return true;
    }
  }
  return step.argument.size() == 1;
}

// A count of at most maxDigits decimal digits, nothing else.
bool ParseCount(const std::string& text, size_t maxDigits, long& count) {
  if (text.empty() || text.size() > maxDigits) return false;
  if (text.find_first_not_of("0123456789") != std::string::npos) return false;
  count = std::stol(text);
  return true;
}

// "<key number> down" or "<key number> up": the key's state alone, for a program that watches
// keys held rather than characters typed.
bool ParseKeyState(Step& step) {
  const size_t space = step.argument.find(' ');
  if (space == std::string::npos) return false;
  const std::string state = step.argument.substr(space + 1);
  long number = 0;
  if (!ParseCount(step.argument.substr(0, space), 3, number)) return false;
  if (state != "down" && state != "up") return false;
  step.keyNumber = int(number);
  step.down = state == "down";
  step.kind = StepKind::KeyState;
  return step.keyNumber >= 1 && step.keyNumber <= 255;
}

bool ParseFrames(Step& step) {
  return ParseCount(step.argument, 9, step.frames) && step.frames > 0;
}

bool ParseLine(const std::string& line, int lineNumber, Step& step) {
  const size_t space = line.find(' ');
  const std::string word = line.substr(0, space);
  step.argument = space == std::string::npos ? "" : line.substr(space + 1);
  step.line = lineNumber;
  if (word == "text") {
    step.kind = StepKind::Text;
    return true;
  }
  if (word == "key") {
    step.kind = StepKind::Key;
    return step.argument.find(' ') != std::string::npos ? ParseKeyState(step) : ParseKey(step);
  }
  if (word == "snapshot") {
    step.kind = StepKind::Snapshot;
    return !step.argument.empty();
  }
  if (word == "frames") {
    step.kind = StepKind::Frames;
    return ParseFrames(step);
  }
  if (word == "wait-file") {
    step.kind = StepKind::WaitFile;
    return !step.argument.empty();
  }
  return false;
}

void PressKey(int keyNumber) {
  platform::test::InjectKey(keyNumber, true);
  State().heldKey = keyNumber;
}

void ReleaseHeldKey() {
  if (!State().heldKey) return;
  platform::test::InjectKey(State().heldKey, false);
  State().heldKey = 0;
}

// The script and the program cannot go on together: the run ends, as a failure.
void EndRun(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  MarkRunFailed();
  TerminateProgram();
}

std::string LineText(const Step& step) {
  return "input script line " + std::to_string(step.line) + ": ";
}

// Where the program is when steps run: ending a frame, waiting, or ending a frame after it read
// the keys, which counts as a wait for snapshots and key steps.
enum class Moment { Frame, KeyWait, TextWait, KeysRead };

void TakeSnapshot(const Step& step, Moment moment) {
  const SnapshotWriter writer = State().snapshotWriter;
  // At a key wait the screen shows the last frame, already replaced by the next one's start.
  const SnapshotPicture picture =
      moment == Moment::KeyWait ? SnapshotPicture::Shown : SnapshotPicture::Drawn;
  if (!writer) {
    std::fprintf(stderr, "input script line %d: snapshot refused, no picture writer\n", step.line);
  } else if (!writer(step.argument.c_str(), picture)) {
    std::fprintf(stderr, "input script line %d: snapshot \"%s\" not written\n", step.line,
                 step.argument.c_str());
  }
}

// A snapshot after an answer shows what the answer did, at the next wait for input; one after a
// frames step is taken on the frame where the count ends.
bool RunsAtOnce(const Step& step, Moment moment) {
  if (step.kind == StepKind::Snapshot) return moment != Moment::Frame || step.afterFrames;
  return step.kind == StepKind::KeyState;
}

void RunAtOnce(const Step& step, Moment moment) {
  if (step.kind == StepKind::Snapshot) {
    TakeSnapshot(step, moment);
  } else {
    platform::test::InjectKey(step.keyNumber, step.down);
  }
}

bool FileArrived(const Step& step) {
  return step.kind == StepKind::WaitFile &&
         platform::KindOfPath(step.argument) != platform::PathKind::Missing;
}

void TakeStep(std::deque<Step>& steps) {
  steps.pop_front();
  ++State().stepsTaken;
}

// Runs the steps that need no wait from the program, and the waits for files already there.
void SettleSteps(std::deque<Step>& steps, Moment moment) {
  while (!steps.empty() && (RunsAtOnce(steps.front(), moment) || FileArrived(steps.front()))) {
    if (steps.front().kind != StepKind::WaitFile) RunAtOnce(steps.front(), moment);
    TakeStep(steps);
  }
}

bool WaitsForFrames(const Step& step) {
  return step.kind == StepKind::Frames || step.kind == StepKind::WaitFile;
}

void HandOver(const Step& step) {
  if (step.kind == StepKind::Text) {
    platform::test::InjectText(step.argument);
    PressKey(kKeyEnter);
  } else if (step.keyNumber) {
    PressKey(step.keyNumber);
  } else {
    platform::test::InjectText(step.argument);
  }
}

// A line editor takes one character a frame from a queue of 16: a text answer goes over one
// character per wait, then its Enter.
void HandOverNextCharacter(std::deque<Step>& steps) {
  Step& step = steps.front();
  if (step.argument.empty()) {
    PressKey(kKeyEnter);
    TakeStep(steps);
    return;
  }
  ++State().stepsTaken;
  platform::test::InjectText(step.argument.substr(0, 1));
  step.argument.erase(0, 1);
}

// One frame boundary counts for one frames step only; the steps after it run on the same frame.
void CountFrame(std::deque<Step>& steps) {
  bool frameCounted = false;
  for (;;) {
    SettleSteps(steps, Moment::Frame);
    if (steps.empty() || steps.front().kind != StepKind::Frames) return;
    if (frameCounted) return;
    frameCounted = true;
    if (--steps.front().frames > 0) return;
    TakeStep(steps);
  }
}

// A program that polls the keys gets a key step as a key held for one frame.
void AnswerKeysRead(ScriptState& state) {
  SettleSteps(state.steps, Moment::KeysRead);
  if (state.steps.empty() || state.steps.front().kind != StepKind::Key) return;
  HandOver(state.steps.front());
  state.keyHeldForAFrame = true;
  TakeStep(state.steps);
}

bool AwaitsAWait(const Step& step) {
  return step.kind == StepKind::Snapshot && !step.afterFrames;
}

// A snapshot at a key wait saves the picture shown last, so each frame shown is kept while
// such a snapshot is to come.
void KeepShownPicture(const ScriptState& state) {
  if (state.shownPictureKeeper &&
      std::any_of(state.steps.begin(), state.steps.end(), AwaitsAWait)) {
    state.shownPictureKeeper();
  }
}

void GiveUpOnAMissingFile(Step& step) {
  const double now = GetTimerAll();
  if (std::isnan(step.waitingSinceMs)) step.waitingSinceMs = now;
  if (now - step.waitingSinceMs < kWaitFileSeconds * 1000) return;
  EndRun(LineText(step) + "\"" + step.argument + "\" did not appear within " +
         std::to_string(int(kWaitFileSeconds)) + " seconds");
}

// Frames pass without the program taking the step due, or past the script's end; the frame
// a step was taken on is not one of them.
void EndAStalledRun(ScriptState& state, bool keysRead) {
  const bool moved =
      state.stepsTaken != std::exchange(state.stepsTakenByLastFrame, state.stepsTaken);
  state.framesWithoutAStep = moved ? 0 : state.framesWithoutAStep + 1;
  if (state.steps.empty() && keysRead && !moved) ++state.framesWatchedPastTheEnd;
  if (state.framesWatchedPastTheEnd >= kFramesWatchedPastTheEnd) {
    EndRun("input script used up: the program read the keys on " +
           std::to_string(kFramesWatchedPastTheEnd) + " frames after the last step");
  } else if (state.framesWithoutAStep >= kFramesWithoutAStep) {
    const std::string frames = std::to_string(kFramesWithoutAStep) + " frames";
    EndRun(state.steps.empty()
               ? "input script used up: the program showed " + frames + " after the last step"
               : LineText(state.steps.front()) + "the program showed " + frames +
                     " without taking this step");
  }
}

}  // namespace

bool LoadInputScript(const std::string& path) {
  ScriptState& state = State();
  state.active = false;
  state.steps.clear();
  std::ifstream file(path);
  if (!file) {
    state.error = "cannot read input script \"" + path + "\"";
    return false;
  }
  std::string line;
  bool afterFrames = false;
  for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    Step step;
    if (!ParseLine(line, lineNumber, step)) {
      state.error = "input script line " + std::to_string(lineNumber) + ": not a step: " + line;
      state.steps.clear();
      return false;
    }
    if (WaitsForFrames(step)) afterFrames = true;
    if (step.kind == StepKind::Text || step.kind == StepKind::Key) afterFrames = false;
    step.afterFrames = afterFrames;
    state.steps.push_back(step);
  }
  state.error.clear();
  state.active = true;
  return true;
}

bool LoadInputScriptFromEnvironment() {
  const std::string path = platform::EnvironmentValue("QRN_INPUT_SCRIPT");
  if (path.empty()) return true;
  if (!FatalOnAllocationFailure([&] { return LoadInputScript(path); })) {
    std::fprintf(stderr, "%s\n", ScriptError().c_str());
    return false;
  }
  // No window to show, no sound to hear, and none of the drivers' complaints about the missing
  // display and sound card.
  for (const auto& [name, value] : {std::pair{"SDL_VIDEODRIVER", "offscreen"},
                                    {"SDL_AUDIODRIVER", "dummy"},
                                    {"QRN_HEADLESS", "1"}}) {
    if (platform::EnvironmentValue(name).empty()) platform::SetEnvironmentValue(name, value);
  }
  return true;
}

std::string ScriptError() {
  return State().error;
}

bool InputScriptActive() {
  return State().active;
}

// Both kinds of wait take the same steps: a key wait keeps the first character of a text answer.
void FeedInputScript(ScriptedWait wait) {
  ScriptState& state = State();
  if (!state.active) return;
  ReleaseHeldKey();
  state.keyHeldForAFrame = false;
  SettleSteps(state.steps, wait == ScriptedWait::Text ? Moment::TextWait : Moment::KeyWait);
  if (state.steps.empty()) {
    EndRun("input script used up while the program waits for input");
    return;
  }
  if (wait == ScriptedWait::MouseButton) {
    EndRun(LineText(state.steps.front()) + "the program waits for a mouse button");
    return;
  }
  if (WaitsForFrames(state.steps.front())) {
    // The line editor shows a frame per character, so the script's frames pass; a key wait
    // shows none, and neither side could ever go on.
    if (wait == ScriptedWait::Text) return;
    EndRun(LineText(state.steps.front()) + "the program waits for a key, not for frames");
    return;
  }
  if (wait == ScriptedWait::Text && state.steps.front().kind == StepKind::Text) {
    HandOverNextCharacter(state.steps);
    return;
  }
  HandOver(state.steps.front());
  TakeStep(state.steps);
}

void NoteKeysRead() {
  State().keysRead = true;
}

void AdvanceInputScriptFrame() {
  ScriptState& state = State();
  if (!state.active) return;
  if (std::exchange(state.keyHeldForAFrame, false)) ReleaseHeldKey();
  const bool keysRead = std::exchange(state.keysRead, false);
  CountFrame(state.steps);
  if (keysRead) AnswerKeysRead(state);
  KeepShownPicture(state);
  if (!state.steps.empty() && state.steps.front().kind == StepKind::WaitFile) {
    GiveUpOnAMissingFile(state.steps.front());
  } else if (state.steps.empty() || state.steps.front().kind != StepKind::Frames) {
    EndAStalledRun(state, keysRead);
  }
}

void InstallSnapshotWriter(SnapshotWriter writer, ShownPictureKeeper keeper) {
  State().snapshotWriter = writer;
  State().shownPictureKeeper = keeper;
}

void ResetInputScriptForTests() {
  const ScriptState& old = State();
  const SnapshotWriter writer = old.snapshotWriter;
  const ShownPictureKeeper keeper = old.shownPictureKeeper;
  State() = ScriptState{};
  InstallSnapshotWriter(writer, keeper);
}
