// The debug log's exact bytes, and what it does when something else holds its name.
#include "system/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/error_log_hook.h"
#include "core/last_error.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

TEST(ErrorLogWrite, AppendsTextsExactlyAsGiven) {
  TempDir tmp(true);
  std::string log = tmp.Child("ErrorLog.txt");
  EXPECT_EQ(ErrorLogPath(), log);

  ErrorLogWrite("");
  EXPECT_TRUE(fs::is_regular_file(log));
  EXPECT_EQ(fs::file_size(log), 0u);

  ErrorLogWrite("a\n");
  ErrorLogWrite("b\n");
  ErrorLogWrite(nullptr);
  ErrorLogWrite("ext: GL_X                                  [FAILED]");
  EXPECT_EQ(TempDir::ReadBytes(log), "a\nb\nNULLext: GL_X                                  [FAILED]");
}

TEST(ErrorLogWrite, CoreLinesReachTheLogThroughTheHook) {
  TempDir tmp(true);
  WriteErrorLogHook("qrn_notify_screen_size 640x480\n");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("ErrorLog.txt")), "qrn_notify_screen_size 640x480\n");
}

TEST(ErrorLogWrite, NeverFollowsALinkInItsPlace) {
  TempDir tmp(true);
  TempDir::WriteBytes(tmp.Child("victim"), "private");
  fs::create_symlink(tmp.Child("victim"), tmp.Child("ErrorLog.txt"));

  ErrorLogWrite("planted\n");
  EXPECT_EQ(TempDir::ReadBytes(tmp.Child("victim")), "private");
  EXPECT_TRUE(fs::is_symlink(tmp.Child("ErrorLog.txt")));
}

TEST(ErrorLogWrite, DropsTheTextWhenAFolderHasItsName) {
  TempDir tmp(true);
  fs::create_directories(tmp.Child("ErrorLog.txt/inside"));
  LastErrorCode = 5;

  ErrorLogWrite("lost\n");
  EXPECT_TRUE(fs::is_directory(tmp.Child("ErrorLog.txt/inside")));
  EXPECT_EQ(LastErrorCode, 5);
  LastErrorCode = 0;
}

TEST(ErrorLogWrite, NeverOpensAMemoryName) {
  TempDir tmp(true);
  fs::path previous = fs::current_path();
  fs::current_path(tmp.path);
  fs::create_directories("mem:/x");
  setenv("TMPDIR", "mem://x", 1);

  ErrorLogWrite("a\n");
  ErrorLogStartNew();
  bool written = fs::exists("mem:/x/ErrorLog.txt");
  fs::current_path(previous);
  EXPECT_FALSE(written);
}

TEST(ErrorLogStartNew, ReplacesWhateverHadTheName) {
  struct Case {
    const char* what;
    void (*prepare)(const TempDir&);
  };
  const Case cases[] = {
      {"nothing", [](const TempDir&) {}},
      {"an old log", [](const TempDir& t) { TempDir::WriteBytes(t.Child("ErrorLog.txt"), "old\n"); }},
      {"an empty folder", [](const TempDir& t) { fs::create_directory(t.Child("ErrorLog.txt")); }},
      {"a link", [](const TempDir& t) {
         TempDir::WriteBytes(t.Child("victim"), "private");
         fs::create_symlink(t.Child("victim"), t.Child("ErrorLog.txt"));
       }},
  };
  for (const Case& c : cases) {
    TempDir tmp(true);
    c.prepare(tmp);
    ErrorLogStartNew();
    ErrorLogWrite("timer\n");
    std::string log = tmp.Child("ErrorLog.txt");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(log))) << c.what;
    EXPECT_EQ(TempDir::ReadBytes(log), "Start new log...\ntimer\n") << c.what;
    if (fs::exists(tmp.Child("victim"))) {
      EXPECT_EQ(TempDir::ReadBytes(tmp.Child("victim")), "private");
    }
  }
}
