// The open and save dialog through a desktop dialog tool, played here by scripts on PATH.
#include "frame/file_dialog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/str_value.h"
#include "frame/runtime_startup.h"
#include "platform/file_system.h"
#include "tests/support/environment_scope.h"
#include "tests/support/temp_dir.h"

namespace {

// The tool writes its arguments one a line, prints $DIALOG_ANSWER and exits with $DIALOG_STATUS.
constexpr const char* kToolScript =
    "#!/bin/sh\n"
    "printf '%s\\n' \"$@\" > \"$DIALOG_ARGS\"\n"
    "printf '%s' \"$DIALOG_ANSWER\"\n"
    "exit \"${DIALOG_STATUS:-0}\"\n";

class FileDialogTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ScreenSettings.fullscreen = 0;
    environment_.Set("PATH", (tools_.path.string() + ":/usr/bin:/bin").c_str());
    environment_.Set("DISPLAY", ":99");
    environment_.Set("WAYLAND_DISPLAY", nullptr);
    environment_.Set("QRN_HEADLESS", nullptr);
    environment_.Set("DIALOG_ARGS", tools_.Child("args").c_str());
    Answer("/home/user/strip.png\n", 0);
  }

  void InstallTool(const char* name) {
    const std::string path = tools_.Child(name);
    TempDir::WriteBytes(path, kToolScript);
    chmod(path.c_str(), 0755);
  }

  void Answer(const char* text, int status) {
    environment_.Set("DIALOG_ANSWER", text);
    environment_.Set("DIALOG_STATUS", std::to_string(status).c_str());
  }

  std::string Dialog(int32_t open, const char* filter) {
    Str answer = FileDialog(open, StrValue(filter));
    std::string text(answer.data, answer.length);
    StrRelease(answer);
    return text;
  }

  bool ToolRan() const { return std::filesystem::exists(tools_.Child("args")); }

  std::vector<std::string> ToolArguments() const {
    std::istringstream lines(TempDir::ReadBytes(tools_.Child("args")));
    std::vector<std::string> arguments;
    for (std::string line; std::getline(lines, line);) arguments.push_back(line);
    return arguments;
  }

  TempDir tools_;
  EnvironmentScope environment_;
};

TEST_F(FileDialogTool, OpenOffersEachFilterAndAnswersThePathWithForwardSlashes) {
  InstallTool("zenity");
  Answer("/home/user\\strips\\walk.png\n", 0);
  EXPECT_EQ(Dialog(1, "Images|*.png;*.bmp|Text|*.txt"), "/home/user/strips/walk.png");
  const std::vector<std::string> expected = {
      "--file-selection", "--filename=" + platform::CurrentFolder() + "/",
      "--file-filter=Images | *.png *.bmp", "--file-filter=Text | *.txt"};
  EXPECT_EQ(ToolArguments(), expected);
}

TEST_F(FileDialogTool, SaveAsksForANewNameAndCancelGivesNoFile) {
  InstallTool("zenity");
  const std::string folder = platform::CurrentFolder();
  Answer("", 1);
  EXPECT_EQ(Dialog(0, "Models|*.obj"), "NO_FILE");
  const std::vector<std::string> arguments = ToolArguments();
  ASSERT_GE(arguments.size(), 3u);
  EXPECT_EQ(arguments[1], "--save");
  EXPECT_EQ(platform::CurrentFolder(), folder);

  Answer("", 0);
  EXPECT_EQ(Dialog(0, "Models|*.obj"), "NO_FILE") << "an empty answer chose nothing";
  Answer(std::string(1024, 'a').c_str(), 0);
  EXPECT_EQ(Dialog(0, "Models|*.obj"), "NO_FILE") << "longer than the name buffer";
}

TEST_F(FileDialogTool, KdialogServesWhenZenityIsMissing) {
  InstallTool("kdialog");
  EXPECT_EQ(Dialog(0, "Images|*.png;*.bmp|Text|*.txt"), "/home/user/strip.png");
  const std::vector<std::string> expected = {"--getsavefilename", platform::CurrentFolder(),
                                             "*.png *.bmp|Images", "*.txt|Text"};
  EXPECT_EQ(ToolArguments(), expected);
}

TEST_F(FileDialogTool, NoDialogWithoutADisplayOrWhenHeadlessOrWithoutATool) {
  EXPECT_EQ(Dialog(1, "Images|*.png"), "NO_FILE") << "no tool on PATH";
  InstallTool("zenity");
  for (const auto& [name, value] : {std::pair{"QRN_HEADLESS", "1"}, {"DISPLAY", nullptr}}) {
    EnvironmentScope scope;
    scope.Set(name, value);
    EXPECT_EQ(Dialog(1, "Images|*.png"), "NO_FILE") << name;
  }
  EXPECT_FALSE(ToolRan());
}

TEST(FileFilterText, PairsEndAtTheFirstEmptyPartAndWithinTheBuffer) {
  auto pairs = [](std::string_view text) {
    std::vector<std::string> flat;
    for (const platform::FileFilter& filter : ParseFileFilter(text)) {
      flat.push_back(filter.description + "=" + filter.patterns);
    }
    return flat;
  };
  EXPECT_EQ(pairs("A|*.a||B|*.c"), (std::vector<std::string>{"A=*.a"}));
  EXPECT_EQ(pairs("A|*.a|Lonely"), (std::vector<std::string>{"A=*.a"}));
  const std::string longPattern(1030, 'x');
  const std::vector<std::string> cut = pairs("A|" + longPattern);
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].size(), 1022u) << "\"A=\" and 1020 pattern characters";
}

}  // namespace
