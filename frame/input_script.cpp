#include "frame/input_script.h"

#include <cstdio>
#include <deque>
#include <fstream>

#include "core/terminate.h"
#include "platform/environment.h"
#include "platform/input.h"

namespace {

enum class StepKind { Text, Key, Snapshot };

struct Step {
  StepKind kind;
  std::string argument;  // the answer, the file name, or the key as a character
  int keyNumber = 0;     // a named key; 0 when the argument is a typed character
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
    return ParseKey(step);
  }
  if (word == "snapshot") {
    step.kind = StepKind::Snapshot;
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
  for (int lineNumber = 1; std::getline(file, line); ++lineNumber) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    Step step;
    if (!ParseLine(line, lineNumber, step)) {
      state.error = "input script line " + std::to_string(lineNumber) + ": not a step: " + line;
      state.steps.clear();
      return false;
    }
    state.steps.push_back(step);
  }
  state.error.clear();
  state.active = true;
  return true;
}

bool LoadInputScriptFromEnvironment() {
  const std::string path = platform::EnvironmentValue("QRN_INPUT_SCRIPT");
  if (path.empty() || LoadInputScript(path)) return true;
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
  while (!state.steps.empty() && state.steps.front().kind == StepKind::Snapshot) {
    TakeSnapshot(state.steps.front());
    state.steps.pop_front();
  }
  if (state.steps.empty()) {
    std::fputs("input script used up while the program waits for input\n", stderr);
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

void InstallSnapshotWriter(SnapshotWriter writer) {
  State().snapshotWriter = writer;
}

void ResetInputScriptForTests() {
  const SnapshotWriter writer = State().snapshotWriter;
  State() = ScriptState{};
  State().snapshotWriter = writer;
}
