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
  std::string argument;      // the answer, the file name, or the text a key types
  int keyNumber = 0;         // a named or numbered key; 0 for a key given as its character
  bool down = false;         // a key state step: pressed or released
  long frames = 0;           // frames still to pass
  bool afterFrames = false;  // a snapshot that follows a frames step rather than an answer
  int line = 0;
};

// The program's states of input_script.h. The waits and the key commands set them; the end of
// each frame leaves the program showing frames until it is heard from again.
enum class ProgramState {
  ShowingFrames, Polling, WaitingForAKey, TypingText, WaitingForAMouseButton, Quitting
};

struct Runner {
  bool active = false;
  std::deque<Step> steps;
  ProgramState state = ProgramState::ShowingFrames;
  int heldKey = 0;                // the key the last key step pressed, released at the next wait
  bool keyHeldForAFrame = false;  // or at the next frame, when it went to a polling program
  // The watchdog's counts.
  bool stepTaken = false;  // or a character of a text answer, since the last frame counted
  long framesWithoutAStep = 0;
  long framesWatchedPastTheEnd = 0;
  double fileMissingSinceMs = std::numeric_limits<double>::quiet_NaN();
  std::string error;
};

Runner gRunner;

struct PictureWriters {
  SnapshotWriter writer = nullptr;
  ShownPictureKeeper keeper = nullptr;
} gPictureWriters;

constexpr int kKeyEnter = 28;

// Each named key goes over as a keyboard sends it: pressed, and the printable character it
// types (a control character comes with the key press itself).
struct NamedKey {
  const char* name;
  int keyNumber;
  const char* typed;
};
constexpr NamedKey kNamedKeys[] = {{"enter", kKeyEnter, ""}, {"escape", 1, ""},
                                   {"space", 57, " "},       {"tab", 15, ""},
                                   {"backspace", 14, ""}};

