// Two-colour bitmaps: image geometry, header bytes, round trips, hostile
// headers, and the colour-value exports.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "codecs/bitmap.h"
#include "frame/bytestring.h"
#include "platform/automation.h"
#include "quendle.h"
#include "support/bytestring_support.h"

namespace {

using Bytes = std::vector<unsigned char>;

ByteString MakeString(const Bytes &bytes) { return frame::NewBinaryString(bytes.data(), uint32_t(bytes.size())); }

Bytes Take(ByteString str) {
  std::string bytes = testing_support::Take(str);
  return Bytes(bytes.begin(), bytes.end());
}

uint32_t U32(const Bytes &b, size_t at) {
  return uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 | uint32_t{b[at + 3]} << 24;
}

uint16_t U16(const Bytes &b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

void Put32(Bytes &b, size_t at, uint32_t value) {
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<unsigned char>(value >> (8 * k));
}

Bytes Pattern(size_t n, unsigned seed) {
  Bytes data(n);
  std::mt19937 rng(seed);
  for (auto &byte : data) byte = static_cast<unsigned char>(rng());
  return data;
}

Bytes ToBMP(const Bytes &data, int32_t foreground = 0x000000, int32_t background = 0xFFFFFF) {
  ByteString image = nullptr;
  int32_t length = -3;
  int16_t done = StringToBMP(reinterpret_cast<const char *>(data.data()), int32_t(data.size()), &image, &length,
                             foreground, background);
  EXPECT_EQ(done, -1);
  EXPECT_EQ(uint32_t(length), frame::ByteStringLength(image));
  return Take(image);
}

struct Extraction {
  int16_t done;
  int32_t length;
  ByteString result;
};

Extraction FromBMP(const Bytes &image) {
  ByteString held = MakeString(image);
  Extraction out{0, -3, MakeString({'o', 'l', 'd'})};  // the caller's old string, to be freed
  out.done = BMPToString(held, &out.result, &out.length);
  platform::FreeString(held);
  return out;
}

struct SizeCase {
  uint32_t n;
  uint32_t width;
  uint32_t height;
  uint64_t fileBytes;
};

class BMPGeometryTable : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BMPGeometryTable, MatchesTheStoredLayout) {
  const SizeCase &c = GetParam();
  codecs::BMPGeometry g = codecs::BMPGeometryFor(c.n);
  EXPECT_EQ(g.width, c.width);
  EXPECT_EQ(g.height, c.height);
  EXPECT_EQ(g.fileBytes, c.fileBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BMPGeometryTable,
    ::testing::Values(SizeCase{1, 32, 1, 66}, SizeCase{2, 32, 1, 66}, SizeCase{3, 32, 1, 66}, SizeCase{4, 32, 1, 66},
                      SizeCase{5, 32, 2, 70}, SizeCase{100, 32, 25, 162}, SizeCase{124, 32, 31, 186},
                      SizeCase{125, 32, 32, 190}, SizeCase{126, 32, 32, 190}, SizeCase{127, 32, 32, 190},
                      SizeCase{128, 32, 33, 194}, SizeCase{1000, 64, 126, 1070},
                      SizeCase{65536, 704, 745, 65622},
                      // Last size the 32-bit width search handled, and the
                      // first it got wrong; then the largest 32-bit length.
                      SizeCase{268378111, 46304, 46369, 268383834}, SizeCase{268378112, 46336, 46337, 268383966},
                      SizeCase{300000000, 48960, 49020, 300002462},
                      SizeCase{2147483647u, 131040, 131105, 2147499962ull}),
    [](const ::testing::TestParamInfo<SizeCase> &info) { return "n" + std::to_string(info.param.n); });

TEST(BMPGeometry, EveryImageHoldsItsDataInWholeRows) {
  for (uint32_t n = 1; n <= 40000; ++n) {
    codecs::BMPGeometry g = codecs::BMPGeometryFor(n);
    ASSERT_EQ(g.width % 32, 0u) << n;
    ASSERT_GE(g.width, 32u) << n;
    ASSERT_GE(g.imageBytes, n) << n;
    ASSERT_EQ(g.imageBytes, uint64_t{g.width} * g.height / 8) << n;
  }
}

class StringToBMPSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(StringToBMPSizes, WritesEveryHeaderField) {
  const SizeCase &c = GetParam();
  Bytes data = Pattern(c.n, c.n);
  Bytes image = ToBMP(data, 0x0000FF, 0xFF0000);
  ASSERT_EQ(image.size(), c.fileBytes);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(U32(image, 2), c.n + 62);  // the data length plus headers, not the file size
  EXPECT_EQ(U32(image, 6), 0u);
  EXPECT_EQ(U32(image, 10), 62u);
  EXPECT_EQ(U32(image, 14), 40u);
  EXPECT_EQ(U32(image, 18), c.width);
  EXPECT_EQ(U32(image, 22), c.height);
  EXPECT_EQ(U16(image, 26), 1);
  EXPECT_EQ(U16(image, 28), 1);
  EXPECT_EQ(U32(image, 30), 0u);
  EXPECT_EQ(U32(image, 34), c.n);
  for (size_t at = 38; at < 54; at += 4) EXPECT_EQ(U32(image, at), 0u) << at;
  EXPECT_EQ(Bytes(image.begin() + 54, image.begin() + 62), Bytes({0xFF, 0, 0, 0, 0, 0, 0xFF, 0}));
  EXPECT_EQ(Bytes(image.begin() + 62, image.begin() + 62 + c.n), data);
  EXPECT_EQ(Bytes(image.begin() + 62 + c.n, image.end()), Bytes(c.fileBytes - 62 - c.n, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, StringToBMPSizes,
    ::testing::Values(SizeCase{1, 32, 1, 66}, SizeCase{4, 32, 1, 66}, SizeCase{5, 32, 2, 70},
                      SizeCase{100, 32, 25, 162}, SizeCase{125, 32, 32, 190}, SizeCase{127, 32, 32, 190},
                      SizeCase{128, 32, 33, 194}, SizeCase{1000, 64, 126, 1070},
                      SizeCase{65536, 704, 745, 65622}),
    [](const ::testing::TestParamInfo<SizeCase> &info) { return "n" + std::to_string(info.param.n); });

TEST(StringToBMP, WorksPastTheOldWidthSearchLimit) {
  // 8 * n no longer fits a signed 32-bit value here.
  const uint32_t n = 268378112;
  Bytes data(n, 0);
  data.front() = 0xA5;
  data.back() = 0x5A;
  ByteString image = nullptr;
  int32_t length = 0;
  ASSERT_EQ(StringToBMP(reinterpret_cast<const char *>(data.data()), int32_t(n), &image, &length, 1, 2), -1);
  data.clear();
  data.shrink_to_fit();
  ASSERT_EQ(length, 268383966);
  int32_t width = 0, height = 0, size = 0, bits = 0;
  EXPECT_EQ(BMPInfo(image, &width, &height, &size, &bits), -1);
  EXPECT_EQ(width, 46336);
  EXPECT_EQ(height, 46337);
  EXPECT_EQ(size, int32_t(n));
  EXPECT_EQ(static_cast<unsigned char>(image[62]), 0xA5);
  EXPECT_EQ(static_cast<unsigned char>(image[62 + n - 1]), 0x5A);
  EXPECT_EQ(image[62 + n], 0);
  platform::FreeString(image);
}

TEST(StringToBMP, PaletteTakesColoursAsBGRAndIgnoresTheTopByte) {
  Bytes image = ToBMP({1, 2, 3}, int32_t(0xAB0000FFu), int32_t(0xCDFF0000u));
  EXPECT_EQ(Bytes(image.begin() + 54, image.begin() + 58), Bytes({0xFF, 0x00, 0x00, 0x00}));
  EXPECT_EQ(Bytes(image.begin() + 58, image.begin() + 62), Bytes({0x00, 0x00, 0xFF, 0x00}));
  image = ToBMP({1}, 0x123456, 0x654321);
  EXPECT_EQ(Bytes(image.begin() + 54, image.begin() + 62), Bytes({0x65, 0x43, 0x21, 0, 0x12, 0x34, 0x56, 0}));
}

TEST(StringToBMP, RefusesEmptyDataAndFreesTheOldImage) {
  const char data[] = "abc";
  for (int32_t n : {0, -1, INT32_MIN}) {
    ByteString result = MakeString({9, 9});
    int32_t length = 77;
    EXPECT_EQ(StringToBMP(data, n, &result, &length, 0, 0), 0) << n;
    EXPECT_EQ(result, nullptr) << n;
    EXPECT_EQ(length, 0) << n;
  }
  ByteString result = MakeString({9, 9});
  EXPECT_EQ(StringToBMP(nullptr, 3, &result, nullptr, 0, 0), 0);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(StringToBMP(data, 3, nullptr, nullptr, 0, 0), 0);
}

TEST(StringToBMP, MayWriteIntoTheDatasOwnVariable) {
  Bytes data = {'d', 'a', 't', 'a', 0, '!'};
  ByteString variable = MakeString(data);
  ASSERT_EQ(StringToBMP(variable, 6, &variable, nullptr, 0, 0xFFFFFF), -1);
  Bytes image = Take(variable);
  ASSERT_EQ(image.size(), 70u);
  EXPECT_EQ(Bytes(image.begin() + 62, image.begin() + 68), data);
  EXPECT_EQ(Bytes(image.begin() + 68, image.end()), Bytes({0, 0}));
}

TEST(BMPRoundTrip, ReturnsExactlyTheDataForManySizes) {
  std::mt19937 rng(137);
  std::uniform_int_distribution<uint32_t> size(1, 5000);
  for (int trial = 0; trial < 1500; ++trial) {
    uint32_t n = trial < 300 ? uint32_t(trial + 1) : size(rng);
    Bytes data = Pattern(n, rng());
    if (trial % 3 == 0) std::fill(data.begin(), data.begin() + n / 2, 0);  // zero bytes are data too
    Bytes image = ToBMP(data, int32_t(rng()), int32_t(rng()));
    Extraction back = FromBMP(image);
    ASSERT_EQ(back.done, -1) << n;
    ASSERT_EQ(back.length, int32_t(n));
    ASSERT_EQ(Take(back.result), data) << n;
    ByteString held = MakeString(image);
    EXPECT_EQ(BMPDataSize(held), int32_t(n));
    platform::FreeString(held);
  }
}

TEST(BMPToString, MayReadFromTheResultVariable) {
  ByteString variable = MakeString(ToBMP({'x', 0, 'y'}));
  int32_t length = 0;
  ASSERT_EQ(BMPToString(variable, &variable, &length), -1);
  EXPECT_EQ(length, 3);
  EXPECT_EQ(Take(variable), Bytes({'x', 0, 'y'}));
}

TEST(BMPToString, NullImageIsRefusedBeforeTheResultIsTouched) {
  ByteString result = MakeString({1});
  int32_t length = 4;
  EXPECT_EQ(BMPToString(nullptr, &result, &length), 0);
  EXPECT_EQ(length, 4);
  EXPECT_EQ(Take(result), Bytes({1}));
}

// A valid 10-byte image, one header field changed or its buffer cut.
struct HostileImage {
  const char *name;
  size_t field;    // offset of a 32-bit field to overwrite, or SIZE_MAX
  uint32_t value;
  size_t keep;     // bytes of the image kept (SIZE_MAX keeps all)
  bool accepted;
  uint32_t dataLength;  // when accepted
};

class BMPToStringHostile : public ::testing::TestWithParam<HostileImage> {};

TEST_P(BMPToStringHostile, ChecksHeadersAndBoundsByTheRealLength) {
  const HostileImage &c = GetParam();
  Bytes image = ToBMP(Pattern(10, 3));  // 32 x 3: 74 bytes, the data at 62..71, then two zero bytes
  if (c.field != SIZE_MAX) Put32(image, c.field, c.value);
  if (c.keep != SIZE_MAX) image.resize(c.keep);
  Extraction back = FromBMP(image);
  if (!c.accepted) {
    EXPECT_EQ(back.done, 0);
    EXPECT_EQ(back.result, nullptr);  // the old string was freed, nothing new stored
    EXPECT_EQ(back.length, 0);
    return;
  }
  ASSERT_EQ(back.done, -1);
  EXPECT_EQ(back.length, int32_t(c.dataLength));
  uint32_t offset = U32(image, 10);
  EXPECT_EQ(Take(back.result), Bytes(image.begin() + offset, image.begin() + offset + c.dataLength));
}

constexpr size_t kWhole = SIZE_MAX;
constexpr size_t kNoField = SIZE_MAX;

INSTANTIATE_TEST_SUITE_P(
    Table, BMPToStringHostile,
    ::testing::Values(
        HostileImage{"Untouched", kNoField, 0, kWhole, true, 10},
        HostileImage{"NotBM", 0, 0x00004D41, kWhole, false, 0},
        HostileImage{"CoreHeader", 14, 12, kWhole, false, 0},
        HostileImage{"OffsetIntoHeader", 10, 54, kWhole, false, 0},
        HostileImage{"OffsetJustPastHeader", 10, 55, kWhole, true, 10},
        HostileImage{"ZeroWidth", 18, 0, kWhole, false, 0},
        HostileImage{"ZeroHeight", 22, 0, kWhole, false, 0},
        HostileImage{"NegativeHeightIsTopDown", 22, 0xFFFFFFFD, kWhole, true, 10},
        HostileImage{"ZeroSize", 34, 0, kWhole, false, 0},
        HostileImage{"NegativeSize", 34, 0x80000000, kWhole, false, 0},
        HostileImage{"SizeMinusOne", 34, 0xFFFFFFFF, kWhole, false, 0},
        HostileImage{"SizeToTheLastByte", 34, 74 - 62, kWhole, true, 12},
        HostileImage{"SizeOneBeyondTheEnd", 34, 74 - 62 + 1, kWhole, false, 0},
        HostileImage{"OffsetPastTheEnd", 10, 75, kWhole, false, 0},
        HostileImage{"CutBeforeTheData", kNoField, 0, 66, false, 0},
        HostileImage{"CutToTheData", kNoField, 0, 72, true, 10},
        HostileImage{"CutInsideTheHeader", kNoField, 0, 54, false, 0},
        HostileImage{"Empty", kNoField, 0, 0, false, 0}),
    [](const ::testing::TestParamInfo<HostileImage> &info) { return std::string(info.param.name); });

TEST(BMPToString, RefusesOffsetsAndSizesWhoseSumWraps) {
  struct Wrap {
    uint32_t offset, size;
  };
  // 0xFFFFFFF0 + 0x2E is 30 in 32 bits; 70 + 0x7FFFFFFF is negative as a
  // signed sum. Either would pass a check made in 32-bit arithmetic.
  for (Wrap w : {Wrap{0xFFFFFFF0u, 0x2E}, Wrap{70, 0x7FFFFFFF}}) {
    Bytes image = ToBMP(Pattern(10, 4));
    Put32(image, 10, w.offset);
    Put32(image, 34, w.size);
    Extraction back = FromBMP(image);
    EXPECT_EQ(back.done, 0) << w.offset;
    EXPECT_EQ(back.result, nullptr) << w.offset;
  }
}

// A header with no palette: the pixels would start straight after it.
Bytes PalettelessHeader() {
  Bytes image(54 + 4, 0);
  image[0] = 'B';
  image[1] = 'M';
  Put32(image, 10, 54);
  Put32(image, 14, 40);
  Put32(image, 18, 32);
  Put32(image, 22, 1);
  image[26] = 1;
  image[28] = 24;
  Put32(image, 34, 4);
  return image;
}

struct InfoCase {
  const char *name;
  Bytes image;
  int16_t isBMP;
  int32_t dataSize;  // BMPDataSize
  int32_t width, height, recorded, bitCount;
};

class BMPInfoTable : public ::testing::TestWithParam<InfoCase> {};

TEST_P(BMPInfoTable, ReportsHeaderFieldsWithTheirOwnChecks) {
  const InfoCase &c = GetParam();
  ByteString image = MakeString(c.image);
  EXPECT_EQ(IsBMP(image), c.isBMP);
  EXPECT_EQ(BMPDataSize(image), c.dataSize);
  int32_t width = 7, height = 7, recorded = 7, bits = 7;
  EXPECT_EQ(BMPInfo(image, &width, &height, &recorded, &bits), c.isBMP);
  EXPECT_EQ(width, c.width);
  EXPECT_EQ(height, c.height);
  EXPECT_EQ(recorded, c.recorded);
  EXPECT_EQ(bits, c.bitCount);
  EXPECT_EQ(BMPInfo(image, nullptr, &height, nullptr, nullptr), c.isBMP);
  platform::FreeString(image);
}

Bytes Cut(Bytes b, size_t keep) {
  b.resize(keep);
  return b;
}

Bytes WithField(Bytes b, size_t at, uint32_t value) {
  Put32(b, at, value);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BMPInfoTable,
    ::testing::Values(
        InfoCase{"MadeByStringToBMP", ToBMP(Pattern(1000, 1)), -1, 1000, 64, 126, 1000, 1},
        InfoCase{"NoPalette", PalettelessHeader(), -1, 0, 32, 1, 4, 24},
        InfoCase{"HeadersOnly", Cut(ToBMP({1, 2}), 54), -1, 2, 32, 1, 2, 1},
        InfoCase{"OneByteShort", Cut(ToBMP({1, 2}), 53), 0, 0, 0, 0, 0, 0},
        InfoCase{"OffsetBelowHeaders", WithField(ToBMP({1}), 10, 53), 0, 0, 0, 0, 0, 0},
        InfoCase{"WrongInfoSize", WithField(ToBMP({1}), 14, 108), 0, 0, 0, 0, 0, 0},
        InfoCase{"Empty", {}, 0, 0, 0, 0, 0, 0}),
    [](const ::testing::TestParamInfo<InfoCase> &info) { return std::string(info.param.name); });

TEST(BMPInfo, NullImageClearsEveryOutput) {
  int32_t width = 7, height = 7, recorded = 7, bits = 7;
  EXPECT_EQ(BMPInfo(nullptr, &width, &height, &recorded, &bits), 0);
  EXPECT_EQ(width + height + recorded + bits, 0);
  EXPECT_EQ(IsBMP(nullptr), 0);
  EXPECT_EQ(BMPDataSize(nullptr), 0);
}

struct RGBValCase {
  const char *text;
  int32_t value;
};

class RGBValTable : public ::testing::TestWithParam<RGBValCase> {};

TEST_P(RGBValTable, ReadsHexPairs) { EXPECT_EQ(RGBVal(GetParam().text), GetParam().value) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Table, RGBValTable,
                         ::testing::Values(RGBValCase{"#FF8000", 0xFF8000}, RGBValCase{"ff8000", 0xFF8000},
                                           RGBValCase{"F", 0x0F0000}, RGBValCase{"#12", 0x120000},
                                           RGBValCase{"123", 0x120300}, RGBValCase{"1G2233", 0x012233},
                                           RGBValCase{"G12233", 0x002233}, RGBValCase{" 1", 0x010000},
                                           RGBValCase{"\t1\t2 3", 0x010203}, RGBValCase{"12G", 0x120000},
                                           RGBValCase{"1234567", 0}, RGBValCase{"#", 0}, RGBValCase{"", 0},
                                           RGBValCase{"##12", 0x000200}, RGBValCase{"aBcDeF", 0xABCDEF}));

TEST(RGBVal, NullTextIsZero) { EXPECT_EQ(RGBVal(nullptr), 0); }

TEST(ColourSplits, PickComponentsByTheirByteOrder) {
  int16_t r = -1, g = -1, b = -1;
  EXPECT_EQ(RGBSplit(0x7F123456, &r, &g, &b), 0x56);
  EXPECT_EQ(r, 0x12);
  EXPECT_EQ(g, 0x34);
  EXPECT_EQ(b, 0x56);
  EXPECT_EQ(RGBSplit(0x123456, &r, nullptr, nullptr), 0x123456);

  EXPECT_EQ(BGRSplit(0x7F123456, &r, &g, &b), 0x56);
  EXPECT_EQ(r, 0x56);
  EXPECT_EQ(g, 0x34);
  EXPECT_EQ(b, 0x12);
  EXPECT_EQ(BGRSplit(0x123456, nullptr, &g, &b), 0x123456);
  EXPECT_EQ(BGRSplit(0x00AB00CD, &r, nullptr, nullptr), 0xCD);
}

TEST(BGRToRGB, ExchangesRedAndBlueAndDropsTheTopByte) {
  EXPECT_EQ(BGRToRGB(0x12345678), 0x785634);
  EXPECT_EQ(BGRToRGB(int32_t(0xFF0000FFu)), 0xFF0000);
  EXPECT_EQ(BGRToRGB(BGRToRGB(0x00ABCDEF)), 0x00ABCDEF);
}

}  // namespace
