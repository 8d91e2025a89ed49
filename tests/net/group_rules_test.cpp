// Filing, serving and relaying, frame by frame, without sockets.
#include "net/group_rules.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t kRowA = 5;
constexpr int32_t kRowB = 6;

NetMessage Frame(uint8_t type, uint16_t receiver, uint16_t sender, std::string payload = "") {
  return NetMessage{NetHeader{type, uint16_t(payload.size()), receiver, sender}, payload};
}

NetMessage JoinFrame(const std::string& name, uint8_t hidden = 0) {
  NetJoinPayload join;
  join.name = name;
  join.hidden = hidden;
  return Frame(kNetJoin, kNetServerId, kNetServerId, EncodeJoinPayload(join));
}

struct Sent {
  int32_t row;
  NetMessage message;
};

std::vector<Sent> Decode(const std::vector<OutgoingFrame>& out) {
  std::vector<Sent> sent;
  for (const OutgoingFrame& frame : out) {
    const NetHeader header = DecodeNetHeader(frame.bytes.data());
    sent.push_back(
        {frame.row, NetMessage{header, std::string(frame.bytes.begin() + 7, frame.bytes.end())}});
  }
  return sent;
}

class GroupRules : public testing::Test {
 protected:
  GroupRules() { state.host = true; }

  // Joins a player from the row and returns the id handed out.
  uint16_t JoinFrom(int32_t row, const std::string& name, uint8_t hidden = 0) {
    std::vector<OutgoingFrame> out;
    ServeClientFrame(state, row, JoinFrame(name, hidden), out);
    if (out.size() != 1) return 0;
    return DecodeNetHeader(out[0].bytes.data()).receiver;
  }

  // Serves one request and returns what went back.
  std::vector<Sent> Serve(int32_t row, const NetMessage& message) {
    std::vector<OutgoingFrame> out;
    ServeClientFrame(state, row, message, out);
    return Decode(out);
  }

  uint16_t AnswerU16(const std::vector<Sent>& sent) {
    uint16_t value = 0xDEAD;
    if (sent.size() == 1) DecodeU16Payload(sent[0].message.payload, value);
    return value;
  }

  NetGroupState state;
};

}  // namespace

TEST_F(GroupRules, JoinsThatAreNotAnswered) {
  state.accepting = false;
  EXPECT_EQ(JoinFrom(kRowA, "a"), 0);
  state.accepting = true;
  EXPECT_TRUE(Serve(kRowA, Frame(kNetJoin, 0, 0, std::string(20, 'x'))).empty());
  for (size_t i = 0; i < kNetPlayersPerClient; ++i) ASSERT_NE(JoinFrom(kRowA, "many"), 0);
  EXPECT_EQ(JoinFrom(kRowA, "one too many"), 0);
  EXPECT_NE(JoinFrom(kRowB, "other client"), 0);
}

TEST_F(GroupRules, IdsWrapPastTheLastAndSkipThoseStillHeld) {
  EXPECT_EQ(JoinFrom(kRowA, "first"), kNetFirstPlayerId);
  EXPECT_EQ(JoinFrom(kRowA, "second"), kNetFirstPlayerId + 1);
  state.nextId = kNetLastPlayerId;
  EXPECT_EQ(JoinFrom(kRowB, "last"), kNetLastPlayerId);
  EXPECT_EQ(JoinFrom(kRowB, "wrapped"), kNetFirstPlayerId + 2);  // 101 and 102 are held
  Serve(kRowA, Frame(kNetDeletePlayer, 0, kNetFirstPlayerId));
  state.nextId = kNetLastPlayerId + 1;
  EXPECT_EQ(JoinFrom(kRowB, "reused"), kNetFirstPlayerId);
}

