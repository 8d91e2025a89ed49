#include "frame/waits.h"

#include "core/terminate.h"
#include "frame/frame_cycle.h"
#include "frame/hibernate.h"
#include "frame/input_manager.h"
#include "frame/input_script.h"
#include "frame/runtime_objects.h"
#include "platform/clock.h"

namespace {

void DropTypedChars(InputManager& input) {
  while (AnyKeyHit(input.typedChars)) {
  }
}

// The tight release and press tests give the processor back between reads.
void WhileMouseButtonIs(InputManager& input, bool down) {
  while (AnyMouseButtonDown(input) == down) platform::SleepMs(1);
}

}  // namespace

void WaitForKey() {
  if (!InputObject) return;
  InputManager& input = *InputObject;
  DropTypedChars(input);
  // The script answers only after the drop, which would take its answer too; and at every pass,
  // so that a step the wait does not take (a key typing nothing it keeps) gives way to the next.
  do {
    FeedInputScript(ScriptedWait::Key);
    if (!KeepWindowAlive()) TerminateProgram();
    Hibernate();
  } while (!AnyKeyHit(input.typedChars));
  DropTypedChars(input);
}

void WaitForMouseButton() {
  if (!InputObject) return;
  InputManager& input = *InputObject;
  WhileMouseButtonIs(input, true);
  FeedInputScript(ScriptedWait::MouseButton);
  while (!AnyMouseButtonDown(input)) Hibernate();
  WhileMouseButtonIs(input, true);
}
