// The platform query: key matching, answers from the environment, battery and GL names.
#include "frame/platform_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "frame/gl_extensions.h"
#include "frame/runtime_objects.h"
#include "platform/power_supply.h"
#include "tests/support/environment_scope.h"
#include "tests/support/gl_fixture.h"
#include "tests/support/owned_str.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string Ask(const std::string& key) {
  OwnedStr text(key);
  OwnedStr answer(PlatformInfo(text.s));
  return answer.text();
}

Str TextOf(const char* text) {
  Str s;
  StrFromCString(s, text);
  return s;
}

// A home, data and config folder of the test's own, the log in its own temporary folder.
struct PrivateUser {
  TempDir tmp{true};
  EnvironmentScope env;
  PrivateUser() {
    env.Set("HOME", tmp.path.c_str());
    env.Set("XDG_DATA_HOME", nullptr);
    env.Set("XDG_CONFIG_HOME", nullptr);
  }
  std::string Log() const { return TempDir::ReadBytes(tmp.Child("ErrorLog.txt")); }
};

struct FakeSupplies {
  TempDir folder;
  FakeSupplies() { platform::SetPowerSupplyFolder(folder.path.string()); }
  ~FakeSupplies() { platform::SetPowerSupplyFolder(""); }
  void Add(const std::string& name, const std::string& type, const char* capacity,
           const char* scope = nullptr) {
    fs::create_directory(folder.Child(name));
    TempDir::WriteBytes(folder.Child(name + "/type"), type + "\n");
    if (capacity) TempDir::WriteBytes(folder.Child(name + "/capacity"), capacity);
    if (scope) TempDir::WriteBytes(folder.Child(name + "/scope"), scope);
  }
};

}  // namespace

TEST(PlatformInfo, KeysMatchInAnyCaseAndWhole) {
  PrivateUser user;
  OwnedStr key("Device");
  OwnedStr answer(PlatformInfo(key.s));
  EXPECT_EQ(answer.text(), "DESKTOP");
  EXPECT_EQ(key.text(), "DEVICE");

  EXPECT_EQ(Ask(""), "LINUX");
  EXPECT_EQ(Ask("temp"), user.tmp.path.string() + "/");
  for (const char* nearMiss : {"TIM", "DEVICES", "ID ", "GLEXT"}) {
    EXPECT_EQ(Ask(nearMiss), "NO_DATA") << nearMiss;
  }
}

TEST(PlatformInfo, IdLivesInTheApplicationDataFolder) {
  PrivateUser user;
  std::string id = Ask("id");
  EXPECT_EQ(id.size(), 32u);
  EXPECT_EQ(TempDir::ReadBytes(user.tmp.Child(".local/share/Quarnel/quarnel.deviceid")), id);
  EXPECT_EQ(Ask("ID"), id) << "made once, then read back";
  EXPECT_EQ(Ask("APPDATA"), user.tmp.Child(".local/share/Quarnel"));
  EXPECT_EQ(Ask("DOCUMENTS"), user.tmp.Child("Documents"));
}

TEST(PlatformInfo, LocaleFollowsThePosixLocale) {
  EnvironmentScope env;
  env.Set("LC_ALL", "el_GR.UTF-8");
  EXPECT_EQ(Ask("LOCALE"), "gr");
  env.Set("LC_ALL", "C");
  EXPECT_EQ(Ask("locale"), "us");
}

TEST(PlatformInfo, BatteryFromThePowerSupplyFolder) {
  FakeSupplies supplies;
  EXPECT_EQ(Ask("BATTERY"), "100");
  supplies.Add("AC", "Mains", nullptr);
  supplies.Add("hidpp_battery_0", "Battery", "12", "Device");
  EXPECT_EQ(Ask("BATTERY"), "100");
  supplies.Add("BAT1", "Battery", "57\n");
  EXPECT_EQ(Ask("BATTERY"), "57");
  supplies.Add("BAT0", "Battery", "140\n");  // first in name order, clamped
  EXPECT_EQ(Ask("BATTERY"), "100");
}

TEST(PlatformInfo, ProjectTextsComeFromTheProgram) {
  EXPECT_EQ(Ask("VERSION"), "NO_DATA");
  InstallProjectTexts({[] { return TextOf("Mar  5 2031-07:04:09"); },
                       [] { return TextOf("1A2B3C4D"); }, [] { return TextOf("000.001"); }});
  EXPECT_EQ(Ask("COMPILED"), "Mar  5 2031-07:04:09");
  EXPECT_EQ(Ask("hostid"), "1A2B3C4D");
  EXPECT_EQ(Ask("Version"), "000.001");
  InstallProjectTexts({});
}

TEST(PlatformInfo, GlNamesWithoutAContext) {
  PrivateUser user;
  const auto saved = GlExtensionTable;
  GlExtensionTable = {};
  EXPECT_EQ(Ask("GLEXT:glActiveTextureARB"), "0");
  GlExtensionTable.glActiveTextureARB = saved.glActiveTextureARB
                                            ? saved.glActiveTextureARB
                                            : [](GLenum) {};
  EXPECT_EQ(Ask("glext:glActiveTextureARB"), "1");
  EXPECT_EQ(Ask("GLEXT:glGetString"), "0");  // only with a context
  GlExtensionTable = saved;
  EXPECT_EQ(user.Log(),
            "ext: glActiveTextureARB                    [FAILED]"
            "ext: glGetString                           [FAILED]");
}

using PlatformInfoOnMesa = GlFixture;

TEST_F(PlatformInfoOnMesa, GlNamesWithAContext) {
  PrivateUser user;
  GraphicsContext = &Context();
  EXPECT_EQ(Ask("GLEXT:glGetString"), "1");
  EXPECT_EQ(Ask("GLEXT:wglNoSuch"), "0");
  EXPECT_EQ(Ask("GLEXT:"), "0");
  GraphicsContext = nullptr;
  EXPECT_EQ(user.Log(),
            "ext: wglNoSuch                             [FAILED]"
            "ext:                                       [FAILED]");
}
