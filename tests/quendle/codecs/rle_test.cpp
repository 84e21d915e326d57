// The run-length stream: exact encoded bytes, round trips, and streams that
// lie about their length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codecs/rle.h"
#include "frame/bytestring.h"
#include "platform/automation.h"
#include "quendle.h"
#include "support/bytestring_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

ByteString MakeString(const Bytes &bytes) { return frame::NewBinaryString(bytes.data(), uint32_t(bytes.size())); }

// Frees the string and hands back what it held.
Bytes Take(ByteString str) {
  std::string bytes = testing_support::Take(str);
  return Bytes(bytes.begin(), bytes.end());
}

Bytes Repeat(unsigned char byte, size_t count) { return Bytes(count, byte); }

Bytes Join(Bytes a, const Bytes &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes StreamOf(const Bytes &encoded, uint32_t count) {
  Bytes stream = {0x52, 0x5A, 0x01, 0x00};
  for (int k = 0; k < 4; ++k) stream.push_back(static_cast<unsigned char>(count >> (8 * k)));
  return Join(stream, encoded);
}

Bytes StreamOf(const Bytes &encoded) { return StreamOf(encoded, uint32_t(encoded.size())); }

// Compresses through the export; the stream, or an empty vector on failure.
Bytes Compress(const Bytes &input) {
  ByteString source = MakeString(input);
  ByteString stream = nullptr;
  int32_t length = -7;
  int16_t done = RLECompress(source, &stream, &length);
  platform::FreeString(source);
  if (done != -1) {
    ADD_FAILURE() << "RLECompress refused " << input.size() << " bytes";
    return {};
  }
  EXPECT_EQ(length, int32_t(frame::ByteStringLength(stream)));
  return Take(stream);
}

struct Expansion {
  int16_t done;
  int32_t length;
  Bytes bytes;
};

Expansion Uncompress(const Bytes &stream) {
  ByteString source = MakeString(stream);
  ByteString result = nullptr;
  Expansion out{};
  out.length = -7;
  out.done = RLEUncompress(source, &result, &out.length);
  platform::FreeString(source);
  out.bytes = Take(result);
  return out;
}

struct EncodingCase {
  const char *name;
  Bytes input;
  Bytes encoded;
};

class RLEEncoding : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(RLEEncoding, WritesTheExactStreamAndReadsItBack) {
  const EncodingCase &c = GetParam();
  Bytes expected = StreamOf(c.encoded);
  Bytes stream = Compress(c.input);
  EXPECT_EQ(stream, expected);

  ByteString input = MakeString(c.input);
  EXPECT_EQ(RLECompressedByteCount(input, int32_t(c.input.size())), int32_t(expected.size()));
  platform::FreeString(input);

  ByteString held = MakeString(stream);
  EXPECT_EQ(RLEByteCount(held), int32_t(c.encoded.size()));
  EXPECT_EQ(RLECompressed(held), -1);
  EXPECT_EQ(RLEUncompressedByteCount(held), int32_t(c.input.size()));
  platform::FreeString(held);

  Expansion back = Uncompress(stream);
  EXPECT_EQ(back.done, -1);
  EXPECT_EQ(back.length, int32_t(c.input.size()));
  EXPECT_EQ(back.bytes, c.input);
}

INSTANTIATE_TEST_SUITE_P(
    KnownStreams, RLEEncoding,
    ::testing::Values(
        EncodingCase{"PairCountOneThenLiteral", {0x41, 0x41, 0x41, 0x42}, {0x41, 0x41, 0x01, 0x42}},
        EncodingCase{"PairCountZeroThenLiteral", {0x41, 0x41, 0x42}, {0x41, 0x41, 0x00, 0x42}},
        EncodingCase{"RunToTheEnd", {0x41, 0x41, 0x41}, {0x41, 0x41, 0x01}},
        EncodingCase{"PairAtTheEndHasNoCount", {0x41, 0x41}, {0x41, 0x41}},
        EncodingCase{"SingleByte", {0x41}, {0x41}},
        EncodingCase{"AlternatingPassesThrough", {0x41, 0x42, 0x41, 0x42, 0x41, 0x42},
                     {0x41, 0x42, 0x41, 0x42, 0x41, 0x42}},
        EncodingCase{"LongRunSplitsAfter257", Repeat(0x41, 300), {0x41, 0x41, 0xFF, 0x41, 0x41, 0x29}},
        EncodingCase{"ExactlyOneFullToken", Repeat(0x41, 257), {0x41, 0x41, 0xFF}},
        EncodingCase{"FullTokenThenSingle", Repeat(0x41, 258), {0x41, 0x41, 0xFF, 0x41}},
        EncodingCase{"FullTokenThenPair", Repeat(0x41, 259), {0x41, 0x41, 0xFF, 0x41, 0x41}},
        EncodingCase{"LeadingFFPairsWithTheRegister", {0xFF}, {0xFF}},
        EncodingCase{"LeadingFFThenLiteral", {0xFF, 0x41}, {0xFF, 0x00, 0x41}},
        EncodingCase{"TwoLeadingFF", {0xFF, 0xFF}, {0xFF, 0x01}},
        EncodingCase{"LeadingFFRunOf256", Repeat(0xFF, 256), {0xFF, 0xFF}},
        EncodingCase{"FFAfterCountIsALiteral", {0x41, 0x41, 0xFF, 0x43}, {0x41, 0x41, 0x00, 0xFF, 0x43}},
        // After a full token the register is 0xFF again, so a following 0xFF
        // is the second byte of a pair, not a literal.
        EncodingCase{"FFAfterFullTokenPairs", Join(Repeat(0x41, 257), {0xFF}), {0x41, 0x41, 0xFF, 0xFF}},
        EncodingCase{"BackToBackPairs", {0x41, 0x41, 0x42, 0x42, 0x43, 0x43},
                     {0x41, 0x41, 0x00, 0x42, 0x42, 0x00, 0x43, 0x43}},
        EncodingCase{"ZeroBytesAreData", {0x00, 0x00, 0x00, 0x00, 0x01}, {0x00, 0x00, 0x02, 0x01}}),
    [](const ::testing::TestParamInfo<EncodingCase> &info) { return std::string(info.param.name); });

// Inputs of several shapes: noise, a small alphabet (many short pairs), long
// runs of one byte (tokens of every size), and 0xFF runs (the register's start).
Bytes RandomInput(std::mt19937 &rng, size_t length, int shape) {
  Bytes out;
  out.reserve(length);
  std::uniform_int_distribution<int> byte(0, 255);
  while (out.size() < length) {
    switch (shape) {
      case 0:
        out.push_back(static_cast<unsigned char>(byte(rng)));
        break;
      case 1:
        out.push_back(static_cast<unsigned char>(0x40 + byte(rng) % 3));
        break;
      case 2: {
        size_t run = 1 + size_t(byte(rng)) * 3 % 700;
        out.insert(out.end(), run, static_cast<unsigned char>(byte(rng) % 4 == 0 ? 0xFF : byte(rng)));
        break;
      }
      default:
        out.push_back(byte(rng) % 2 ? 0xFF : static_cast<unsigned char>(byte(rng)));
        break;
    }
  }
  out.resize(length);
  return out;
}

TEST(RLERoundTrip, EveryInputComesBackExactly) {
  std::mt19937 rng(20110401);
  std::uniform_int_distribution<size_t> shortLength(1, 600);
  for (int trial = 0; trial < 3000; ++trial) {
    int shape = trial % 4;
    size_t length = trial % 100 == 0 ? 70000 + size_t(trial) : shortLength(rng);
    Bytes input = RandomInput(rng, length, shape);
    Bytes stream = Compress(input);
    ASSERT_GE(stream.size(), 8u);

    ByteString source = MakeString(input);
    ASSERT_EQ(RLECompressedByteCount(source, int32_t(length)), int32_t(stream.size()));
    // The text-length rule: compressible exactly when the stream is shorter
    // than the bytes before the first zero.
    size_t text = std::find(input.begin(), input.end(), 0) - input.begin();
    EXPECT_EQ(RLECompressible(source), text > 0 && stream.size() < text ? 1 : 0);
    platform::FreeString(source);

    Expansion back = Uncompress(stream);
    ASSERT_EQ(back.done, -1) << "shape " << shape << ", " << length << " bytes";
    ASSERT_EQ(back.bytes, input) << "shape " << shape << ", " << length << " bytes";
    ASSERT_EQ(back.length, int32_t(length));
  }
}

TEST(RLECompress, EmptyInputMakesAHeaderThatDoesNotExpand) {
  ByteString empty = MakeString({});
  ByteString stream = nullptr;
  int32_t length = -1;
  EXPECT_EQ(RLECompress(empty, &stream, &length), -1);
  EXPECT_EQ(length, 8);
  Bytes bytes = Take(stream);
  EXPECT_EQ(bytes, StreamOf({}));
  EXPECT_EQ(Uncompress(bytes).done, 0);
  platform::FreeString(empty);
}

TEST(RLECompress, RefusesNullArgumentsAndClearsTheOldResult) {
  ByteString result = MakeString({1, 2, 3});
  int32_t length = 99;
  EXPECT_EQ(RLECompress(nullptr, &result, &length), 0);
  EXPECT_EQ(result, nullptr);  // freed and cleared before the source was looked at
  EXPECT_EQ(length, 0);

  ByteString source = MakeString({0x41, 0x41});
  EXPECT_EQ(RLECompress(source, nullptr, &length), 0);
  // A null result-length pointer is simply not written.
  EXPECT_EQ(RLECompress(source, &result, nullptr), -1);
  EXPECT_EQ(Take(result), StreamOf({0x41, 0x41}));
  platform::FreeString(source);
}

TEST(RLECompress, LeavesTheSourceAloneWhenItIsAlsoTheResult) {
  ByteString source = MakeString({0x41, 0x41, 0x41, 0x42});
  ByteString variable = source;
  int32_t length = 0;
  ASSERT_EQ(RLECompress(variable, &variable, &length), -1);
  EXPECT_NE(variable, source);
  EXPECT_EQ(Take(variable), StreamOf({0x41, 0x41, 0x01, 0x42}));
  // Still readable: the export must not have freed the string it read.
  EXPECT_EQ(Take(source), Bytes({0x41, 0x41, 0x41, 0x42}));
}

TEST(RLECompressedByteCount, CountsOnlyTheGivenPrefix) {
  ByteString source = MakeString({0x41, 0x41, 0x41, 0x42});
  EXPECT_EQ(RLECompressedByteCount(source, 0), 8);
  EXPECT_EQ(RLECompressedByteCount(source, -5), 8);
  EXPECT_EQ(RLECompressedByteCount(source, 2), 10);
  EXPECT_EQ(RLECompressedByteCount(source, 3), 11);
  EXPECT_EQ(RLECompressedByteCount(nullptr, 4), 0);
  platform::FreeString(source);
}

struct CompressibleCase {
  const char *name;
  Bytes input;
  int16_t expected;
};

class RLECompressibleCases : public ::testing::TestWithParam<CompressibleCase> {};

TEST_P(RLECompressibleCases, JudgesAgainstTheTextLength) {
  ByteString source = MakeString(GetParam().input);
  EXPECT_EQ(RLECompressible(source), GetParam().expected);
  platform::FreeString(source);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RLECompressibleCases,
    ::testing::Values(CompressibleCase{"EightLettersGrowTo11", Repeat('a', 8), 0},
                      CompressibleCase{"ElevenLettersTieAt11", Repeat('a', 11), 0},
                      CompressibleCase{"TwelveLettersShrinkTo11", Repeat('a', 12), 1},
                      CompressibleCase{"HundredLetters", Repeat('a', 100), 1},
                      CompressibleCase{"LeadingZero", Join({0}, Repeat('a', 100)), 0},
                      CompressibleCase{"EarlyZeroShortensTheText", Join({'a', 0}, Repeat('a', 100)), 0},
                      CompressibleCase{"LateZeroStillPays", Join(Repeat('a', 100), {0, 'b'}), 1},
                      CompressibleCase{"Empty", {}, 0},
                      CompressibleCase{"Noise", {'q', 'w', 'e', 'r', 't', 'y', 'u', 'i', 'o', 'p'}, 0}),
    [](const ::testing::TestParamInfo<CompressibleCase> &info) { return std::string(info.param.name); });

TEST(RLECompressible, NullSourceIsNotCompressible) { EXPECT_EQ(RLECompressible(nullptr), 0); }

// Streams handed in from outside: wrong, empty, cut short or lying.
struct HostileCase {
  const char *name;
  Bytes stream;
  int32_t byteCount;  // RLEByteCount: the field as stored
};

class RLEHostileStream : public ::testing::TestWithParam<HostileCase> {};

TEST_P(RLEHostileStream, IsRefusedWithoutTouchingTheResult) {
  const HostileCase &c = GetParam();
  ByteString source = MakeString(c.stream);
  EXPECT_EQ(RLEByteCount(source), c.byteCount);
  EXPECT_EQ(RLECompressed(source), c.byteCount >= 1 ? -1 : 0);
  EXPECT_EQ(RLEUncompressedByteCount(source), 0);

  ByteString kept = MakeString({'k', 'e', 'e', 'p'});
  ByteString result = kept;
  int32_t length = 55;
  EXPECT_EQ(RLEUncompress(source, &result, &length), 0);
  EXPECT_EQ(result, kept);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(Take(result), Bytes({'k', 'e', 'e', 'p'}));
  platform::FreeString(source);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RLEHostileStream,
    ::testing::Values(HostileCase{"PlainText", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, 0},
                      HostileCase{"WrongVersion", {0x52, 0x5A, 0x02, 0x00, 1, 0, 0, 0, 0x41}, 0},
                      HostileCase{"MagicOnly", {0x52, 0x5A, 0x01, 0x00}, 0},
                      HostileCase{"HeaderCutInTheCount", {0x52, 0x5A, 0x01, 0x00, 5, 0, 0}, 0},
                      HostileCase{"CountZero", StreamOf({0x41, 0x42}, 0), 0},
                      HostileCase{"CountNegative", StreamOf({0x41, 0x42}, 0x80000000u), INT32_MIN},
                      HostileCase{"CountOneTooMany", StreamOf({0x41, 0x41, 0x05}, 4), 4},
                      HostileCase{"CountHuge", StreamOf({0x41, 0x41, 0xFF}, 0x7FFFFFFFu), INT32_MAX},
                      HostileCase{"HeaderWithoutData", StreamOf({}, 3), 3}),
    [](const ::testing::TestParamInfo<HostileCase> &info) { return std::string(info.param.name); });

TEST(RLEUncompress, ReadsOnlyTheCountedBytes) {
  // Trailing bytes after the counted ones are not part of the stream.
  Expansion back = Uncompress(StreamOf({0x41, 0x41, 0x03, 0x42, 0x42, 0x42}, 4));
  EXPECT_EQ(back.done, -1);
  EXPECT_EQ(back.bytes, Bytes({0x41, 0x41, 0x41, 0x41, 0x41, 0x42}));
}

TEST(RLEUncompress, CountByteMissingAtTheEndMeansAPair) {
  Expansion back = Uncompress(StreamOf({0x43, 0x41, 0x41}));
  EXPECT_EQ(back.done, -1);
  EXPECT_EQ(back.bytes, Bytes({0x43, 0x41, 0x41}));
}

TEST(RLEUncompress, RefusesANullReferenceAndNullSource) {
  ByteString stream = MakeString(StreamOf({0x41}));
  int32_t length = 5;
  EXPECT_EQ(RLEUncompress(stream, nullptr, &length), 0);
  ByteString result = nullptr;
  EXPECT_EQ(RLEUncompress(nullptr, &result, &length), 0);
  EXPECT_EQ(length, 0);
  EXPECT_EQ(RLEUncompress(stream, &result, nullptr), -1);
  EXPECT_EQ(Take(result), Bytes({0x41}));
  platform::FreeString(stream);
}

TEST(RLEUncompress, MayExpandIntoTheStreamsOwnVariable) {
  ByteString variable = MakeString(StreamOf({0x41, 0x41, 0x02}));
  int32_t length = 0;
  ASSERT_EQ(RLEUncompress(variable, &variable, &length), -1);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(Take(variable), Bytes({0x41, 0x41, 0x41, 0x41}));
}

TEST(RLEUncompress, RefusesAnExpansionBeyondWhatAByteStringHolds) {
  // Each three-byte token "x x FF" expands to 257 bytes; 16,711,936 tokens
  // make 2^32 + 256 bytes, which a 32-bit length would wrap to 256.
  const size_t tokens = 16711936;
  Bytes encoded;
  encoded.reserve(tokens * 3 + 1);
  for (size_t t = 0; t < tokens; ++t) {
    unsigned char x = static_cast<unsigned char>(t % 200);
    encoded.insert(encoded.end(), {x, x, 0xFF});
  }
  ASSERT_EQ(codecs::RLEDecodedLength(encoded.data(), encoded.size()), (uint64_t{1} << 32) + 256);
  Bytes stream = StreamOf(encoded);
  encoded.clear();
  encoded.shrink_to_fit();
  ByteString source = MakeString(stream);
  stream.clear();
  stream.shrink_to_fit();
  EXPECT_EQ(RLEUncompressedByteCount(source), 0);
  ByteString result = nullptr;
  EXPECT_EQ(RLEUncompress(source, &result, nullptr), 0);
  EXPECT_EQ(result, nullptr);
  platform::FreeString(source);
}

TEST(RLEBoundedReading, NeverLooksPastTheAvailableBytes) {
  // The internal readers take the real length; a count that points past it
  // is refused even though the bytes beyond happen to be readable here.
  Bytes stream = StreamOf({0x41, 0x41, 0x05, 0x42}, 4);
  const char *p = reinterpret_cast<const char *>(stream.data());
  EXPECT_EQ(codecs::RLEExpandedLength(p, 12), 8);
  EXPECT_EQ(codecs::RLEExpandedLength(p, 11), 0);
  EXPECT_EQ(codecs::RLEStreamCount(p, 7), 0);
  EXPECT_EQ(codecs::RLEStreamCount(p, 8), 4);
  ByteString result = nullptr;
  EXPECT_EQ(codecs::RLEExpand(p, 11, &result, nullptr), 0);
  EXPECT_EQ(codecs::RLEExpand(p, 12, &result, nullptr), -1);
  EXPECT_EQ(Take(result), Bytes({0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x42}));
}

TEST(RLEByteCount, NullSourceGivesZero) {
  EXPECT_EQ(RLEByteCount(nullptr), 0);
  EXPECT_EQ(RLECompressed(nullptr), 0);
  EXPECT_EQ(RLEUncompressedByteCount(nullptr), 0);
}

}  // namespace
