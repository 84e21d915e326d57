#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/bytestring_support.h"
#include "platform/automation.h"
#include "quendle.h"

using testing_support::OwnedString;
using testing_support::Take;

TEST(SysLen, ReadsTheLengthPrefixNotTheTerminator) {
  EXPECT_EQ(SysLen(nullptr), 0);
  OwnedString withZero(std::string("ab\0cd", 5));
  EXPECT_EQ(SysLen(withZero.handle), 5);
  OwnedString empty{std::string()};
  EXPECT_EQ(SysLen(empty.handle), 0);
}

TEST(AllocString, FillsOnlyWithAsciiValues) {
  EXPECT_EQ(AllocString(0, 65), nullptr);
  EXPECT_EQ(AllocString(-3, 65), nullptr);
  EXPECT_EQ(Take(AllocString(6, 65)), "AAAAAA");
  EXPECT_EQ(Take(AllocString(1, 127)), "\x7f");
  // Fill 0 and 128..255 leave the content unspecified; only the length is defined.
  EXPECT_EQ(Take(AllocString(3, 0)).size(), 3u);
  EXPECT_EQ(Take(AllocString(3, 200)).size(), 3u);
}

TEST(SliceLeft, RemovesLeadingBytesOrRefuses) {
  struct Case {
    int32_t count;
    int32_t result;
    std::string left;
  } cases[] = {
      {2, -1, std::string("c\0ef", 4)},
      {5, -1, "f"},
      {6, 0, std::string("ab""c\0ef", 6)},
      {7, 0, std::string("ab""c\0ef", 6)},
      {0, 0, std::string("ab""c\0ef", 6)},
      {-1, 0, std::string("ab""c\0ef", 6)},
  };
  for (const auto &c : cases) {
    OwnedString str(std::string("ab""c\0ef", 6));
    EXPECT_EQ(SliceLeft(&str.handle, c.count), c.result) << "count " << c.count;
    EXPECT_EQ(str.Bytes(), c.left) << "count " << c.count;
  }
  EXPECT_EQ(SliceLeft(nullptr, 1), 0);
  ByteString null = nullptr;
  EXPECT_EQ(SliceLeft(&null, 1), 0);
  EXPECT_EQ(null, nullptr);
}

TEST(WordAndByteHalves, ExtractTheirBits) {
  EXPECT_EQ(HiWord(0x12345678), 0x1234);
  EXPECT_EQ(HiWord(-1), 65535);
  EXPECT_EQ(HiByte(0x1234), 0x12);
  EXPECT_EQ(HiByte(-1), 0xFF);
  EXPECT_EQ(LoWord(0x12345678), 0x5678);
  EXPECT_EQ(LoWord(0x0000FFFF), -1);
  EXPECT_EQ(LoByte(0x1234), 0x34);
  EXPECT_EQ(LoByte(-1), 0xFF);
}

namespace {
QVariant MakeVariant(uint16_t type) {
  QVariant v;
  std::memset(&v, 0, sizeof v);
  v.vt = type;
  return v;
}
}  // namespace

TEST(IsValidVariant, ChecksTheTypeWord) {
  EXPECT_EQ(IsValidVariant(nullptr), -1);
  struct Case {
    uint16_t type;
    int16_t valid;
  } cases[] = {{QVT_I4, -1},    {0x2008, -1}, {0x400C, -1}, {72, -1}, {0x9003, -1},
               {73, 0},         {0x0100, 0},  {0x0803, 0},  {0x20FF, 0}};
  for (const auto &c : cases) {
    QVariant v = MakeVariant(c.type);
    EXPECT_EQ(IsValidVariant(&v), c.valid) << std::hex << c.type;
  }
}

TEST(ElementCount, CountsTheArrayHeldDirectlyOrByReference) {
  QSafeArray descriptor{};
  descriptor.cDims = 1;
  descriptor.cbElements = 4;
  descriptor.rgsabound[0].cElements = 10;
  QSafeArray *array = &descriptor;

  QVariant direct = MakeVariant(QVT_ARRAY | QVT_I4);
  direct.data.parray = array;
  EXPECT_EQ(ElementCount(&direct), 10);

  QVariant byRef = MakeVariant(QVT_ARRAY | QVT_BYREF | QVT_I4);
  byRef.data.byref = &array;
  EXPECT_EQ(ElementCount(&byRef), 10);

  QVariant nullRef = MakeVariant(QVT_ARRAY | QVT_BYREF | QVT_I4);
  EXPECT_EQ(ElementCount(&nullRef), 0);
  QVariant number = MakeVariant(QVT_I4);
  EXPECT_EQ(ElementCount(&number), 0);
  QVariant invalid = MakeVariant(0x0100 | QVT_ARRAY);
  invalid.data.parray = array;
  EXPECT_EQ(ElementCount(&invalid), 0);
  EXPECT_EQ(ElementCount(nullptr), 0);
}

TEST(Crash, StripsOneLeadingQuoteInPlace) {
  OwnedString quoted(std::string("\"abc"));
  EXPECT_EQ(Take(Crash(&quoted.handle)), "abc");
  EXPECT_EQ(quoted.Bytes(), std::string("abc\0", 4)) << "recorded length stays 4";

  OwnedString plain(std::string("a\"bc"));
  EXPECT_EQ(Take(Crash(&plain.handle)), "a\"bc");
  EXPECT_EQ(plain.Bytes(), "a\"bc");

  ByteString null = nullptr;
  EXPECT_EQ(Crash(&null), nullptr);
}

namespace {
std::vector<std::u16string> gFooArguments;
void QCALL RecordFooArguments(QOleChar *first, QOleChar *second) {
  for (QOleChar *s : {first, second}) {
    gFooArguments.emplace_back(reinterpret_cast<const char16_t *>(s), platform::WideStringLength(s));
  }
}
}  // namespace

TEST(Foo, CallsBackOnceWithTwoAutomationStrings) {
  gFooArguments.clear();
  Foo(RecordFooArguments);
  ASSERT_EQ(gFooArguments.size(), 2u);
  EXPECT_EQ(gFooArguments[0], u"Oh hai!");
  EXPECT_EQ(gFooArguments[1], u"I can haz BSTR?");
}

TEST(GetError, ReportsTheLastSystemError) {
  // A missing module handle fails the platform's file-name lookup.
  EXPECT_EQ(GetAppFileName(0x10), nullptr);
  EXPECT_EQ(GetError(), 126u) << "the module-not-found code";
}
