// Video in the main window: letterbox, pictures read back mid-play, the keys that end a loop,
// error answers and the program's GL state left as it was.
#include "frame/video_player.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

#include "core/last_error.h"
#include "core/str_value.h"
#include "frame/media_commands.h"
#include "frame/music_player.h"
#include "frame/render_state.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/music.h"
#include "tests/sound/sound_fixture.h"
#include "tests/support/fake_clock.h"
#include "tests/support/frame_cycle_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/video_maker.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kGrey = 0x808080;

std::vector<gltest::Rgba> gCentre;   // the middle pixel of each picture drawn
std::vector<gltest::Rgba> gTopBand;  // a pixel 40 rows below the top edge
int32_t gTypeAtPicture = 0;

void ReadPicture(int32_t drawn) {
  gCentre.push_back(gltest::ReadBackPixel(gltest::SharedContext(), 320, 240));
  gTopBand.push_back(gltest::ReadBackPixel(gltest::SharedContext(), 320, 40));
  if (drawn == gTypeAtPicture) platform::test::InjectText("q");
}

gltest::Rgba Opaque(uint32_t rgb) {
  return {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
}

class VideoPlayback : public FrameCycleFixture {
 protected:
  void SetUp() override {
    FrameCycleFixture::SetUp();
    StartInput();
    gCentre.clear();
    gTopBand.clear();
    gTypeAtPicture = 0;
    SetVideoFrameHook(ReadPicture);
  }
  void TearDown() override {
    SetVideoFrameHook(nullptr);
    FrameCycleFixture::TearDown();
  }

  std::string Make(int width, int height, const std::vector<uint32_t>& colours,
                   bool withSound = false) {
    const std::string path = folder.Child("clip" + std::to_string(++made) + ".avi");
    EXPECT_TRUE(video_maker::WriteSolidVideo(path, width, height, colours, 25, withSound));
    return path;
  }

  FakeClockScope clock{kFakeStartMs};
  TempDir folder;
  int made = 0;
};

}  // namespace

TEST(LetterboxRect, FitsThePictureCentredInTheClientArea) {
  const struct {
    int32_t width, height;
    VideoRect expected;
  } cases[] = {
      {100, 50, {0, 80, 640, 320}}, {48, 64, {140, 0, 360, 480}},
      {1280, 960, {0, 0, 640, 480}}, {0, 48, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LetterboxRect(c.width, c.height, 640, 480), c.expected) << c.width << "x" << c.height;
  }
}

TEST_F(VideoPlayback, PlaysEveryPictureToTheEndInItsOwnColour) {
  const std::string clip = Make(64, 48, {kRed, kGreen, kBlue, kGrey});
  const double before = GetTimerAll();
  EXPECT_EQ(PlayVideoOnce(StrValue(clip.c_str())), 0);
  EXPECT_EQ(gCentre, (std::vector<gltest::Rgba>{Opaque(kRed), Opaque(kGreen), Opaque(kBlue),
                                                  Opaque(kGrey)}));
  // Four pictures at 25 a second take 160 ms of the (fake) clock.
  EXPECT_GE(GetTimerAll() - before, 160.0);
  EXPECT_LT(GetTimerAll() - before, 200.0);
}

TEST_F(VideoPlayback, AWidePictureGetsBlackBars) {
  const std::string clip = Make(100, 50, {kGreen});
  EXPECT_EQ(PlayVideoOnce(StrValue(clip.c_str())), 0);
  ASSERT_EQ(gCentre.size(), 1u);
  EXPECT_EQ(gCentre[0], Opaque(kGreen));
  EXPECT_EQ(gTopBand[0], Opaque(0));
}

TEST_F(VideoPlayback, ATypedKeyEndsALoopedVideoButKeysTypedBeforeItDoNot) {
  const std::string clip = Make(16, 12, {kRed, kBlue});
  platform::test::InjectText("ab");
  PumpMessages(Context(), nullptr);
  platform::test::InjectText("cd");  // typed, not yet taken from the window's queue
  gTypeAtPicture = 7;
  EXPECT_EQ(PlayVideoLooped(StrValue(clip.c_str())), 0);
  // The key typed at the seventh picture ends the video before the next one is due.
  ASSERT_EQ(gCentre.size(), 7u);
  EXPECT_EQ(gCentre[6], Opaque(kRed));  // the fourth time round
  EXPECT_EQ(PopTypedChar(InputObject->typedChars), 0);
}

