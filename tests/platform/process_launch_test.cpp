// Command-line splitting and the children started without waiting.
#include "platform/process_launch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using Arguments = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheQuoteAndBackslashRules) {
  struct Row {
    const char* line;
    Arguments expected;
  };
  const Row rows[] = {
      {R"(x "a b" c)", {"x", "a b", "c"}},
      {R"(x a\"b)", {"x", "a\"b"}},
      {R"(x "a\\" b)", {"x", "a\\", "b"}},
      {R"(x a\b)", {"x", "a\\b"}},
      {R"(x a\\\\"b c")", {"x", "a\\\\b c"}},
      {R"(x \\\"q)", {"x", "\\\"q"}},
      {"  x \t y  ", {"x", "y"}},
      {R"(x "" y)", {"x", "", "y"}},
      {R"(x "open)", {"x", "open"}},
      {R"(x a\)", {"x", "a\\"}},
      {"", {}},
      {"   ", {}},
  };
  for (const Row& row : rows) EXPECT_EQ(platform::SplitCommandLine(row.line), row.expected) << row.line;
}

TEST(LaunchProcess, ReapsChildrenStartedWithoutWaiting) {
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(platform::LaunchProcess({"true"}, false).started);
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (platform::UnreapedChildCount() > 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(platform::UnreapedChildCount(), 0u);
}

TEST(LaunchProcess, ReportsTheSignalThatEndedAChild) {
  platform::LaunchOutcome outcome = platform::LaunchProcess({"sh", "-c", "kill -9 $$"}, true);
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 128u + 9u);
}
