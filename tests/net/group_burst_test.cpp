// Groups under bursts of full-size texts: senders never wait on their own host, nobody is dropped
// while it keeps reading, and every text arrives once and in order.
#include <gtest/gtest.h>

#include <thread>

#include "tests/net/group_fixture.h"

namespace {

constexpr size_t kTextSize = 1000;

std::string NumberedText(int number) {
  std::string text = std::to_string(number);
  text.resize(kTextSize, '.');
  return text;
}

// Takes one local player's texts on its own thread and checks that they come numbered 0, 1, ...
class OrderedReader {
 public:
  OrderedReader(NetSession& session, uint16_t player, int expected)
      : thread_([this, &session, player, expected] {
          const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
          while (received_ < expected && std::chrono::steady_clock::now() < deadline) {
            const std::string text = session.GetMessage(player);
            if (text.empty()) {
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
            } else if (text == NumberedText(received_)) {
              ++received_;
            } else {
              break;
            }
          }
        }) {}
  // The number of texts that came in order.
  int Join() {
    thread_.join();
    return received_;
  }

 private:
  int received_ = 0;
  std::thread thread_;
};

}  // namespace

TEST_F(GroupTest, AHostPlayerBurstsToItselfAndAClientWithoutStalling) {
  constexpr int kTexts = 20000;
  NetSession& host = NewSession();
  const std::vector<uint16_t> ids = HostWithPlayers(host, {"self"});
  ASSERT_EQ(ids.size(), 1u);
  NetSession& client = NewSession();
  ASSERT_TRUE(client.Join("127.0.0.1", port_));
  const uint16_t remote = client.CreatePlayer("remote");
  ASSERT_NE(remote, 0);

  OrderedReader atClient(client, remote, kTexts);
  int atHost = 0;
  int failedSends = 0;
  const auto takeOwn = [&] {
    for (std::string text; !(text = host.GetMessage(ids[0])).empty();) {
      if (text == NumberedText(atHost)) ++atHost;
    }
  };
  for (int i = 0; i < kTexts; ++i) {
    failedSends += !host.SendMessage(ids[0], ids[0], NumberedText(i));
    failedSends += !host.SendMessage(ids[0], remote, NumberedText(i));
    takeOwn();
  }
  Eventually([&] {
    takeOwn();
    return atHost == kTexts;
  }, 20000);
  EXPECT_EQ(failedSends, 0);
  EXPECT_EQ(atHost, kTexts);
  EXPECT_EQ(atClient.Join(), kTexts);
  EXPECT_TRUE(host.IsActive());
  EXPECT_TRUE(client.IsActive());
}
