// Degree maths with guarded edges and the character helpers.
#include "core/maths.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(DegreeMaths, ConvertsByMultiplying) {
  EXPECT_DOUBLE_EQ(CosDeg(180), -1);
  EXPECT_DOUBLE_EQ(SinDeg(90), 1);
  EXPECT_NEAR(TanDeg(45), 1, 1e-15);
  EXPECT_DOUBLE_EQ(ATan2Deg(1, 1), 45);
}

TEST(DegreeMaths, ArcFunctionsClampOutsideTheirDomain) {
  EXPECT_EQ(ACosDeg(1.5), 0);
  EXPECT_EQ(ACosDeg(-2), 180);
  EXPECT_EQ(ASinDeg(2), 90);
  EXPECT_EQ(ASinDeg(-1), -90);
  EXPECT_DOUBLE_EQ(ASinDeg(0.5), 30.000000000000004);
}

TEST(Remainders, ZeroDivisorsGiveZero) {
  EXPECT_EQ(ModInt(7, 0), 0);
  EXPECT_EQ(ModInt(-7, 3), -1);
  EXPECT_EQ(ModInt(INT_MIN, -1), 0);
  EXPECT_EQ(ModNumber(7.5, 0), 0);
  EXPECT_EQ(ModNumber(7.5, 2), 1.5);
}

TEST(CharacterHelpers, ReadAndMakeSingleBytes) {
  Str zero = ChrString(0);
  EXPECT_EQ(zero.length, 1u);
  EXPECT_EQ(zero.data[0], 0);
  Str a = ChrString(0x141);
  EXPECT_STREQ(a.data, "A");
  EXPECT_EQ(StrFirstByte(a), 'A');
  Str high = ChrString(200);
  EXPECT_EQ(StrByteAt(high, 0), 200);
  EXPECT_EQ(StrByteAt(high, 1), 0);
  EXPECT_EQ(StrByteAt(high, -1), 0);
  Str empty;
  StrInitEmpty(empty);
  EXPECT_EQ(StrFirstByte(empty), 0);
  StrRelease(zero);
  StrRelease(a);
  StrRelease(high);
}

}  // namespace
