#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

#include "codecs/random.h"
#include "support/bytestring_support.h"
#include "platform/system.h"
#include "quendle.h"

using testing_support::Take;

namespace {
uint32_t FixedClock() { return 417; }

struct PinnedClock {
  PinnedClock() { platform::SetClockForTesting(FixedClock); }
  ~PinnedClock() { platform::SetClockForTesting(nullptr); }
};
}  // namespace

TEST(Lcg, MatchesTheClassicRuntimeSequence) {
  Randomise(1);
  const int32_t expected[] = {41, 18467, 6334, 26500, 19169};
  for (int32_t value : expected) EXPECT_EQ(Random(0, 32767), value);
}

TEST(Lcg, ZeroSeedTakesTheClockMilliseconds) {
  PinnedClock clock;
  Randomise(0);
  EXPECT_EQ(codecs::LcgState(), 417u);
  Randomise(-2);
  EXPECT_EQ(codecs::LcgState(), 0xFFFFFFFEu) << "16-bit seeds are sign-extended";
}

TEST(Lcg, JumpAheadEqualsStepping) {
  // Distances around the powers of two the jump is assembled from.
  const uint32_t distances[] = {0, 1, 2, 3, 7, 8, 9, 255, 256, 257, 65535, 65536, 65537, 100003};
  for (uint32_t seed : {1u, 0x9E3779B9u, 0xFFFFFFFFu}) {
    for (uint32_t distance : distances) {
      uint32_t stepped = seed;
      for (uint32_t i = 0; i < distance; ++i) codecs::LcgStep(stepped);
      EXPECT_EQ(codecs::LcgAdvance(seed, codecs::LcgJumpAhead(distance)), stepped)
          << "seed " << seed << " distance " << distance;
    }
    // The period is 2^32: one step more than the longest jump comes back round.
    uint32_t wrapped = codecs::LcgAdvance(seed, codecs::LcgJumpAhead(0xFFFFFFFFu));
    codecs::LcgStep(wrapped);
    EXPECT_EQ(wrapped, seed);
  }
}

TEST(Random, RangeRules) {
  Randomise(5);
  int32_t first = Random(1, 6);
  Randomise(5);
  EXPECT_EQ(Random(6, 1), first) << "reversed bounds are exchanged";
  Randomise(5);
  EXPECT_EQ(Random(3, 3), 3);
  EXPECT_EQ(Random(1, 6), first) << "equal bounds consume no draw";
  for (int i = 0; i < 2000; ++i) {
    int32_t v = Random(-3, 4);
    ASSERT_GE(v, -3);
    ASSERT_LE(v, 4);
  }
}

TEST(Random, WideSpansOnlyReachTheirLowest32768Values) {
  Randomise(9);
  for (int i = 0; i < 1000; ++i) {
    int32_t v = Random(1000, 1000000);
    ASSERT_GE(v, 1000);
    ASSERT_LT(v, 1000 + 32768);
  }
  // The full 32-bit range wraps the span to 0: the raw draw comes back.
  Randomise(1);
  EXPECT_EQ(Random(INT32_MIN, INT32_MAX), 41);
}

TEST(Mersenne, MatchesThePublishedOutputs) {
  MTRandomise(5489);
  EXPECT_EQ(codecs::MersenneWord(), 3499211612u);
  for (int i = 2; i < 10000; ++i) codecs::MersenneWord();
  EXPECT_EQ(codecs::MersenneWord(), 4123659995u);
}

TEST(Mersenne, RangeUsesUnsignedRemainder) {
  MTRandomise(5489);
  // 3499211612 mod 10 = 2
  EXPECT_EQ(MTRnd(0, 9), 2);
  MTRandomise(5489);
  EXPECT_EQ(MTRnd(9, 0), 2);
  EXPECT_EQ(MTRnd(4, 4), 4);
  MTRandomise(5489);
  EXPECT_EQ(MTRnd(INT32_MIN, INT32_MAX), static_cast<int32_t>(3499211612u)) << "full range gives the raw word";
}

TEST(Mersenne, DoubleLiesWithinLowAndLowPlusOne) {
  MTRandomise(5489);
  EXPECT_DOUBLE_EQ(MTRndDouble(0, 10), 3499211612.0 / 4294967295.0);
  for (int i = 0; i < 1000; ++i) {
    double v = MTRndDouble(0, 10);
    ASSERT_GE(v, 0.0);
    ASSERT_LE(v, 1.0);
  }
  EXPECT_TRUE(std::isnan(MTRndDouble(5, 4)));
}

