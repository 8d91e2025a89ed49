// The input object: typed characters, key tables, keyboard, raw mouse and force feedback.
#include "frame/input_manager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "tests/support/input_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<int32_t> Drain(TypedCharQueue& queue) {
  std::vector<int32_t> out;
  while (!queue.pending.empty()) out.push_back(PopTypedChar(queue));
  return out;
}

TEST(TypedChars, KeepPrintableTabBackspaceAndLineFeedOnly) {
  TypedCharQueue queue;
  for (int c : {int{'a'}, 13, 9, 1, 0, 27, 8, 10, 200, 31, 32}) PushTypedChar(queue, c);
  EXPECT_EQ(Drain(queue), (std::vector<int32_t>{'a', 10, 9, 8, 10, -56, 32}));
  EXPECT_EQ(PopTypedChar(queue), 0);
}

TEST(TypedChars, SeventeenthPendingCharacterIsDropped) {
  TypedCharQueue queue;
  for (int i = 0; i < 17; ++i) PushTypedChar(queue, 'a' + i);
  EXPECT_EQ(queue.pending.size(), 16u);
  EXPECT_EQ(PopTypedChar(queue), 'a');
  PushTypedChar(queue, 'z');
  const std::vector<int32_t> rest = Drain(queue);
  ASSERT_EQ(rest.size(), 16u);
  EXPECT_EQ(rest[14], 'a' + 15);
  EXPECT_EQ(rest.back(), 'z');
}

TEST(ScanCodeTable, IdentityOrGermanVirtualKeys) {
  InputManager input;
  BuildScanCodeTable(input, true);
  EXPECT_EQ(input.scanCodeTable[201], 201);
  BuildScanCodeTable(input, false);
  // The swapped Y and Z of the German layout, the ends of the table and a gap in it.
  const std::pair<int, int> cases[] = {{21, 90},  {44, 89},  {0, 13},
                                       {88, 123}, {84, 255}, {255, 255}};
  for (const auto& [key, virtualKey] : cases) {
    EXPECT_EQ(input.scanCodeTable[key], virtualKey) << key;
  }
}

