// The date-time text, the user folders and the device identifier file.
#include "system/platform_facts.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>

#include "tests/support/environment_scope.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(DateTimeText, PadsEveryFieldButTheYear) {
  std::tm fields{};
  fields.tm_year = 2031 - 1900;
  fields.tm_mon = 2;
  fields.tm_mday = 5;
  fields.tm_hour = 7;
  fields.tm_min = 4;
  fields.tm_sec = 9;
  EXPECT_EQ(DateTimeText(fields), "2031-03-05 07:04:09");
  EXPECT_EQ(DateTimeTextAt(1930460649, true), "2031-03-05 07:04:09");
  fields.tm_year = 999 - 1900;
  EXPECT_EQ(DateTimeText(fields), "999-03-05 07:04:09");
}

TEST(UserFolders, FollowTheXdgVariablesAndHome) {
  TempDir tmp;
  EnvironmentScope env;
  env.Set("HOME", tmp.path.c_str());
  env.Set("XDG_DATA_HOME", nullptr);
  env.Set("XDG_CONFIG_HOME", nullptr);

  // A fresh account without ~/.local/share: the whole path is made.
  EXPECT_EQ(AppDataFolder(), tmp.Child(".local/share/Quarnel"));
  EXPECT_TRUE(fs::is_directory(tmp.Child(".local/share/Quarnel")));
  EXPECT_EQ(fs::status(tmp.Child(".local/share")).permissions(), fs::perms::owner_all);
  env.Set("XDG_DATA_HOME", tmp.Child("data").c_str());
  EXPECT_EQ(AppDataFolder(), tmp.Child("data/Quarnel"));

  EXPECT_EQ(DocumentsFolder(), tmp.Child("Documents"));
  fs::create_directory(tmp.Child("config"));
  TempDir::WriteBytes(tmp.Child("config/user-dirs.dirs"),
                      "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                      "XDG_DOCUMENTS_DIR=\"$HOME/Papiere\"\n");
  env.Set("XDG_CONFIG_HOME", tmp.Child("config").c_str());
  EXPECT_EQ(DocumentsFolder(), tmp.Child("Papiere"));
  EXPECT_FALSE(fs::exists(tmp.Child("Papiere")));

  env.Set("HOME", nullptr);
  env.Set("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(DocumentsFolder(), "");
  EXPECT_EQ(AppDataFolder(), "");
}

TEST(DeviceIdText, WritesOnceThenAnswersTheStoredText) {
  TempDir tmp;
  const std::string file = tmp.Child("quarnel.deviceid");
  std::string first = DeviceIdText(tmp.path.string());
  ASSERT_EQ(first.size(), 32u);
  for (char c : first) EXPECT_TRUE(std::isdigit(c) || (c >= 'A' && c <= 'F')) << first;
  EXPECT_EQ(TempDir::ReadBytes(file), first);
  EXPECT_EQ(DeviceIdText(tmp.path.string()), first);

  TempDir::WriteBytes(file, "  ABC\r\n");
  EXPECT_EQ(DeviceIdText(tmp.path.string()), "ABC");

  // A blank file, and one far too large to be an identifier (sparse: nothing is on disk), are
  // replaced by a new identifier.
  for (const uint64_t size : {uint64_t(0), uint64_t(1) << 40}) {
    TempDir::WriteBytes(file, " \t\r\n");
    if (size) fs::resize_file(file, size);
    std::string renewed = DeviceIdText(tmp.path.string());
    EXPECT_EQ(renewed.size(), 32u);
    EXPECT_EQ(TempDir::ReadBytes(file), renewed);
  }
}

TEST(DeviceIdText, AnUnwritablePlaceAnswersTheFallback) {
  TempDir tmp;
  fs::create_directories(tmp.Child("quarnel.deviceid/inside"));
  EXPECT_EQ(DeviceIdText(tmp.path.string()), "FA17ED");
  EXPECT_TRUE(fs::is_directory(tmp.Child("quarnel.deviceid/inside")));

  // An empty folder of that name is removed and the file written in its place.
  fs::remove(tmp.Child("quarnel.deviceid/inside"));
  EXPECT_EQ(DeviceIdText(tmp.path.string()).size(), 32u);
  EXPECT_TRUE(fs::is_regular_file(tmp.Child("quarnel.deviceid")));
}
