// The event intake: key numbers, the key table, typed text, translated control characters and
// the window messages, driven by injected events.
#include "platform/input.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace {

class EventIntake : public ::testing::Test {
 protected:
  void SetUp() override { platform::test::ResetInput(); }
  void TearDown() override { platform::test::ResetInput(); }

  static std::vector<platform::Message> TakeAll(bool translate = false) {
    std::vector<platform::Message> taken;
    platform::Message message;
    while (platform::PeekMessage(message, true)) {
      if (translate) platform::TranslateMessage(message);
      taken.push_back(message);
    }
    return taken;
  }

  static uint8_t KeyState(int key) {
    uint8_t keys[256];
    platform::ReadKeyboard(keys);
    return keys[key];
  }
};

TEST(KeyNumbers, FollowThePhysicalKeys) {
  const std::pair<SDL_Scancode, int> cases[] = {
      {SDL_SCANCODE_ESCAPE, 1},     {SDL_SCANCODE_MINUS, 12},  {SDL_SCANCODE_EQUALS, 13},
      {SDL_SCANCODE_Y, 21},         {SDL_SCANCODE_Z, 44},      {SDL_SCANCODE_LALT, 56},
      {SDL_SCANCODE_F4, 62},        {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_UP, 200},
      {SDL_SCANCODE_NONUSHASH, 43}, {SDL_SCANCODE_APPLICATION, 221}, {SDL_SCANCODE_F13, 0},
  };
  for (const auto& [scancode, key] : cases) {
    EXPECT_EQ(platform::KeyNumberFromScancode(scancode), key) << SDL_GetScancodeName(scancode);
  }
  for (int key = 1; key < 256; ++key) {
    const int scancode = platform::ScancodeFromKeyNumber(key);
    if (scancode != SDL_SCANCODE_UNKNOWN) {
      EXPECT_EQ(platform::KeyNumberFromScancode(scancode), key) << key;
    }
  }
}

TEST_F(EventIntake, KeysSetTheTableAndFocusLossClearsIt) {
  platform::test::InjectKey(12, true);
  platform::test::InjectKey(13, true);
  platform::test::InjectKey(13, false);
  EXPECT_EQ(KeyState(12), 0x80);
  EXPECT_EQ(KeyState(13), 0);
  EXPECT_TRUE(platform::WindowActive());

  platform::test::InjectFocus(false);
  EXPECT_EQ(KeyState(12), 0);
  EXPECT_FALSE(platform::WindowActive());
  platform::test::InjectFocus(true);
  EXPECT_TRUE(platform::WindowActive());
  EXPECT_EQ(KeyState(12), 0) << "a key must be pressed again after the focus returns";

  const std::vector<platform::Message> messages = TakeAll();
  ASSERT_EQ(messages.size(), 5u);
  EXPECT_EQ(messages[0].id, platform::kMessageKeyDown);
  EXPECT_EQ(messages[0].wParam, 12u);
  EXPECT_EQ(messages[2].id, platform::kMessageKeyUp);
  EXPECT_EQ(messages[3].id, platform::kMessageActivate);
  EXPECT_EQ(messages[3].wParam, 0u);
  EXPECT_EQ(messages[4].wParam, 1u);
}

TEST_F(EventIntake, TextBecomesWindows1252Characters) {
  platform::test::InjectText("a\xE9\x80\xFF");
  // Characters the code page lacks, and broken UTF-8, are dropped; what follows is kept.
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strcpy(event.text.text, "\xE2\x88\x9E" "b\xC3" "c");
  SDL_PushEvent(&event);

  std::vector<uintptr_t> chars;
  for (const platform::Message& message : TakeAll()) {
    ASSERT_EQ(message.id, platform::kMessageChar);
    chars.push_back(message.wParam);
  }
  EXPECT_EQ(chars, (std::vector<uintptr_t>{'a', 0xE9, 0x80, 0xFF, 'b', 'c'}));
}

TEST_F(EventIntake, ControlKeysTypeTheirCharacterRightAfterTheKey) {
  struct Case {
    std::vector<int> held;
    int key;
    intptr_t typed;
  };
  const Case cases[] = {
      {{}, 28, 13}, {{}, 156, 13}, {{}, 14, 8},   {{}, 15, 9},  {{}, 1, 27},
      {{29}, 30, 1}, {{157}, 44, 26}, {{}, 30, 0}, {{42}, 30, 0},
  };
  for (const Case& c : cases) {
    platform::test::ResetInput();
    for (int key : c.held) platform::test::InjectKey(key, true);
    platform::test::InjectKey(c.key, true);
    platform::test::InjectText("x");
    std::vector<platform::Message> messages = TakeAll(true);
    std::erase_if(messages, [&](const platform::Message& m) {
      return m.id == platform::kMessageKeyDown && m.wParam != static_cast<uintptr_t>(c.key);
    });
    ASSERT_GE(messages.size(), 2u) << c.key;
    EXPECT_EQ(messages[0].lParam, c.typed) << c.key;
    if (c.typed == 0) {
      EXPECT_EQ(messages.size(), 2u) << c.key;
      continue;
    }
    ASSERT_EQ(messages.size(), 3u) << c.key;
    EXPECT_EQ(messages[1].id, platform::kMessageChar);
    EXPECT_EQ(messages[1].wParam, static_cast<uintptr_t>(c.typed));
    EXPECT_EQ(messages[2].wParam, static_cast<uintptr_t>('x'));
  }
}

TEST_F(EventIntake, PeekingKeepsTheMessageAndOneCloseStandsForWindowCloseAndQuit) {
  platform::test::InjectClose();
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  platform::Message message;
  ASSERT_TRUE(platform::PeekMessage(message, false));
  EXPECT_EQ(message.id, platform::kMessageClose);
  const std::vector<platform::Message> messages = TakeAll();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].id, platform::kMessageClose);
}

}  // namespace