TEST(Mersenne, ZeroSeedTakesTheClockMilliseconds) {
  PinnedClock clock;
  MTRandomise(0);
  uint32_t fromClock = codecs::MersenneWord();
  MTRandomise(417);
  EXPECT_EQ(codecs::MersenneWord(), fromClock);
}

namespace {
bool AllOf(const std::string &s, int (*pred)(int)) {
  return std::all_of(s.begin(), s.end(), [pred](char c) { return pred(static_cast<unsigned char>(c)) != 0; });
}
int IsUpperHex(int c) { return std::isdigit(c) || (c >= 'A' && c <= 'F'); }
int IsLowerHex(int c) { return std::isdigit(c) || (c >= 'a' && c <= 'f'); }
int IsBinary(int c) { return c == '0' || c == '1'; }
}  // namespace

TEST(RandomStr, ModesGiveTheirCharacterSets) {
  struct Case {
    int16_t mode;
    int (*pred)(int);
  } cases[] = {{0, std::isalpha}, {1, std::islower}, {2, std::isupper}, {3, std::isdigit}, {4, std::isalnum},
               {6, IsUpperHex},   {7, IsBinary},     {8, IsBinary},     {9, IsBinary},     {10, IsLowerHex},
               {11, std::isalnum}, {12, std::isalpha}, {-1, std::isalpha}};
  Randomise(3);
  for (const auto &c : cases) {
    for (auto generator : {RandomStr, MTRandomStr}) {
      std::string s = Take(generator(200, c.mode));
      ASSERT_EQ(s.size(), 200u);
      EXPECT_TRUE(AllOf(s, c.pred)) << "mode " << c.mode << ": " << s;
    }
  }
}

TEST(RandomStr, MixedModesReallyMix) {
  Randomise(11);
  std::string letters = Take(RandomStr(400, 0));
  EXPECT_TRUE(std::any_of(letters.begin(), letters.end(), ::isupper));
  EXPECT_TRUE(std::any_of(letters.begin(), letters.end(), ::islower));
  std::string mostlyZero = Take(RandomStr(4000, 8));
  auto ones = std::count(mostlyZero.begin(), mostlyZero.end(), '1');
  EXPECT_GT(ones, 700);
  EXPECT_LT(ones, 1300) << "about one in four";
  std::string mostlyOne = Take(RandomStr(4000, 9));
  auto zeros = std::count(mostlyOne.begin(), mostlyOne.end(), '0');
  EXPECT_GT(zeros, 700);
  EXPECT_LT(zeros, 1300);
}

TEST(RandomStr, BinaryModeKeepsItsLengthAndNonPositiveLengthsGiveNull) {
  Randomise(2);
  std::string bytes = Take(RandomStr(4096, 5));
  EXPECT_EQ(bytes.size(), 4096u);
  EXPECT_NE(bytes.find('\0'), std::string::npos);
  EXPECT_EQ(RandomStr(0, 2), nullptr);
  EXPECT_EQ(RandomStr(-1, 2), nullptr);
  EXPECT_EQ(MTRandomStr(0, 2), nullptr);
}

TEST(RandomStr, DrawsUpperCaseLettersFromTheLcgInOrder) {
  Randomise(1);
  // Draws 41, 18467, 6334, 26500 -> 65 + r % 26
  EXPECT_EQ(Take(RandomStr(4, 2)), std::string({char(65 + 41 % 26), char(65 + 18467 % 26), char(65 + 6334 % 26),
                                                 char(65 + 26500 % 26)}));
}

TEST(RandomStr, ReseedsTheMersenneGeneratorFromTheClock) {
  PinnedClock clock;
  MTRandomise(5489);
  Take(RandomStr(1, 0));
  uint32_t after = codecs::MersenneWord();
  MTRandomise(417);
  EXPECT_EQ(codecs::MersenneWord(), after);
}

TEST(GenerateRandomText, TerminatesAndHandlesEmptyCounts) {
  char buffer[5] = {'x', 'x', 'x', 'x', 'x'};
  codecs::GenerateRandomText(buffer, 0, 2, false);
  EXPECT_EQ(buffer[0], '\0');
  codecs::GenerateRandomText(buffer, 4, 2, true);
  EXPECT_EQ(buffer[4], '\0');
  EXPECT_TRUE(AllOf(std::string(buffer, 4), std::isupper));
}