bool ParseKey(Step& step) {
  for (const NamedKey& named : kNamedKeys) {
    if (step.argument == named.name) {
      step.keyNumber = named.keyNumber;
      step.argument = named.typed;
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
  const std::string state = step.argument.substr(space + 1);
  long number = 0;
  if (!ParseCount(step.argument.substr(0, space), 3, number)) return false;
  if (state != "down" && state != "up") return false;
  step.keyNumber = int(number);
  step.down = state == "down";
  step.kind = StepKind::KeyState;
  return step.keyNumber >= 1 && step.keyNumber <= 255;
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
  if (word == "frames") {
    step.kind = StepKind::Frames;
    return ParseCount(step.argument, 9, step.frames) && step.frames > 0;
  }
  step.kind = word == "snapshot" ? StepKind::Snapshot : StepKind::WaitFile;
  return (word == "snapshot" || word == "wait-file") && !step.argument.empty();
}

// Whether the step due is of this kind.
bool Due(StepKind kind) {
  return !gRunner.steps.empty() && gRunner.steps.front().kind == kind;
}

bool WaitsForFrames(const Step& step) {
  return step.kind == StepKind::Frames || step.kind == StepKind::WaitFile;
}

std::string LineText(const Step& step) {
  return "input script line " + std::to_string(step.line) + ": ";
}

// The script and the program cannot go on together: the run ends, as a failure, said once.
void EndRun(const std::string& reason) {
  if (gRunner.state != ProgramState::Quitting) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    gRunner.state = ProgramState::Quitting;
    MarkRunFailed();
  }
  EndNowIfQuitting();
  TerminateProgram();
}

// The program is heard from in a new state; false when no script runs. A program still heard
// from once the run is ending is inside its quit routine, which must not keep it.
bool Enter(ProgramState state) {
  if (!gRunner.active) return false;
  if (gRunner.state == ProgramState::Quitting) EndRun({});
  gRunner.state = state;
  return true;
}

void PressKey(int keyNumber) {
  platform::test::InjectKey(keyNumber, true);
  gRunner.heldKey = keyNumber;
}

void ReleaseHeldKey() {
  gRunner.keyHeldForAFrame = false;
  if (!gRunner.heldKey) return;
  platform::test::InjectKey(gRunner.heldKey, false);
  gRunner.heldKey = 0;
}

void TakeStep() {
  gRunner.steps.pop_front();
  gRunner.stepTaken = true;
  gRunner.fileMissingSinceMs = std::numeric_limits<double>::quiet_NaN();
}

void TakeSnapshot(const Step& step, ProgramState state) {
  // At a key wait the screen shows the last frame, already replaced by the next one's start.
  const SnapshotPicture picture =
      state == ProgramState::WaitingForAKey ? SnapshotPicture::Shown : SnapshotPicture::Drawn;
  if (!gPictureWriters.writer) {
    std::fprintf(stderr, "%ssnapshot refused, no picture writer\n", LineText(step).c_str());
  } else if (!gPictureWriters.writer(step.argument.c_str(), picture)) {
    std::fprintf(stderr, "%ssnapshot \"%s\" not written\n", LineText(step).c_str(),
                 step.argument.c_str());
  }
}

// The steps that need nothing of the program in this state. A snapshot after an answer waits
// for the program to be heard from, so it shows what the answer did.
bool RunsAtOnce(const Step& step, ProgramState state) {
  switch (step.kind) {
    case StepKind::KeyState: return true;
    case StepKind::Snapshot: return state != ProgramState::ShowingFrames || step.afterFrames;
    case StepKind::WaitFile:
      return platform::KindOfPath(step.argument) != platform::PathKind::Missing;
    default: return false;
  }
}

void SettleSteps(ProgramState state) {
  std::deque<Step>& steps = gRunner.steps;
  while (!steps.empty() && RunsAtOnce(steps.front(), state)) {
    const Step& step = steps.front();
    if (step.kind == StepKind::Snapshot) TakeSnapshot(step, state);
    if (step.kind == StepKind::KeyState) platform::test::InjectKey(step.keyNumber, step.down);
    TakeStep();
  }
}

void HandOver(const Step& step) {
  if (step.kind == StepKind::Text) {
    platform::test::InjectText(step.argument);
    PressKey(kKeyEnter);
    return;
  }
  if (step.keyNumber) PressKey(step.keyNumber);
  platform::test::InjectText(step.argument);
}

// A line editor takes one character a frame from a queue of 16: a text answer goes over one
// character per wait, then its Enter.
void HandOverNextCharacter(Step& step) {
  if (step.argument.empty()) {
    PressKey(kKeyEnter);
    TakeStep();
    return;
  }
  gRunner.stepTaken = true;
  platform::test::InjectText(step.argument.substr(0, 1));
  step.argument.erase(0, 1);
}

// One frame boundary counts for one frames step only; the steps after it run on the same frame.
void CountFrame() {
  SettleSteps(ProgramState::ShowingFrames);
  if (!Due(StepKind::Frames) || --gRunner.steps.front().frames > 0) return;
  TakeStep();
  SettleSteps(ProgramState::ShowingFrames);
}

void AnswerPolling() {
  SettleSteps(ProgramState::Polling);
  if (!Due(StepKind::Key)) return;
  HandOver(gRunner.steps.front());
  gRunner.keyHeldForAFrame = true;
  TakeStep();
}

// A snapshot at a key wait saves the picture shown last, so each frame shown is kept while
// such a snapshot is to come.
void KeepShownPicture() {
  const std::deque<Step>& steps = gRunner.steps;
  const auto awaitsAWait = [](const Step& s) {
    return s.kind == StepKind::Snapshot && !s.afterFrames;
  };
  if (gPictureWriters.keeper && std::any_of(steps.begin(), steps.end(), awaitsAWait)) {
    gPictureWriters.keeper();
  }
}

// The watchdog of input_script.h, at a wait: the reason the run ends, or "" when it goes on.
std::string WaitVerdict(ProgramState state) {
  const std::deque<Step>& steps = gRunner.steps;
  if (steps.empty()) return "input script used up while the program waits for input";
  if (state == ProgramState::WaitingForAMouseButton) {
    return LineText(steps.front()) + "the program waits for a mouse button";
  }
  // The line editor shows a frame per character, so the script's frames pass; a key wait
  // shows none, and neither side could ever go on.
  if (state == ProgramState::WaitingForAKey && WaitsForFrames(steps.front())) {
    return LineText(steps.front()) + "the program waits for a key, not for frames";
  }
  return {};
}

// A wait-file's clock runs only while the program shows no progress frame.
std::string MissingFileVerdict(ProgramState state) {
  double& since = gRunner.fileMissingSinceMs;
  if (state == ProgramState::ShowingFrames) {
    since = std::numeric_limits<double>::quiet_NaN();
    return {};
  }
  const double now = GetTimerAll();
  if (std::isnan(since)) since = now;
  if (now - since < kWaitFileSeconds * 1000) return {};
  const Step& step = gRunner.steps.front();
  return LineText(step) + "\"" + step.argument + "\" did not appear within " +
         std::to_string(int(kWaitFileSeconds)) + " seconds";
}

// At a frame. The frame a step was taken on is not one without a step.
std::string FrameVerdict(ProgramState state) {
  if (Due(StepKind::WaitFile)) return MissingFileVerdict(state);
  if (Due(StepKind::Frames)) return {};
  const bool moved = std::exchange(gRunner.stepTaken, false);
  gRunner.framesWithoutAStep = moved ? 0 : gRunner.framesWithoutAStep + 1;
  if (gRunner.steps.empty() && state == ProgramState::Polling && !moved) {
    ++gRunner.framesWatchedPastTheEnd;
  }
  if (gRunner.framesWatchedPastTheEnd >= kFramesWatchedPastTheEnd) {
    return "input script used up: the program read the keys on " +
           std::to_string(kFramesWatchedPastTheEnd) + " frames after the last step";
  }
  if (gRunner.framesWithoutAStep < kFramesWithoutAStep) return {};
  const std::string frames = std::to_string(kFramesWithoutAStep) + " frames";
  return gRunner.steps.empty()
             ? "input script used up: the program showed " + frames + " after the last step"
             : LineText(gRunner.steps.front()) + "the program showed " + frames +
                   " without taking this step";
}

}  // namespace