TEST_F(GroupRules, QueriesSkipHiddenPlayersAndAnswerTheAsker) {
  const uint16_t query = JoinFrom(kRowA, "query", 1);  // 101
  JoinFrom(kRowB, "b");                                // 102
  JoinFrom(kRowB, "");                                 // 103, nameless
  const struct {
    NetMessage request;
    uint16_t expected;
  } u16Cases[] = {
      {Frame(kNetCountPlayers, 0, query), 2},
      {Frame(kNetIdByIndex, 0, query, EncodeU16Payload(0)), 102},
      {Frame(kNetIdByIndex, 0, query, EncodeU16Payload(1)), 103},
      {Frame(kNetIdByIndex, 0, query, EncodeU16Payload(2)), 0},
      {Frame(kNetHello, 0, query), 1},
  };
  for (const auto& c : u16Cases) {
    const std::vector<Sent> sent = Serve(kRowA, c.request);
    ASSERT_EQ(sent.size(), 1u) << int(c.request.header.type);
    EXPECT_EQ(sent[0].row, kRowA);
    EXPECT_EQ(sent[0].message.header.receiver, query);
    EXPECT_EQ(sent[0].message.header.type, c.request.header.type);
    EXPECT_EQ(AnswerU16(sent), c.expected) << int(c.request.header.type);
  }
  const struct {
    uint16_t id;
    const char* name;
  } nameCases[] = {{102, "b"}, {103, "NO_DATA"}, {999, "NO_DATA"}};
  for (const auto& c : nameCases) {
    const std::vector<Sent> sent =
        Serve(kRowA, Frame(kNetNameById, 0, query, EncodeU16Payload(c.id)));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].message.payload, c.name);
  }
  // Malformed requests, askers the host does not know or that another row joined, and unknown
  // receivers get nothing.
  EXPECT_TRUE(Serve(kRowA, Frame(kNetIdByIndex, 0, query)).empty());
  EXPECT_TRUE(Serve(kRowA, Frame(kNetNameById, 0, query, "x")).empty());
  EXPECT_TRUE(Serve(kRowA, Frame(kNetCountPlayers, 0, 4000)).empty());
  EXPECT_TRUE(Serve(kRowB, Frame(kNetCountPlayers, 0, query)).empty());  // another row's asker
  EXPECT_TRUE(Serve(kRowA, Frame(150, 0, query)).empty());
  EXPECT_TRUE(Serve(kRowA, Frame(kNetText, 555, query, "nobody")).empty());
}

TEST_F(GroupRules, LeavingPlayersAreQueuedAndReadNewestFirst) {
  JoinFrom(kRowA, "a");     // 101
  JoinFrom(kRowB, "q", 1);  // 102
  JoinFrom(kRowB, "b");     // 103
  Serve(kRowA, Frame(kNetDeletePlayer, 0, 101));
  Serve(kRowA, Frame(kNetDeletePlayer, 0, 101));     // already gone: not queued twice
  Serve(kRowA, Frame(kNetDeletePlayer, 0, 0xFFFF));  // not a player id
  DropClientPlayers(state, kRowB);
  EXPECT_TRUE(state.remotePlayers.empty());
  EXPECT_EQ(std::vector<uint16_t>(state.leftPlayers.begin(), state.leftPlayers.end()),
            (std::vector<uint16_t>{101, 102, 103}));
}

TEST_F(GroupRules, ConnectionFramesFileTextsIdsAndAnswers) {
  state.host = false;
  NetPlayer first, second;
  first.id = second.id = kNetJoinSent;
  state.localPlayers = {first, second};
  // Join answers go to the waiting players in list order; a marker id is not taken.
  FileConnectionFrame(state, Frame(kNetJoinAccepted, 0xFFFF, 0));
  FileConnectionFrame(state, Frame(kNetJoinAccepted, 101, 0));
  FileConnectionFrame(state, Frame(kNetJoinAccepted, 102, 0));
  EXPECT_EQ(state.localPlayers.front().id, 101);
  EXPECT_EQ(state.localPlayers.back().id, 102);

  FileConnectionFrame(state, Frame(kNetText, 102, 7, "for 102"));
  FileConnectionFrame(state, Frame(kNetText, 300, 7, "for nobody"));
  ASSERT_EQ(state.localPlayers.back().inbox.size(), 1u);
  EXPECT_EQ(state.localPlayers.back().inbox.Take()->text, "for 102");
  EXPECT_TRUE(state.localPlayers.front().inbox.empty());

  FileConnectionFrame(state, Frame(kNetCountPlayers, 101, 0));                       // too short
  FileConnectionFrame(state, Frame(kNetCountPlayers, 101, 9, EncodeU16Payload(3)));  // not host
  FileConnectionFrame(state, Frame(150, 101, 0, "x"));
  FileConnectionFrame(state, Frame(kNetNameById, 101, 0, "name"));
  ASSERT_EQ(state.answers.size(), 1u);
  EXPECT_EQ(state.answers.front().payload, "name");
  for (int i = 0; i < 40; ++i) FileConnectionFrame(state, Frame(kNetHello, 101, 0));
  EXPECT_EQ(state.answers.size(), kNetAnswerLimit);
}

TEST_F(GroupRules, ClientFramesSpeakingForTheServerChangeNothing) {
  JoinFrom(kRowA, "a");  // 101
  NetPlayer waiting;
  waiting.id = kNetJoinSent;
  state.localPlayers = {waiting};
  const NetMessage forged[] = {
      Frame(kNetJoinAccepted, 101, 0),
      Frame(kNetJoinAccepted, 0, 0),
      Frame(kNetCountPlayers, 101, 0, EncodeU16Payload(99)),
      Frame(kNetHello, 0, 0, EncodeU16Payload(1)),
  };
  for (const NetMessage& message : forged) EXPECT_TRUE(Serve(kRowA, message).empty());
  EXPECT_EQ(state.localPlayers.front().id, kNetJoinSent);
  EXPECT_TRUE(state.answers.empty());
  EXPECT_EQ(state.remotePlayers.size(), 1u);
}