// A looped video is a key wait for a script too.
TEST_F(VideoPlayback, AScriptedKeyEndsALoopedVideo) {
  const std::string clip = Make(16, 12, {kRed, kBlue});
  TempDir::WriteBytes(folder.Child("answers.txt"), "key q\n");
  ASSERT_TRUE(LoadInputScript(folder.Child("answers.txt")));
  gTypeAtPicture = 20;  // ends a video the script cannot end
  EXPECT_EQ(PlayVideoLooped(StrValue(clip.c_str())), 0);
  ResetInputScriptForTests();
  EXPECT_LT(gCentre.size(), 3u);
}

TEST_F(VideoPlayback, AButtonHeldAtTheStartIsWaitedOutAndAPressEndsALoopedVideo) {
  const std::string clip = Make(16, 12, {kRed});
  gTypeAtPicture = -1;
  SetVideoFrameHook([](int32_t drawn) {
    ReadPicture(drawn);
    if (drawn == 3) platform::test::InjectMouseButton(0, true);
  });
  // Let go only once the video has waited on the held button (its waits move the fake clock).
  platform::test::InjectMouseButton(0, true);
  const double start = platform::MonotonicMs();
  std::thread releaser([start] {
    while (platform::MonotonicMs() < start + 10.0) std::this_thread::yield();
    platform::test::InjectMouseButton(0, false);
  });
  EXPECT_EQ(PlayVideoLooped(StrValue(clip.c_str())), 0);
  clock.Advance(10.0);
  releaser.join();
  EXPECT_EQ(gCentre.size(), 3u);
  platform::test::InjectMouseButton(0, false);
}

TEST_F(VideoPlayback, MissingOrUndecodableFilesAnswerThree) {
  EXPECT_EQ(PlayVideoOnce(StrValue(folder.Child("absent.avi").c_str())), 3);
  const std::string junk = folder.Child("junk.avi");
  TempDir::WriteBytes(junk, "RIFF\x10\0\0\0AVI LIST" + std::string(200, '\x33'));
  EXPECT_EQ(PlayVideoOnce(StrValue(junk.c_str())), 3);
  EXPECT_EQ(PlayVideoLooped(StrValue(junk.c_str())), 3);
  EXPECT_TRUE(gCentre.empty());
}

TEST_F(VideoPlayback, TheProgramsGlStateIsLeftAsItWas) {
  const std::string clip = Make(64, 48, {kBlue});
  CachedEnable(kCapBlend);
  CachedEnable(kCapDepthTest);
  CachedColour(0.25f, 0.5f, 0.75f, 1.0f);
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, 100, 100, 0, -5, 5);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(3, 4, 0);
  glViewport(10, 20, 300, 200);
  GLfloat projection[16], modelview[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);

  EXPECT_EQ(PlayVideoOnce(StrValue(clip.c_str())), 0);
  ASSERT_EQ(gCentre.size(), 1u);
  EXPECT_EQ(gCentre[0], Opaque(kBlue));

  for (int32_t cap = 0; cap < kGlCapabilityCount; ++cap) {
    EXPECT_EQ(glIsEnabled(GlCapabilityEnum(GlCapability(cap))) == GL_TRUE,
              GlStateCache.enabled[cap] == 1)
        << "capability " << cap;
  }
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[1], 0.5f);
  GLint bound = 0, mode = 0, viewport[4];
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(GLuint(bound), texture);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(std::to_array(viewport), (std::array<GLint, 4>{10, 20, 300, 200}));
  GLfloat after[2][16];
  glGetFloatv(GL_PROJECTION_MATRIX, after[0]);
  glGetFloatv(GL_MODELVIEW_MATRIX, after[1]);
  EXPECT_EQ(std::to_array(after[0]), std::to_array(projection));
  EXPECT_EQ(std::to_array(after[1]), std::to_array(modelview));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &texture);
}

TEST_F(VideoPlayback, ASoundTrackPlaysBesideTheMusicWithoutEndingIt) {
  SoundObjects sound;
  ASSERT_TRUE(SoundHolder->open);
  const std::string song = folder.Child("song.wav");
  // A minute of music: nothing restarts looping music while a video plays, and a loaded machine
  // may take seconds over the clip.
  wave_image::Format mono8;
  mono8.channels = 1;
  mono8.bits = 8;
  mono8.rate = 8000;
  TempDir::WriteBytes(song, wave_image::ConstantWave(mono8, 60 * mono8.rate, 160));
  PlayMusic(StrValue(song.c_str()), 1);
  ASSERT_EQ(LastErrorCode, 0);
  const std::string clip = Make(32, 24, {kRed, kGreen, kBlue}, true);
  EXPECT_EQ(PlayVideoOnce(StrValue(clip.c_str())), 0);
  EXPECT_EQ(gCentre.size(), 3u);
  ASSERT_NE(MusicWindow, nullptr);
  EXPECT_TRUE(MusicWindow->Playing());
  StopMusic();
}