TEST(ConstantForce, ParametersFromTheCommandValues) {
  struct Case {
    float duration, x, y;
    ConstantForceParams expected;
  };
  const float nan = std::nanf("");
  const Case cases[] = {
      {250.7f, 1, 1, {250, 32767, 32767, 10000}},
      {100, 1, 0, {100, 32767, 0, 5000}},
      {100, 2, -3, {100, 32767, -32767, 10000}},
      {100, 0.5f, 0, {100, 16383, 0, 1250}},
      {-5, 0, 0, {0, 0, 0, 0}},
      {1e20f, 0, 1, {0xFFFFFFFFu, 0, 32767, 5000}},
      {nan, nan, 0, {0, -32767, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.duration << " " << c.x << " " << c.y);
    const ConstantForceParams p = ConstantForceFor(c.duration, c.x, c.y);
    EXPECT_EQ(std::make_tuple(p.lengthMs, p.dirX, p.dirY, p.magnitude),
              std::make_tuple(c.expected.lengthMs, c.expected.dirX, c.expected.dirY,
                              c.expected.magnitude));
  }
}

using InputObjectTest = InputFixture;

TEST_F(InputObjectTest, KeyboardReadFollowsTheKeysAndForgetsThemWhenTheFocusGoes) {
  InputManager& input = StartInput();
  platform::test::InjectKey(12, true);
  KeyboardRead(input);
  EXPECT_EQ(input.keyBuffer[12], 0x80);
  platform::test::InjectFocus(false);
  KeyboardRead(input);
  EXPECT_EQ(input.keyBuffer[12], 0);
  platform::test::InjectFocus(true);
  KeyboardRead(input);
  EXPECT_EQ(input.keyBuffer[12], 0);
}

TEST_F(InputObjectTest, KeyToAsciiHasFixedAnswersAndTheLayoutsOthers) {
  InputManager& input = StartInput();
  const std::pair<int, int> fixed[] = {{14, 8}, {28, 10}, {156, 10}, {42, 0}, {1, 0}, {15, 0}};
  for (const auto& [key, c] : fixed) EXPECT_EQ(KeyToAscii(input, key), c) << key;
  EXPECT_EQ(KeyToAscii(input, 30), 'a');
  platform::test::InjectKey(42, true);
  EXPECT_EQ(KeyToAscii(input, 30), 'A');
}

TEST_F(InputObjectTest, ShownPointerReadsPositionsHiddenOneSumsMovement) {
  InputManager& input = StartInput();
  ASSERT_EQ(input.pointerShown, 1);
  platform::test::InjectMouseMotion(300, 200, 0, 0);
  MouseReport report;
  MousePoll(input, report, true);
  platform::test::InjectMouseMotion(310, 190, 10, -10);
  platform::test::InjectMouseButton(0, true);
  MousePoll(input, report, false);
  EXPECT_EQ(report, (MouseReport{1, 0, 0, 10, -10, 0}));
  MousePoll(input, report, true);
  EXPECT_EQ(input.mice[0].reportedX, 310);

  SetPointerVisible(input, false);
  platform::test::InjectMouseMotion(0, 0, 3, 4);
  platform::test::InjectMouseMotion(0, 0, 5, 6);
  platform::test::InjectMouseButton(0, false);
  MousePoll(input, report, true);
  EXPECT_EQ(report, (MouseReport{0, 0, 0, 8, 10, 0}));
  EXPECT_EQ(input.mice[0].reportedX, 318);
  EXPECT_EQ(input.mice[0].reportedY, 200);
}

TEST_F(InputObjectTest, WheelStepsCountOnlyWithTheExclusiveMouse) {
  MouseReport report;
  for (bool exclusive : {false, true}) {
    InputManager& input = StartInput(exclusive);
    platform::test::InjectWheel(3);
    MousePoll(input, report, false);
    platform::test::InjectWheel(-1);
    MousePoll(input, report, false);
    EXPECT_EQ(report[5], 0) << "a step up then a step down";
    platform::test::InjectWheel(-2);
    MousePoll(input, report, false);
    EXPECT_EQ(report[5], exclusive ? -1 : 0);
    MousePoll(input, report, true);
    MousePoll(input, report, false);
    EXPECT_EQ(report[5], 0);
  }
}

TEST_F(InputObjectTest, ExclusiveMouseFollowsThePointerAndReleaseLeavesItShown) {
  InputManager& input = StartInput(true);
  EXPECT_EQ(input.mouseCooperativeLevel, kMouseLevelExclusive);
  ShowPointer(1);
  EXPECT_EQ(input.mouseCooperativeLevel, kMouseLevelShared);
  ShowPointer(0);
  EXPECT_EQ(input.mouseCooperativeLevel, kMouseLevelExclusive);
  InputRelease(input);
  EXPECT_EQ(input.pointerShown, 1);
  EXPECT_FALSE(input.mouseDevice);
  MouseReport report;
  MousePoll(input, report, true);
  EXPECT_EQ(report, MouseReport{});
  SetCurrentMouse(input, 0);
  EXPECT_EQ(input.mice.size(), 1u);
}

// The offscreen driver will not capture the mouse, as a desktop may refuse to.
TEST_F(InputObjectTest, AnExclusiveMouseTheDriverWillNotCaptureIsLoggedAndAnswered) {
  TempDir logFolder(true);
  InputManager input;
  EXPECT_EQ(InputInit(input, nullptr, true), kInputMouseNotTaken);
  EXPECT_EQ(TempDir::ReadBytes(logFolder.Child("ErrorLog.txt")),
            "can't aquire mouse - first try\n");
  InputRelease(input);
}

TEST_F(InputObjectTest, AnyMouseButtonDownSeesEachButton) {
  InputManager& input = StartInput();
  for (int button = 0; button < 3; ++button) {
    EXPECT_FALSE(AnyMouseButtonDown(input)) << button;
    platform::test::InjectMouseButton(button, true);
    EXPECT_TRUE(AnyMouseButtonDown(input)) << button;
    platform::test::InjectMouseButton(button, false);
  }
}

TEST_F(InputObjectTest, PushTypedCharReachesTheProcessInputObject) {
  InputManager& input = StartInput();
  PushTypedChar(uint8_t{'k'});
  EXPECT_EQ(PopTypedChar(input.typedChars), 'k');
  InputObject = nullptr;
  PushTypedChar(uint8_t{'k'});
  EXPECT_TRUE(input.typedChars.pending.empty());
}

}  // namespace
