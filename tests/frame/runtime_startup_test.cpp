// Start-up and the quit sequence in-process: objects made and released, the hidden start, the
// scene before its context, the system font's file and the command line.
#include "frame/runtime_startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/last_error.h"
#include "core/process_globals.h"
#include "core/str_value.h"
#include "core/user_functions.h"
#include "frame/frame_cycle.h"
#include "frame/frame_services.h"
#include "frame/graphics_context.h"
#include "frame/input_manager.h"
#include "frame/program_entry.h"
#include "frame/runtime_hooks.h"
#include "frame/runtime_objects.h"
#include "frame/runtime_shutdown.h"
#include "frame/sound_device.h"
#include "net/session_commands.h"
#include "net/socket_layer.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/window.h"
#include "system/file_commands.h"
#include "system/pack_archive.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class RuntimeStartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Keeps the GL driver loaded when the run's own window goes, as every GL test does.
    gltest::SharedContext();
    savedStartup = GetStartupHooks();
    savedShutdown = GetShutdownHooks();
    ConfiguredScreenWidth = 640;
    ConfiguredScreenHeight = 480;
    ScreenSettings = {0, 0, 60, 0};
  }
  void TearDown() override {
    QuitRuntime();
    SetStartupHooks(savedStartup);
    SetShutdownHooks(savedShutdown);
    ResetShutdownForTests();
    ResetFrameCycleForTests();
    ResetFrameServicesForTests();
    ResetCoreStateForTests();
    ScreenSettings = {};
  }

  std::string LogText() const { return TempDir::ReadBytes(tmp.Child("ErrorLog.txt")); }

  TempDir tmp{true};
  StartupHooks savedStartup{};
  ShutdownHooks savedShutdown{};
};

int quitRoutineCalls = 0;
const UserFunctionEntry kQuitRoutine[] = {{[] { ++quitRoutineCalls; }, "QRN_ON_QUIT"},
                                          {nullptr, nullptr}};

}  // namespace

TEST_F(RuntimeStartupTest, AHiddenStartMakesEveryObjectAndTheQuitSequenceReleasesThemOnce) {
  SetUserFunctionTable(kQuitRoutine);
  quitRoutineCalls = 0;
  RuntimeStartup(nullptr, 0, "tile2cubes");

  ASSERT_NE(GraphicsContext, nullptr);
  platform::Window* window = GraphicsContext->window;
  EXPECT_FALSE(platform::WindowShown(window));
  EXPECT_EQ(platform::Title(window), "tile2cubes");
  EXPECT_EQ(platform::WindowFromId(MainWindowHandle), window);
  ASSERT_NE(InputObject, nullptr);
  EXPECT_EQ(InputObject->window, window);
  ASSERT_NE(SoundSlots, nullptr);
  EXPECT_NE(NetSessionRecord(), nullptr) << "the network installs its start-up step";
  EXPECT_NE(SceneObject, nullptr) << "the 3D layer installs its start-up step";
  EXPECT_EQ(platform::CurrentFolder(), ExecutableFolder());
  EXPECT_EQ(FileArchive.archiveName, platform::ExecutablePath());

  // Start references the program never gave back go too.
  ASSERT_TRUE(SockStartup());
  ASSERT_TRUE(SockStartup());
  // A channel still buffering is written out, and the folder is the program's again.
  const std::string written = tmp.Child("left-open.txt");
  ASSERT_TRUE(OpenFile(2, StrValue(written.c_str()), 0));
  WriteString(2, StrValue("kept"));
  platform::ChangeCurrentFolder(tmp.path.string());

  QuitRuntime();
  EXPECT_EQ(TempDir::ReadBytes(written), "kept");
  EXPECT_EQ(platform::CurrentFolder(), ExecutableFolder());
  QuitRuntime();
  EXPECT_EQ(quitRoutineCalls, 1);
  EXPECT_EQ(SockStartupCount(), 0);
  EXPECT_EQ(GraphicsContext, nullptr);
  EXPECT_EQ(InputObject, nullptr);
  EXPECT_EQ(SoundSlots, nullptr);
  EXPECT_EQ(SoundHolder, nullptr);
  EXPECT_EQ(SceneObject, nullptr);
  EXPECT_EQ(NetSessionRecord(), nullptr);
  EXPECT_EQ(MainWindowHandle, 0u);
  EXPECT_TRUE(MemoryArchive.archiveName.empty());
  const std::string log = LogText();
  EXPECT_EQ(log.find("Shut down QRN\n"), log.size() - 31) << "once, and last but one";
  EXPECT_EQ(log.substr(log.size() - 31), "Shut down QRN\nqrn is shut down\n");
}

