// Keyboard, mouse and joystick commands under injected events and virtual controllers.
#include "frame/input_commands.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "tests/support/gl_fixture.h"
#include "tests/support/input_fixture.h"
#include "tests/support/owned_str.h"

namespace {

std::string Take(Str s) { return OwnedStr(s).text(); }

using InputCommands = InputFixture;

TEST_F(InputCommands, KeyDownReadsTheKeyboardAgainOnlyEvery129thCall) {
  StartInput();
  KeyboardRead(*InputObject);  // what the frame does
  platform::test::InjectKey(12, true);
  for (int call = 1; call <= 128; ++call) ASSERT_EQ(KeyDown(12), 0) << call;
  EXPECT_EQ(KeyDown(12), 1);
  EXPECT_EQ(KeyPollCounter, 0u);
  platform::test::InjectKey(12, false);
  EXPECT_EQ(KeyDown(12 + 256), 1) << "only the low 8 bits name the key";
}

TEST_F(InputCommands, GetTypedCharGivesOneCharacterOrNothing) {
  StartInput();
  PushTypedChar(uint8_t{0xE9});
  EXPECT_EQ(Take(GetTypedChar()), "\xE9");
  EXPECT_EQ(Take(GetTypedChar()), "");
}

TEST_F(InputCommands, MouseStateClampsToTheTurnedLogicalScreen) {
  // Orientation, window-pixel movement from logical (0, 0), the clamped logical point.
  const std::array<int, 5> cases[] = {
      {0, 1000, 1000, 640, 480}, {0, -5, 7, 0, 7},         {1, 0, 1000, 480, 0},
      {1, -1000, 0, 0, 640},     {2, 1000, 1000, 0, 0},    {2, -1000, -1000, 640, 480},
      {3, 1000, 0, 0, 640},      {3, 0, -1000, 480, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c[0]);
    StartInput();
    ShowPointer(0);
    Screen().orientation = c[0];
    SetMousePosition(0, 0);
    platform::test::InjectMouseMotion(0, 0, c[1], c[2]);
    platform::test::InjectMouseButton(1, true);
    int32_t x, y, left, right;
    MouseState(&x, &y, &left, &right);
    EXPECT_EQ((std::array<int32_t, 4>{x, y, left, right}),
              (std::array<int32_t, 4>{c[3], c[4], 0, 1}));
    // The clamped point is where the next movement starts from.
    MouseState(&x, &y, &left, &right);
    EXPECT_EQ((std::array<int32_t, 2>{x, y}), (std::array<int32_t, 2>{c[3], c[4]}));
    platform::test::InjectMouseButton(1, false);
  }
}

TEST_F(InputCommands, FarOffMousePositionsAreHeldAtTheScreenEdge) {
  StartInput();
  for (int32_t orientation : {1, 2}) {
    Screen().orientation = orientation;
    SetMousePosition(INT32_MIN, INT32_MAX);
    int32_t x, y, left, right;
    MouseState(&x, &y, &left, &right);
    const int32_t width = orientation == 1 ? 480 : 640;
    EXPECT_TRUE(x >= 0 && x <= width && y >= 0 && y <= 1120 - width) << x << ", " << y;
  }
}

TEST_F(InputCommands, MouseAxisTurnsMovementWithoutTheScreenOffset) {
  const std::array<int, 2> turned[4] = {{5, -3}, {-3, -5}, {-5, 3}, {3, 5}};
  for (int orientation = 0; orientation < 4; ++orientation) {
    StartInput();
    Screen().orientation = orientation;
    platform::test::InjectMouseMotion(100, 100, 0, 0);
    MouseReport report;
    MousePoll(*InputObject, report, true);
    EXPECT_EQ(MouseAxis(0), 0) << orientation;
    EXPECT_EQ(MouseAxis(1), 0) << orientation;
    platform::test::InjectMouseMotion(105, 97, 5, -3);
    EXPECT_EQ(MouseAxis(0), turned[orientation][0]) << orientation;
    EXPECT_EQ(MouseAxis(1), turned[orientation][1]) << orientation;
  }
}

TEST_F(InputCommands, MouseAxisButtonsAndOutOfRangeAxes) {
  StartInput();
  platform::test::InjectMouseButton(2, true);
  EXPECT_EQ(MouseAxis(3), 0);
  EXPECT_EQ(MouseAxis(5), 1);
  EXPECT_EQ(MouseAxis(6), 0);
  EXPECT_EQ(MouseAxis(-1), 0);
  SelectMouse(3);
  EXPECT_EQ(InputObject->currentMouse, 0);
  EXPECT_EQ(MouseCount(), 1);
  double x, y, left, right;
  MouseStateFloat(&x, &y, &left, &right);
  EXPECT_EQ(right, 0.0);
}

TEST_F(InputCommands, ShowPointerAndSetMousePosition) {
  StartInput();
  ShowPointer(std::nan(""));
  EXPECT_EQ(InputObject->pointerShown, 1);
  Screen().orientation = 1;
  SetMousePosition(10, 20);
  EXPECT_EQ(InputObject->mice[0].x, 619);
  EXPECT_EQ(InputObject->mice[0].reportedY, 10);
}

class VirtualJoystick : public InputFixture {
 protected:
  int AttachPad(bool rumble = false) {
    const int device = platform::test::AttachVirtualJoystick(6, 4, 1, rumble);
    EXPECT_GE(device, 0);
    return device;
  }
};

TEST_F(VirtualJoystick, AxesAreScaledClampedAndTurned) {
  const int pad = AttachPad();
  StartInput();
  ASSERT_EQ(JoystickCount(), 1.0);
  const int raw[] = {32767, -32768, 16384, -16384, 0, 32767};
  for (int axis = 0; axis < 6; ++axis) platform::test::SetVirtualAxis(pad, axis, raw[axis]);
  EXPECT_EQ(JoystickX(0), 1.0);
  EXPECT_EQ(JoystickY(0), -1.0);
  EXPECT_NEAR(JoystickZ(0), 0.5, 1e-4);
  EXPECT_NEAR(JoystickRX(0), -0.5, 1e-4);
  EXPECT_EQ(JoystickRY(0), 0.0);
  EXPECT_EQ(JoystickRZ(0), 1.0);
  Screen().orientation = 1;
  EXPECT_EQ(JoystickX(0), 1.0) << "(1, -1) turned a quarter is (1, 1)";
  EXPECT_EQ(JoystickY(0), 1.0);
  EXPECT_NEAR(JoystickRY(0), -0.5, 1e-4);
  for (int outOfRange : {5, -1}) EXPECT_EQ(JoystickX(outOfRange), 0.0);
}

TEST_F(VirtualJoystick, StateReportsDirectionsAndButtonBytes) {
  const int pad = AttachPad();
  StartInput();
  platform::test::SetVirtualAxis(pad, 0, 32767);
  platform::test::SetVirtualAxis(pad, 1, -29999);
  platform::test::SetVirtualButton(pad, 1, true);
  int32_t x, y, button1, button2;
  JoystickState(&x, &y, &button1, &button2);
  EXPECT_EQ((std::array<int32_t, 4>{x, y, button1, button2}),
            (std::array<int32_t, 4>{1, 0, 0, 128}));
  double fx, fy, fb1, fb2;
  platform::test::SetVirtualAxis(pad, 1, -30000);
  JoystickStateFloat(&fx, &fy, &fb1, &fb2);
  EXPECT_EQ(fy, -1.0);
  EXPECT_EQ(fb2, 128.0);
}

TEST_F(VirtualJoystick, HatDirectionsTurnAsAPair) {
  const int pad = AttachPad();
  StartInput();
  struct Case {
    uint8_t hat;
    int orientation;
    double x, y;
  };
  using platform::test::kHatDown;
  using platform::test::kHatLeft;
  using platform::test::kHatRight;
  using platform::test::kHatUp;
  const Case cases[] = {
      {0, 0, 0, 0},  {kHatUp, 0, 0, -1},  {kHatRight | kHatDown, 0, 1, 1},
      {kHatLeft | kHatUp, 0, -1, -1},     {kHatRight | kHatDown, 1, -1, 1},
      {kHatRight, 1, 0, 1},               {kHatRight, 2, -1, 0}, {kHatDown, 3, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.hat) << " orientation " << c.orientation);
    Screen().orientation = c.orientation;
    platform::test::SetVirtualHat(pad, 0, c.hat);
    EXPECT_EQ(JoystickPovX(0), c.x);
    EXPECT_EQ(JoystickPovY(0), c.y);
  }
  platform::JoyState state;
  platform::test::SetVirtualHat(pad, 0, kHatRight | kHatDown);
  JoystickPoll(*InputObject, state, 0);
  EXPECT_EQ(state.pov[0], 13500u);
  EXPECT_EQ(state.pov[1], 0xFFFFFFFFu);
}

