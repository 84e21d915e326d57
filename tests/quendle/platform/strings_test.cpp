// Automation strings: the byte-length prefix, the terminator and the null
// handle, for byte strings and UTF-16 strings alike.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "automation_helpers.h"
#include "platform/automation.h"

namespace {

using platform_test::BytesOf;
using platform_test::MakeWide;
using platform_test::WideOf;

struct ByteCase {
  const char *name;
  std::string bytes;
};

const ByteCase kByteCases[] = {
    {"empty", std::string()},
    {"one byte", "a"},
    {"text", "hello"},
    {"zero bytes inside", std::string("a\0b\0c", 5)},
    {"only a zero byte", std::string(1, '\0')},
    {"high bytes", std::string(255, '\xFF')},
};

TEST(ByteStrings, KeepLengthPrefixContentAndTerminator) {
  for (const ByteCase &c : kByteCases) {
    SCOPED_TRACE(c.name);
    ByteString str = platform::AllocByteString(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()));
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(platform::ByteStringLength(str), c.bytes.size());
    uint32_t prefix;
    std::memcpy(&prefix, str - sizeof prefix, sizeof prefix);
    EXPECT_EQ(prefix, c.bytes.size()) << "the length sits in the 32 bits before the first byte";
    EXPECT_EQ(BytesOf(str), c.bytes);
    EXPECT_EQ(str[c.bytes.size()], '\0') << "a terminator follows the content";
    platform::FreeString(str);
  }
}

TEST(ByteStrings, NullSourceGivesRoomForTheWholeLength) {
  ByteString str = platform::AllocByteString(nullptr, 7);
  ASSERT_NE(str, nullptr);
  EXPECT_EQ(platform::ByteStringLength(str), 7u);
  std::memset(str, 'x', 7);
  EXPECT_EQ(str[7], '\0');
  EXPECT_EQ(BytesOf(str), "xxxxxxx");
  platform::FreeString(str);
}

TEST(ByteStrings, NullHandleIsTheEmptyString) {
  EXPECT_EQ(platform::ByteStringLength(nullptr), 0u);
  EXPECT_EQ(platform::WideStringLength(nullptr), 0u);
  platform::FreeString(nullptr);
}

TEST(ByteStrings, RefuseLengthsNoStringCanHave) {
  for (uint32_t length : {0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(length);
    EXPECT_EQ(platform::AllocByteString(nullptr, length), nullptr);
  }
  EXPECT_EQ(platform::AllocWideString(nullptr, 0x40000000u), nullptr);
  EXPECT_EQ(platform::AllocWideString(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(WideStrings, CountUnitsAndEndWithAZeroUnit) {
  const std::u16string text = u"h\u00E9llo \u20AC";
  QOleChar *str = MakeWide(text);
  ASSERT_NE(str, nullptr);
  EXPECT_EQ(platform::WideStringLength(str), text.size());
  EXPECT_EQ(platform::ByteStringLength(str), 2 * text.size());
  EXPECT_EQ(WideOf(str), text);
  EXPECT_EQ(str[text.size()], 0);
  platform::FreeString(str);
}

TEST(WideStrings, TakeOnlyTheRequestedUnits) {
  const std::u16string text = u"abcdef";
  QOleChar *str = platform::AllocWideString(reinterpret_cast<const QOleChar *>(text.data()), 3);
  ASSERT_NE(str, nullptr);
  EXPECT_EQ(WideOf(str), u"abc");
  EXPECT_EQ(str[3], 0);
  platform::FreeString(str);

  QOleChar *empty = platform::AllocWideString(nullptr, 0);
  ASSERT_NE(empty, nullptr) << "a zero-length string is a string, not the null handle";
  EXPECT_EQ(platform::WideStringLength(empty), 0u);
  EXPECT_EQ(empty[0], 0);
  platform::FreeString(empty);
}

TEST(WideStrings, ByteStringsReadAsTheirWholeUnits) {
  const struct {
    uint32_t bytes;
    uint32_t units;
  } cases[] = {{0, 0}, {1, 0}, {2, 1}, {5, 2}, {6, 3}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.bytes);
    ByteString str = platform::AllocByteString("abcdef", c.bytes);
    ASSERT_NE(str, nullptr);
    EXPECT_EQ(platform::WideStringLength(reinterpret_cast<QOleChar *>(str)), c.units);
    platform::FreeString(str);
  }
}

}  // namespace
