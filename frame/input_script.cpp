#include "frame/input_script.h"

#include <cstdio>
#include <deque>
#include <fstream>

#include "core/allocation_failure.h"
#include "core/terminate.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/input.h"

namespace {

enum class StepKind { Text, Key, KeyState, Snapshot, Frames, WaitFile };

struct Step {
  StepKind kind;
  std::string argument;  // the answer, the file name, or the key as a character
  int keyNumber = 0;     // a named or numbered key; 0 when the argument is a typed character
  bool down = false;     // a key state step: pressed or released
  long frames = 0;       // frames still to pass
  bool afterFrames = false;  // a snapshot that follows a frames step rather than an answer
  int line = 0;
};

struct ScriptState {
  bool active = false;
  std::deque<Step> steps;
  int heldKey = 0;  // the key the last key step pressed, released at the next step
  std::string error;
  SnapshotWriter snapshotWriter = nullptr;
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

void TakeSnapshot(const Step& step) {
  const SnapshotWriter writer = State().snapshotWriter;
  if (!writer) {
    std::fprintf(stderr, "input script line %d: snapshot refused, no picture writer\n", step.line);
  } else if (!writer(step.argument.c_str())) {
    std::fprintf(stderr, "input script line %d: snapshot \"%s\" not written\n", step.line,
                 step.argument.c_str());
  }
}

// A snapshot after an answer shows what the answer did, at the next wait for input; one after a
// frames step is taken on the frame where the count ends.
bool RunsAtOnce(const Step& step, bool atFrame) {
  if (step.kind == StepKind::Snapshot) return !atFrame || step.afterFrames;
  return step.kind == StepKind::KeyState;
}

void RunAtOnce(const Step& step) {
  if (step.kind == StepKind::Snapshot) {
    TakeSnapshot(step);
  } else {
    platform::test::InjectKey(step.keyNumber, step.down);
  }
}

bool FileArrived(const Step& step) {
  return step.kind == StepKind::WaitFile &&
         platform::KindOfPath(step.argument) != platform::PathKind::Missing;
}

// Runs the steps that need no wait from the program, and the waits for files already there.
void SettleSteps(std::deque<Step>& steps, bool atFrame) {
  while (!steps.empty() && (RunsAtOnce(steps.front(), atFrame) || FileArrived(steps.front()))) {
    if (steps.front().kind != StepKind::WaitFile) RunAtOnce(steps.front());
    steps.pop_front();
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
    steps.pop_front();
    return;
  }
  platform::test::InjectText(step.argument.substr(0, 1));
  step.argument.erase(0, 1);
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
  if (path.empty() || FatalOnAllocationFailure([&] { return LoadInputScript(path); })) return true;
  std::fprintf(stderr, "%s\n", ScriptError().c_str());
  return false;
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
  SettleSteps(state.steps, false);
  if (state.steps.empty()) {
    std::fputs("input script used up while the program waits for input\n", stderr);
    TerminateProgram();
    return;
  }
  if (WaitsForFrames(state.steps.front())) {
    // The line editor shows a frame per character, so the script's frames pass; a key wait
    // shows none, and neither side could ever go on.
    if (wait == ScriptedWait::Text) return;
    std::fprintf(stderr, "input script line %d: the program waits for a key, not for frames\n",
                 state.steps.front().line);
    TerminateProgram();
    return;
  }
  if (wait == ScriptedWait::Text && state.steps.front().kind == StepKind::Text) {
    HandOverNextCharacter(state.steps);
    return;
  }
  HandOver(state.steps.front());
  state.steps.pop_front();
}

// One frame boundary counts for one frames step only; the steps after it run on the same frame.
void AdvanceInputScriptFrame() {
  ScriptState& state = State();
  if (!state.active) return;
  bool frameCounted = false;
  for (;;) {
    SettleSteps(state.steps, true);
    if (state.steps.empty() || state.steps.front().kind != StepKind::Frames) return;
    if (frameCounted) return;
    frameCounted = true;
    if (--state.steps.front().frames > 0) return;
    state.steps.pop_front();
  }
}

void InstallSnapshotWriter(SnapshotWriter writer) {
  State().snapshotWriter = writer;
}

void ResetInputScriptForTests() {
  const SnapshotWriter writer = State().snapshotWriter;
  State() = ScriptState{};
  State().snapshotWriter = writer;
}