TEST_F(VirtualJoystick, OnlyTenControllersAreTaken) {
  for (int i = 0; i < 11; ++i) AttachPad();
  StartInput();
  EXPECT_EQ(JoystickCount(), 10.0);
  EXPECT_EQ(Take(JoystickName(9)), "Virtual Pad, Virtual Pad");
  EXPECT_EQ(Take(JoystickName(10)), "");
}

TEST_F(VirtualJoystick, ForceFeedbackPlaysAsRumbleWhereThereIsNoHaptic) {
  AttachPad(false);
  const int rumbling = AttachPad(true);
  StartInput();
  JoystickForceFeedback(0, 100, 1, 0);
  EXPECT_EQ(platform::test::LastRumble().device, -1) << "a pad without rumble feels nothing";
  JoystickForceFeedback(rumbling, 100, 1, 0);
  EXPECT_EQ(platform::test::LastRumble().device, rumbling);
  EXPECT_EQ(platform::test::LastRumble().low, 32767);
  EXPECT_EQ(platform::test::LastRumble().high, 32767);
  JoystickForceFeedback(rumbling, 100, 5, 5);
  EXPECT_EQ(platform::test::LastRumble().low, 65535);
  JoystickForceFeedback(7, 100, 1, 1);
  EXPECT_EQ(platform::test::LastRumble().low, 65535);
}

class InputOnWindow : public GlFixture {
 protected:
  void TearDown() override {
    InputObject = nullptr;
    GraphicsContext = nullptr;
    platform::test::ResetInput();
  }
};

TEST_F(InputOnWindow, PositionsStayInsideTheWindow) {
  platform::test::ResetInput();
  InputManager input;
  InputInit(input, Context().window, false);
  InputObject = &input;
  GraphicsContext = &Context();
  int32_t at[2], left, right;
  platform::test::InjectMouseMotion(5000, -20, 0, 0);
  MouseState(&at[0], &at[1], &left, &right);
  EXPECT_EQ(std::to_array(at), (std::array<int32_t, 2>{640, 0}));
  platform::test::InjectMouseMotion(-3, 9000, 0, 0);
  MouseState(&at[0], &at[1], &left, &right);
  EXPECT_EQ(std::to_array(at), (std::array<int32_t, 2>{0, 480}));
  InputRelease(input);
}

}  // namespace
