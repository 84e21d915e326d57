#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "codecs/hex.h"
#include "quendle.h"
#include "support/bytestring_support.h"

namespace {

using testing_support::OwnedString;
using testing_support::Take;

// The text in a heap block of exactly its own size, so a reader that looks
// past the terminator trips the address sanitizer.
struct ExactText {
  std::vector<char> bytes;
  explicit ExactText(const std::string &text) : bytes(text.begin(), text.end()) { bytes.push_back('\0'); }
  const char *get() const { return bytes.data(); }
};

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// ---- writers ----------------------------------------------------------------------

TEST(HexWriters, WriteFixedWidthUpperCaseDigits) {
  struct Case {
    const char *what;
    ByteString result;
    const char *expected;
  };
  const Case cases[] = {
      {"CharToHex(255)", CharToHex(255), "FF"},
      {"CharToHex(-1)", CharToHex(-1), "FF"},
      {"CharToHex(0x1A0)", CharToHex(0x1A0), "A0"},
      {"CharToHex(0)", CharToHex(0), "00"},
      {"IntToHex(4660)", IntToHex(4660), "1234"},
      {"IntToHex(10)", IntToHex(10), "000A"},
      {"IntToHex(-1)", IntToHex(-1), "FFFF"},
      {"LongToHex(255)", LongToHex(255), "000000FF"},
      {"LongToHex(4294967295)", LongToHex(4294967295.0), "FFFFFFFF"},
      {"LongToHex(4294967296)", LongToHex(4294967296.0), "0"},
      {"LongToHex(-1)", LongToHex(-1), "FFFFFFFF"},
      {"LongToHex(3.99)", LongToHex(3.99), "00000003"},
      {"LongToHex(-3.99)", LongToHex(-3.99), "FFFFFFFD"},
      {"LongToHex(-4294967296)", LongToHex(-4294967296.0), "00000000"},
      {"LongToHex(-1e30)", LongToHex(-1e30), "00000000"},
      {"LongToHex(NaN)", LongToHex(std::nan("")), "00000000"},
  };
  for (const Case &c : cases) EXPECT_EQ(Take(c.result), c.expected) << c.what;
}

TEST(HexWriters, StrToHexWritesPairsWithOptionalLineBreaks) {
  OwnedString bytes(Bytes({0x00, 0x01, 0xFE, 0xFF}));
  struct Case {
    int32_t length;
    int16_t line;
    std::string expected;
  };
  const Case cases[] = {
      {4, 0, "0001FEFF"},
      {4, 2, "0001\r\nFEFF"},
      {4, 1, "00\r\n01\r\nFE\r\nFF"},
      {4, 3, "0001FE\r\nFF"},
      {4, 4, "0001FEFF"},
      {4, 9, "0001FEFF"},
      {4, -5, "0001FEFF"},
      {0, 0, "0001FEFF"},  // the length comes from the ByteString's prefix
      {2, 0, "0001"},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(Take(StrToHex(bytes.handle, c.length, c.line)), c.expected) << c.length << "/" << c.line;
  }
  EXPECT_EQ(StrToHex(nullptr, 4, 0), nullptr);
  EXPECT_EQ(StrToHex(bytes.handle, -1, 0), nullptr);
  OwnedString empty(std::string{});
  EXPECT_EQ(StrToHex(empty.handle, 0, 0), nullptr);
}

TEST(HexWriters, StringToHexStopsAtTheFirstZeroByte) {
  EXPECT_EQ(Take(StringToHex("AB\0C")), "4142");
  EXPECT_EQ(Take(StringToHex("\xff")), "FF");
  EXPECT_EQ(StringToHex(""), nullptr);
  EXPECT_EQ(StringToHex(nullptr), nullptr);
}

// ---- readers ------------------------------------------------------------------------

TEST(HexReaders, HexToCharReadsAtMostTwoCharacters) {
  struct Case {
    const char *text;
    int expected;
  };
  const Case cases[] = {
      {"41", 0x41},  {"&h41", 0x41}, {"0X41", 0x41}, {"&H41", 0x41}, {"0x41", 0x41},
      {" 41", 0x04}, {"\t4", 0x04},  {"4G", 0x04},   {"G4", 0},      {"123", 0x12},
      {"f", 0x0F},   {"G", 0},       {"", 0},        {"0x", 0},      {"&h", 0},
      {"ff", 0xFF},  {"  ", 0},      {"0x0x", 0},    {"\xC1\xC2", 0}, {"1 ", 0x01},
  };
  for (const Case &c : cases) EXPECT_EQ(HexToChar(ExactText(c.text).get()), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(HexToChar(nullptr), 0);
}

TEST(HexReaders, HexToIntReadsOneToFourCharacters) {
  struct Case {
    const char *text;
    int expected;
  };
  const Case cases[] = {
      {"ABC", 2748},  {"ABCD", 43981}, {"12345", 0}, {"&hFFFF", 65535}, {"0x1", 1},
      {"1", 1},       {"G1", 0},       {"", 0},      {"0x", 0},         {" 1", 0},
      {"1G", 1},      {"1G2", 256},    {"12G4", 0x1200}, {"A 12", 0x0A12}, {"10x", 256},
      {"FF", 255},
  };
  for (const Case &c : cases) EXPECT_EQ(HexToInt(ExactText(c.text).get()), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(HexToInt(nullptr), 0);
}

TEST(HexReaders, HexToLongNeedsOneToEightValidDigits) {
  struct Case {
    const char *text;
    double expected;
  };
  const Case cases[] = {
      {"FFFFFFFF", 4294967295.0}, {"&h10", 16.0}, {"123456789", 0.0}, {"12G4", 0.0},
      {"0x80000000", 2147483648.0}, {"a", 10.0},  {"", 0.0},          {"0x", 0.0},
      {" 1", 0.0},                 {"1 ", 0.0},  {"0xFFFFFFFF1", 0.0}, {"00000000", 0.0},
  };
  for (const Case &c : cases) EXPECT_EQ(HexToLong(ExactText(c.text).get()), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(HexToLong(nullptr), 0.0);
}

TEST(HexReaders, HexToDoubleReadsUpToSixteenCharactersAsSigned64Bits) {
  struct Case {
    const char *text;
    double expected;
  };
  const Case cases[] = {
      {"100000000", 4294967296.0},
      {"FFFFFFFFFFFFFFFF", -1.0},
      {"FFFFFFFFFFFFFFFFF", 0.0},
      {"7FFFFFFFFFFFFFFF", 9223372036854775807.0},
      {"8000000000000000", -9223372036854775808.0},
      {"0x123456789", 4886718345.0},
      {"FF", 255.0},
      {"0x12345678", 305419896.0},  // the high part is only the prefix
      {"1G00000000", 0.0},          // an invalid high part counts as 0
      {"100000000G", 68719476736.0},  // an invalid low part counts as 0
      {"", 0.0},
  };
  for (const Case &c : cases) EXPECT_EQ(HexToDouble(ExactText(c.text).get()), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(HexToDouble(nullptr), 0.0);
}

TEST(HexReaders, HexToDwordGivesAll32Bits) {
  struct Case {
    const char *text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"FFFFFFFF", 0xFFFFFFFFu}, {"7fffffff", 2147483647u}, {"0x80000000", 0x80000000u},
      {"&hA", 10u},              {"", 0u},                  {"0x", 0u},
      {"123456789", 0u},         {"12 4", 0u},              {"g", 0u},
  };
  for (const Case &c : cases) EXPECT_EQ(codecs::HexToDword(ExactText(c.text).get()), c.expected) << c.text;
  EXPECT_EQ(codecs::HexToDword(nullptr), 0u);
}

TEST(HexReaders, HexToStrDecodesPairsToBinaryBytes) {
  struct Case {
    const char *hex;
    const char *expected;  // null: no result
    size_t length;
  };
  const Case cases[] = {
      {"4142", "AB", 2},     {"0041", "\0A", 2}, {"41420", nullptr, 0}, {"4", nullptr, 0},
      {"", nullptr, 0},      {"0x41", "\0A", 2}, {"&h41", "\0A", 2},   {"4G41", "\x04" "A", 2},
      {"G441", "\0A", 2},    {" 1ff", "\x01\xFF", 2},
  };
  for (const Case &c : cases) {
    ByteString result = HexToStr(ExactText(c.hex).get());
    if (!c.expected) {
      EXPECT_EQ(result, nullptr) << c.hex;
      platform::FreeString(result);
    } else {
      EXPECT_EQ(Take(result), std::string(c.expected, c.length)) << c.hex;
    }
  }
  EXPECT_EQ(HexToStr(nullptr), nullptr);
}

// ---- round trips ---------------------------------------------------------------------

TEST(HexRoundTrips, RandomBytesSurviveStrToHexAndHexToStr) {
  std::mt19937 rng(4242);
  for (int i = 0; i < 2000; ++i) {
    std::string data(rng() % 300 + 1, '\0');
    for (char &c : data) c = static_cast<char>(rng());
    OwnedString bytes(data);
    std::string hex = Take(StrToHex(bytes.handle, 0, 0));
    ASSERT_EQ(hex.size(), data.size() * 2);
    ASSERT_EQ(Take(HexToStr(hex.c_str())), data);

    int16_t line = static_cast<int16_t>(rng() % 40 + 1);
    std::string broken = Take(StrToHex(bytes.handle, 0, line));
    size_t breaks = (data.size() - 1) / static_cast<size_t>(line);
    ASSERT_EQ(broken.size(), data.size() * 2 + breaks * 2);
    std::string joined;
    for (char c : broken)
      if (c != '\r' && c != '\n') joined.push_back(c);
    ASSERT_EQ(joined, hex);
  }
}

TEST(HexRoundTrips, NumbersSurviveTheirWritersAndReaders) {
  std::mt19937_64 rng(1995);
  for (int v = 0; v < 256; ++v) {
    std::string two = Take(CharToHex(static_cast<int16_t>(v)));
    ASSERT_EQ(HexToChar(two.c_str()), v);
  }
  for (int v = 0; v < 65536; ++v) {
    std::string four = Take(IntToHex(static_cast<int16_t>(v)));
    ASSERT_EQ(HexToInt(four.c_str()), v);
  }
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = rng();
    uint32_t value = static_cast<uint32_t>(bits);
    std::string eight = Take(LongToHex(static_cast<double>(value)));
    ASSERT_EQ(HexToLong(eight.c_str()), static_cast<double>(value));
    ASSERT_EQ(codecs::HexToDword(eight.c_str()), value);
    ASSERT_EQ(std::strtoul(eight.c_str(), nullptr, 16), value);

    char sixteen[17];
    std::snprintf(sixteen, sizeof sixteen, "%016llX", static_cast<unsigned long long>(bits));
    ASSERT_EQ(HexToDouble(sixteen), static_cast<double>(static_cast<int64_t>(bits))) << sixteen;

    int16_t base = static_cast<int16_t>(rng() % 15 + 2);
    std::string digits = Take(BaseConv(value, base));
    ASSERT_EQ(std::strtoul(digits.c_str(), nullptr, base), value) << digits << " base " << base;
    ASSERT_TRUE(digits == "0" || digits[0] != '0') << digits;

    uint64_t wide = bits & ((uint64_t{1} << 52) - 1);
    std::string wideDigits = Take(BaseConvDouble(static_cast<double>(wide), base));
    ASSERT_EQ(std::strtoull(wideDigits.c_str(), nullptr, base), wide) << wideDigits;

    std::string binary = Take(Bin32(static_cast<int32_t>(value)));
    ASSERT_EQ(static_cast<uint32_t>(BinToDec(binary.c_str())), value);
    std::string trimmed = Take(DecToBin(static_cast<int32_t>(value), -1));
    ASSERT_EQ(static_cast<uint32_t>(BinToDec(("&b" + trimmed).c_str())), value);
  }
}

// ---- other bases -------------------------------------------------------------------------

TEST(OtherBases, BaseConvWritesDigitsWithoutLeadingZeros) {
  struct Case {
    const char *what;
    ByteString result;
    const char *expected;  // null: no result
  };
  const Case cases[] = {
      {"BaseConv(255, 16)", BaseConv(255, 16), "FF"},
      {"BaseConv(255, 2)", BaseConv(255, 2), "11111111"},
      {"BaseConv(-1, 16)", BaseConv(static_cast<uint32_t>(-1), 16), "FFFFFFFF"},
      {"BaseConv(-1, 2)", BaseConv(static_cast<uint32_t>(-1), 2), "11111111111111111111111111111111"},
      {"BaseConv(5, 17)", BaseConv(5, 17), nullptr},
      {"BaseConv(5, 1)", BaseConv(5, 1), nullptr},
      {"BaseConv(5, -16)", BaseConv(5, -16), nullptr},
      {"BaseConv(0, 10)", BaseConv(0, 10), "0"},
      {"BaseConv(100, 10)", BaseConv(100, 10), "100"},
      {"BaseConvDouble(2^52-1, 16)", BaseConvDouble(4503599627370495.0, 16), "FFFFFFFFFFFFF"},
      {"BaseConvDouble(2^52, 16)", BaseConvDouble(4503599627370496.0, 16), nullptr},
      {"BaseConvDouble(255, 2)", BaseConvDouble(255, 2), "11111111"},
      {"BaseConvDouble(255.9, 10)", BaseConvDouble(255.9, 10), "255"},
      {"BaseConvDouble(0, 7)", BaseConvDouble(0, 7), "0"},
      {"BaseConvDouble(-0.5, 10)", BaseConvDouble(-0.5, 10), "0"},
      {"BaseConvDouble(-1, 10)", BaseConvDouble(-1, 10), nullptr},
      {"BaseConvDouble(NaN, 10)", BaseConvDouble(std::nan(""), 10), nullptr},
      {"BaseConvDouble(5, 17)", BaseConvDouble(5, 17), nullptr},
  };
  for (const Case &c : cases) {
    if (!c.expected) {
      EXPECT_EQ(c.result, nullptr) << c.what;
      platform::FreeString(c.result);
    } else {
      EXPECT_EQ(Take(c.result), c.expected) << c.what;
    }
  }
}

TEST(OtherBases, BinaryDigitsKeepOrTrimLeadingZeros) {
  struct Case {
    const char *what;
    ByteString result;
    const char *expected;
  };
  const Case cases[] = {
      {"Bin8(5)", Bin8(5), "00000101"},
      {"Bin16(-1)", Bin16(-1), "1111111111111111"},
      {"Bin16(0x8001)", Bin16(static_cast<int16_t>(0x8001)), "1000000000000001"},
      {"Bin32(1)", Bin32(1), "00000000000000000000000000000001"},
      {"DecToBin(5, 0)", DecToBin(5, 0), "00000101"},
      {"DecToBin(5, -1)", DecToBin(5, -1), "101"},
      {"DecToBin(255, 0)", DecToBin(255, 0), "11111111"},
      {"DecToBin(256, 0)", DecToBin(256, 0), "0000000100000000"},
      {"DecToBin(65536, 0)", DecToBin(65536, 0), "00000000000000010000000000000000"},
      {"DecToBin(-1, 0)", DecToBin(-1, 0), "11111111111111111111111111111111"},
      {"DecToBin(0, 1)", DecToBin(0, 1), ""},
  };
  for (const Case &c : cases) EXPECT_EQ(Take(c.result), c.expected) << c.what;
  ByteString emptyResult = DecToBin(0, 1);
  EXPECT_NE(emptyResult, nullptr) << "0 trimmed is an empty ByteString, not null";
  platform::FreeString(emptyResult);
}

TEST(OtherBases, BinToDecReadsTheLeadingBinaryRun) {
  struct Case {
    const char *text;
    int32_t expected;
  };
  const Case cases[] = {
      {"101", 5},  {"&b101", 5},   {"&B101", 5}, {"10x1", 2}, {"&b", 0},   {"", 0},
      {"x101", 0}, {"&b2", 0},     {"0", 0},     {"11111111111111111111111111111111", -1},
      {"10000000000000000000000000000000", static_cast<int32_t>(0x80000000u)},
      {"1" "00000000000000000000000000000101", 5},  // 33 digits keep their low 32 bits
  };
  for (const Case &c : cases) EXPECT_EQ(BinToDec(ExactText(c.text).get()), c.expected) << c.text;
  EXPECT_EQ(BinToDec(nullptr), 0);
}

// ---- byte order and divisors ---------------------------------------------------------------

TEST(ByteOrder, RotationsChangeTheirArgumentInPlace) {
  uint8_t byte = 0x12;
  EXPECT_EQ(RotateByte(&byte), 0x21);
  EXPECT_EQ(byte, 0x21);
  int16_t word = 0x1234;
  EXPECT_EQ(RotateInt(&word), 0x3412);
  EXPECT_EQ(word, 0x3412);
  int32_t longValue = 0x12345678;
  EXPECT_EQ(RotateLong(&longValue), 0x78563412);
  EXPECT_EQ(longValue, 0x78563412);
  int32_t high = static_cast<int32_t>(0x80000001u);
  EXPECT_EQ(RotateLong(&high), 0x01000080);
  EXPECT_EQ(RotateByte(nullptr), 0);
  EXPECT_EQ(RotateInt(nullptr), 0);
  EXPECT_EQ(RotateLong(nullptr), 0);
}

TEST(Divisors, EuclidWithTheRemainderSign) {
  EXPECT_EQ(Gcd(12, 18), 6);
  EXPECT_EQ(Gcd(18, 12), 6);
  EXPECT_EQ(Gcd(7, 0), 7);
  EXPECT_EQ(Gcd(7, -3), 7);
  EXPECT_EQ(Gcd(-12, 18), 18);
  EXPECT_EQ(Gcd(17, 5), 1);
  EXPECT_EQ(Gcd(std::numeric_limits<int32_t>::min(), 1), 1);
  EXPECT_EQ(GcdDouble(12, 18), 6.0);
  EXPECT_EQ(GcdDouble(7, 0), 7.0);
  EXPECT_EQ(GcdDouble(7.5, 2.5), 2.5);
  EXPECT_EQ(GcdDouble(7, std::nan("")), 7.0);
}

}  // namespace
