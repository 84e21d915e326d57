// ANSI code page conversions (Windows-1252): the byte table, its five
// unassigned bytes, what UTF-16 without a byte of its own becomes, and the
// counting conventions of the size query and the terminator.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "platform/system.h"

namespace {

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInsufficientBuffer = 122;

const struct {
  unsigned char byte;
  QOleChar unit;
} kByteTable[] = {
    {0x00, 0x0000}, {0x41, 0x0041}, {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A},
    {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6},
    {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D},
    {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D},
    {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161},
    {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0},
    {0xA4, 0x00A4}, {0xE9, 0x00E9}, {0xFF, 0x00FF},
};

TEST(CodePage, BytesMapThroughTheTableAndBack) {
  // 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no character in 1252; they become
  // the control code of the same value and come back as the same byte.
  for (const auto &c : kByteTable) {
    SCOPED_TRACE(testing::Message() << "byte 0x" << std::hex << int{c.byte});
    const char byte = static_cast<char>(c.byte);
    QOleChar unit = 0xFFFF;
    ASSERT_EQ(platform::AnsiToWide(&byte, 1, &unit, 1), 1);
    EXPECT_EQ(unit, c.unit);
    char back = 'x';
    ASSERT_EQ(platform::WideToAnsi(&c.unit, 1, &back, 1), 1);
    EXPECT_EQ(static_cast<unsigned char>(back), c.byte);
  }
}

TEST(CodePage, EveryByteSurvivesTheRoundTrip) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
  std::vector<QOleChar> wide(256);
  ASSERT_EQ(platform::AnsiToWide(bytes.data(), 256, wide.data(), 256), 256);
  std::string back(256, '\0');
  ASSERT_EQ(platform::WideToAnsi(wide.data(), 256, &back[0], 256), 256);
  EXPECT_EQ(back, bytes);
}

TEST(CodePage, UnitsWithoutAByteBecomeALookAlikeOrAQuestionMark) {
  const struct {
    QOleChar unit;
    char byte;
  } cases[] = {
      {0x0100, 'A'},  // Latin A with macron: its base letter
      {0x0141, 'L'},  // L with stroke
      {0x2212, '-'},  // minus sign
      {0x2264, '='},  // less-than or equal to
      {0x3000, ' '},  // ideographic space
      {0xFF21, 'A'},  // full-width A
      {0x0080, '?'},  // a control code that 1252 spends on the euro sign
      {0x0410, '?'},  // Cyrillic A
      {0x4E2D, '?'},  // a CJK ideograph
      {0xFF1F, '?'},  // full-width question mark
      {0xD800, '?'},  // a lone high surrogate
      {0xDC00, '?'},  // a lone low surrogate
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "U+" << std::hex << c.unit);
    char byte = 'x';
    ASSERT_EQ(platform::WideToAnsi(&c.unit, 1, &byte, 1), 1);
    EXPECT_EQ(byte, c.byte);
  }
  const QOleChar pair[] = {0xD83D, 0xDE00, 0};  // one character, two units
  char out[4] = {};
  ASSERT_EQ(platform::WideToAnsi(pair, -1, out, 4), 3);
  EXPECT_STREQ(out, "??");
}

// One table drives both directions: source "a", zero, "b", "c" with its
// terminator after that.
struct CountCase {
  const char *name;
  int srcLen;
  bool withDestination;
  int capacity;
  int result;
  uint32_t error;  // 0: no error expected
};

const CountCase kCountCases[] = {
    {"size through the first zero", -1, false, 0, 2, 0},
    {"size of an explicit length", 4, false, 0, 4, 0},
    {"capacity 0 asks for the size", -1, true, 0, 2, 0},
    {"explicit length keeps the zero inside", 4, true, 4, 4, 0},
    {"exact room for the terminator", -1, true, 2, 2, 0},
    {"no room for the terminator", -1, true, 1, 0, kErrorInsufficientBuffer},
    {"room short of an explicit length", 4, true, 3, 0, kErrorInsufficientBuffer},
    {"zero length", 0, true, 8, 0, kErrorInvalidParameter},
    {"negative capacity", -1, true, -1, 0, kErrorInvalidParameter},
};

TEST(CodePage, CountingConventionsFromBytes) {
  const char source[] = {'a', '\0', 'b', 'c', '\0'};
  for (const CountCase &c : kCountCases) {
    SCOPED_TRACE(c.name);
    std::vector<QOleChar> out(8, 0xEEEE);
    platform::RecordLastError(0);
    EXPECT_EQ(platform::AnsiToWide(source, c.srcLen, c.withDestination ? out.data() : nullptr, c.capacity), c.result);
    if (c.error) {
      EXPECT_EQ(platform::LastError(), c.error);
    }
    if (c.result > 0 && c.withDestination && c.capacity > 0) {
      const QOleChar expected[] = {'a', 0, 'b', 'c'};
      for (int i = 0; i < c.result; ++i) EXPECT_EQ(out[i], expected[i]) << "unit " << i;
    }
  }
  platform::RecordLastError(0);
  QOleChar unit;
  EXPECT_EQ(platform::AnsiToWide(nullptr, 3, &unit, 1), 0);
  EXPECT_EQ(platform::LastError(), kErrorInvalidParameter);
}

TEST(CodePage, CountingConventionsFromUnits) {
  const QOleChar source[] = {'a', 0, 'b', 'c', 0};
  for (const CountCase &c : kCountCases) {
    SCOPED_TRACE(c.name);
    std::string out(8, '#');
    platform::RecordLastError(0);
    EXPECT_EQ(platform::WideToAnsi(source, c.srcLen, c.withDestination ? &out[0] : nullptr, c.capacity), c.result);
    if (c.error) {
      EXPECT_EQ(platform::LastError(), c.error);
    }
    if (c.result > 0 && c.withDestination && c.capacity > 0) {
      EXPECT_EQ(out.substr(0, static_cast<size_t>(c.result)), std::string("a\0bc", 4).substr(0, c.result));
    }
  }
  platform::RecordLastError(0);
  char byte;
  EXPECT_EQ(platform::WideToAnsi(nullptr, 3, &byte, 1), 0);
  EXPECT_EQ(platform::LastError(), kErrorInvalidParameter);
}

TEST(CodePage, TextConvertsWholeWithItsTerminator) {
  const std::string text = "Caf\xE9 \x80 5 \x93quoted\x94";
  const std::u16string expected = u"Caf\u00E9 \u20AC 5 \u201Cquoted\u201D";
  int units = platform::AnsiToWide(text.c_str(), -1, nullptr, 0);
  ASSERT_EQ(units, static_cast<int>(text.size()) + 1);
  std::vector<QOleChar> wide(static_cast<size_t>(units));
  ASSERT_EQ(platform::AnsiToWide(text.c_str(), -1, wide.data(), units), units);
  EXPECT_EQ(std::u16string(wide.begin(), wide.end() - 1), expected);
  EXPECT_EQ(wide.back(), 0);

  int bytes = platform::WideToAnsi(wide.data(), -1, nullptr, 0);
  ASSERT_EQ(bytes, units);
  std::string back(static_cast<size_t>(bytes), '#');
  ASSERT_EQ(platform::WideToAnsi(wide.data(), -1, &back[0], bytes), bytes);
  EXPECT_EQ(back, text + '\0');
}

}  // namespace
