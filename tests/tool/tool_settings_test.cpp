// What the tool hands the runtime: settings, build texts, named routines and the channel hook,
// the start values of its globals and the frame-rate step.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "core/console.h"
#include "core/process_globals.h"
#include "frame/frame_services.h"
#include "frame/runtime_startup.h"
#include "frame/text_input.h"
#include "tests/support/owned_str.h"
#include "tests/support/tool_fixture.h"
#include "tool/project_settings.h"
#include "tool/tool_hooks.h"

namespace {

// Each character of the text against its form character: 'A' an upper-case letter, 'a' a
// lower-case one, '9' a digit, 'x' a lower-case hexadecimal digit, '#' a blank or 1 to 3; any
// other form character stands for itself.
bool HasForm(const std::string& text, const std::string& form) {
  if (text.size() != form.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = text[i];
    const bool ok = form[i] == 'A'   ? std::isupper(c)
                    : form[i] == 'a' ? std::islower(c)
                    : form[i] == '9' ? std::isdigit(c)
                    : form[i] == 'x' ? std::isdigit(c) || (c >= 'a' && c <= 'f')
                    : form[i] == '#' ? c == ' ' || (c >= '1' && c <= '3')
                                     : c == form[i];
    if (!ok) return false;
  }
  return true;
}

using ToolSettings = ToolTest;

TEST_F(ToolSettings, ProjectSettingsGiveTheWindowItsSizeAndTitleAndInstallRoutinesAndScreen) {
  ScreenSettings = {1, 1, 0, 4};
  ProjectSettings();
  EXPECT_EQ(ScreenSettings.frameRate, 30);
  EXPECT_EQ(ScreenSettings.fullscreen + ScreenSettings.hidePointer + ScreenSettings.multisample, 0);
  EXPECT_EQ(ConfiguredScreenWidth, 640);
  EXPECT_EQ(ConfiguredScreenHeight, 480);
  EXPECT_STREQ(GetAppNameStr().data, "tile2cubes");
  EXPECT_EQ(FindUserFunction(StrValue("ShowFPS")), ShowFPS);
  EXPECT_EQ(FindUserFunction(StrValue("clear_object")), clear_object);
  const ToolScreen& screen = CurrentToolScreen();
  EXPECT_TRUE(screen.printText && screen.drawRect && screen.showScreen && screen.frameTime);
  EXPECT_EQ(screen.inputNumber, InputNumber);
  ScreenSettings = {};
  CloseAllFiles();  // runs the tool's hook, which must do nothing
  AppNameStrRelease();
}

TEST(ToolBuildTexts, StampHostIdAndVersionHaveTheirForms) {
  const std::string stamp = OwnedStr(ProjectBuildStamp()).text();
  EXPECT_TRUE(HasForm(stamp, "Aaa #9 9999-99:99:99")) << stamp;
  EXPECT_TRUE(HasForm(OwnedStr(ProjectHostId()).text(), "xxxxxxxx"));
  EXPECT_EQ(OwnedStr(ProjectVersion()).text(), "000.001");
}

TEST_F(ToolSettings, FrameRateIsShownOnlyAfterASecondHasBeenSummed) {
  ToolState& g = ToolGlobals;
  for (int frame = 0; frame < 50; ++frame) AdvanceFpsDisplay(20);
  EXPECT_EQ(g.ShownFps, 0) << "50 frames of 20 ms make exactly one second";
  AdvanceFpsDisplay(10);
  EXPECT_NEAR(g.ShownFps, 75, 1e-9);  // (100 + 50) / 2
  EXPECT_EQ(g.FpsTimeSum, 0);
  EXPECT_EQ(g.FrameTime, 10);
}

}  // namespace
