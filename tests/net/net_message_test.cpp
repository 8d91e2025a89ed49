// The group frames on the wire: header and join payload byte for byte.
#include "net/net_message.h"

#include <gtest/gtest.h>

TEST(NetMessageCodec, JoinFrameOfPlayerAMatchesTheWireBytes) {
  std::vector<uint8_t> expected = {0x01, 0x88, 0x00, 0x00, 0x00, 0x00, 0x00,  // header
                                   0xFF, 0xFF, 0xFF, 0xFF,                    // row -1
                                   0xFE, 0xFF,                                // id 0xFFFE
                                   0x00, 0x00,                                // hidden, spare
                                   'a'};
  expected.resize(kNetHeaderSize + kNetJoinPayloadSize, 0);

  NetJoinPayload join;
  join.name = "a";
  EXPECT_EQ(EncodeNetFrame(kNetJoin, kNetServerId, kNetServerId, EncodeJoinPayload(join)),
            expected);
}

TEST(NetMessageCodec, HeaderFieldsAreLittleEndian) {
  const NetHeader header{kNetText, 0x0403, 0xFFFF, 0x1234};
  uint8_t bytes[kNetHeaderSize];
  EncodeNetHeader(header, bytes);
  const uint8_t expected[kNetHeaderSize] = {3, 0x03, 0x04, 0xFF, 0xFF, 0x34, 0x12};
  EXPECT_EQ(0, memcmp(bytes, expected, kNetHeaderSize));
  const NetHeader back = DecodeNetHeader(bytes);
  EXPECT_EQ(back.type, header.type);
  EXPECT_EQ(back.length, header.length);
  EXPECT_EQ(back.receiver, header.receiver);
  EXPECT_EQ(back.sender, header.sender);
}

TEST(NetMessageCodec, JoinPayloadChecks) {
  NetJoinPayload join;
  EXPECT_FALSE(DecodeJoinPayload(std::string(20, 'x'), join));
  EXPECT_FALSE(DecodeJoinPayload(std::string(kNetJoinPayloadSize + 1, 'x'), join));

  // A name without its NUL ends at byte 127; a long name is sent cut to 127 bytes.
  std::string payload(kNetJoinPayloadSize, 'n');
  ASSERT_TRUE(DecodeJoinPayload(payload, join));
  EXPECT_EQ(join.name, std::string(127, 'n'));
  join.name = std::string(300, 'm');
  const std::string encoded = EncodeJoinPayload(join);
  EXPECT_EQ(encoded.size(), kNetJoinPayloadSize);
  EXPECT_EQ(encoded[8 + 127], '\0');

  uint16_t value = 7;
  EXPECT_FALSE(DecodeU16Payload("x", value));
  EXPECT_EQ(value, 7);
  ASSERT_TRUE(DecodeU16Payload(EncodeU16Payload(0xBEEF), value));
  EXPECT_EQ(value, 0xBEEF);
}

TEST(NetMessageCodec, FramePayloadNeverExceedsTheLimit) {
  const std::vector<uint8_t> frame =
      EncodeNetFrame(kNetText, 1, 2, std::string(kNetMaxPayload + 50, 'x'));
  EXPECT_EQ(frame.size(), kNetHeaderSize + kNetMaxPayload);
  EXPECT_EQ(DecodeNetHeader(frame.data()).length, kNetMaxPayload);
}