TEST_F(RuntimeStartupTest, TheHidePointerSettingStartsWithThePointerHiddenAndTheMouseTaken) {
  ScreenSettings.hidePointer = 1;
  RuntimeStartup(nullptr, 1, "hidden pointer");
  ASSERT_NE(InputObject, nullptr);
  EXPECT_EQ(InputObject->pointerShown, 0);
  EXPECT_EQ(InputObject->mouseCooperativeLevel, kMouseLevelExclusive);
  EXPECT_TRUE(platform::RelativeModeWanted());
  EXPECT_FALSE(platform::CursorShown());
  QuitRuntime();
  EXPECT_TRUE(platform::CursorShown() && !platform::RelativeModeWanted()) << "given back at the end";
}

namespace {

struct SceneRecord {
  int made = 0;
  Rainbows3D* deleted = nullptr;
  bool contextAliveAtDelete = false;
};
SceneRecord scene;
int sceneMarker = 0;
Rainbows3D* const kFakeScene = reinterpret_cast<Rainbows3D*>(&sceneMarker);

}  // namespace

TEST_F(RuntimeStartupTest, TheSceneIsDeletedWhileItsContextStillExists) {
  scene = {};
  ChangeRuntimeHooks([](StartupHooks& startup, ShutdownHooks& shutdown) {
    startup.makeScene = [](OpenGLRainbows& ctx) {
      ++scene.made;
      return ctx.scene = kFakeScene;
    };
    shutdown.deleteScene = [](Rainbows3D* deleted) {
      scene.deleted = deleted;
      scene.contextAliveAtDelete =
          GraphicsContext && GraphicsContext->window &&
          platform::MakeCurrent(GraphicsContext->window, GraphicsContext->glContext);
    };
  });

  RuntimeStartup(nullptr, 1, "scene");
  EXPECT_EQ(scene.made, 1);
  EXPECT_EQ(SceneObject, kFakeScene);
  QuitRuntime();
  EXPECT_EQ(scene.deleted, kFakeScene);
  EXPECT_TRUE(scene.contextAliveAtDelete);
  EXPECT_EQ(SceneObject, nullptr);
}

namespace {
std::vector<std::string> fontsLoaded;
}  // namespace

TEST_F(RuntimeStartupTest, TheSystemFontComesFromTheFirstFileOfTheListThatExists) {
  StartupHooks startup = GetStartupHooks();
  startup.loadFont = [](const char* path, int32_t font) {
    fontsLoaded.push_back(std::string(path) + "@" + std::to_string(font));
    return true;
  };
  SetStartupHooks(startup);
  const fs::path folder = ExecutableFolder();
  const fs::path media = folder / "Media";
  const bool mediaExisted = fs::exists(media);
  fs::create_directories(media);
  for (const fs::path& file :
       {media / "smalfont.bmp", folder / "smalfont.png", folder / "smalfont.bmp"}) {
    TempDir::WriteBytes(file.string(), "font");
  }

  const auto loadedAtStartUp = [&] {
    fontsLoaded.clear();
    RuntimeStartup(nullptr, 1, "fonts");
    QuitRuntime();
    ResetShutdownForTests();
    return fontsLoaded;
  };
  EXPECT_EQ(loadedAtStartUp(), std::vector<std::string>{"Media/smalfont.bmp@0"});
  fs::remove(media / "smalfont.bmp");
  EXPECT_EQ(loadedAtStartUp(), std::vector<std::string>{"smalfont.png@0"});
  fs::remove(folder / "smalfont.png");
  fs::remove(folder / "smalfont.bmp");
  EXPECT_EQ(loadedAtStartUp(), std::vector<std::string>{});
  if (!mediaExisted) fs::remove(media);
}

TEST_F(RuntimeStartupTest, AStartWithoutAMainRoutineAnswersOneWithTheErrorCodeCleared) {
  const auto settingsThatLeaveAnError = [] {
    SetLastErrorCode(5);
    StrAssignCString(GetAppNameStr(), "no main");
  };
  const auto noMainRoutine = []() -> int32_t { return 0; };
  EXPECT_EQ(RuntimeInitNoMain({settingsThatLeaveAnError, noMainRoutine, kQuitRoutine}), 1);
  EXPECT_EQ(LastErrorCode, 0);
  ASSERT_NE(GraphicsContext, nullptr);
  EXPECT_EQ(platform::Title(GraphicsContext->window), "no main");
  EXPECT_EQ(UserFunctionTable, kQuitRoutine);
}

TEST(CommandLine, ArgumentsAreJoinedWithBlanksAndQuotedWhenTheyHoldBlanksOrAreEmpty) {
  std::string args[] = {"/bin/tool", "a b", "", "tab\there", "plain"};
  char* argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), args[4].data()};
  EXPECT_EQ(JoinCommandLine(5, argv), "/bin/tool \"a b\" \"\" \"tab\there\" plain");
  EXPECT_EQ(JoinCommandLine(0, argv), "");
}