bool LoadInputScript(const std::string& path) {
  gRunner = Runner{};
  std::ifstream file(path);
  if (!file) {
    gRunner.error = "cannot read input script \"" + path + "\"";
    return false;
  }
  std::string line;
  bool afterFrames = false;
  for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    Step step;
    if (!ParseLine(line, lineNumber, step)) {
      gRunner = Runner{};
      gRunner.error = LineText(step) + "not a step: " + line;
      return false;
    }
    if (WaitsForFrames(step)) afterFrames = true;
    if (step.kind == StepKind::Text || step.kind == StepKind::Key) afterFrames = false;
    step.afterFrames = afterFrames;
    gRunner.steps.push_back(step);
  }
  gRunner.active = true;
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
  return gRunner.error;
}

bool InputScriptActive() {
  return gRunner.active;
}

void FeedInputScript(ScriptedWait wait) {
  const ProgramState state = wait == ScriptedWait::Key    ? ProgramState::WaitingForAKey
                             : wait == ScriptedWait::Text ? ProgramState::TypingText
                                                          : ProgramState::WaitingForAMouseButton;
  if (!Enter(state)) return;
  ReleaseHeldKey();
  SettleSteps(state);
  if (const std::string reason = WaitVerdict(state); !reason.empty()) return EndRun(reason);
  Step& step = gRunner.steps.front();
  if (WaitsForFrames(step)) return;
  // A key wait keeps the first character of a text answer.
  if (state == ProgramState::TypingText && step.kind == StepKind::Text) {
    HandOverNextCharacter(step);
  } else {
    HandOver(step);
    TakeStep();
  }
}

void NoteKeysRead() {
  Enter(ProgramState::Polling);
}

void AdvanceInputScriptFrame() {
  const ProgramState state = gRunner.state;
  if (!Enter(ProgramState::ShowingFrames)) return;
  if (gRunner.keyHeldForAFrame) ReleaseHeldKey();
  CountFrame();
  if (state == ProgramState::Polling) AnswerPolling();
  KeepShownPicture();
  if (const std::string reason = FrameVerdict(state); !reason.empty()) EndRun(reason);
}

void InstallSnapshotWriter(SnapshotWriter writer, ShownPictureKeeper keeper) {
  gPictureWriters = {writer, keeper};
}

void ResetInputScriptForTests() {
  gRunner = Runner{};
}
