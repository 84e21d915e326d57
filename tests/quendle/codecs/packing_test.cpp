#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/files.h"
#include "quendle.h"
#include "support/bytestring_support.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::OwnedString;
using testing_support::Take;

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

// ---- packing ----------------------------------------------------------------------

struct PackCase {
  const char *what;
  ByteString (*pack)();
  std::string bytes;
};

TEST(Packing, WritesLittleEndianBytes) {
  const PackCase cases[] = {
      {"Mki(1)", [] { return Mki(1); }, Bytes({0x01, 0, 0, 0})},
      {"Mki(-1)", [] { return Mki(-1); }, Bytes({0xFF, 0xFF, 0, 0})},
      {"Mki(0x1234)", [] { return Mki(0x1234); }, Bytes({0x34, 0x12, 0, 0})},
      {"Mki(-32768)", [] { return Mki(-32768); }, Bytes({0x00, 0x80, 0, 0})},
      {"Mkl(256)", [] { return Mkl(256); }, Bytes({0x00, 0x01, 0, 0})},
      {"Mkl(-2)", [] { return Mkl(-2); }, Bytes({0xFE, 0xFF, 0xFF, 0xFF})},
      {"Mkl(0x12345678)", [] { return Mkl(0x12345678); }, Bytes({0x78, 0x56, 0x34, 0x12})},
      {"Mkf(1.0)", [] { return Mkf(1.0f); }, Bytes({0x00, 0x00, 0x80, 0x3F})},
      {"Mkf(-2.5)", [] { return Mkf(-2.5f); }, Bytes({0x00, 0x00, 0x20, 0xC0})},
      {"Mkd(1.0)", [] { return Mkd(1.0); }, Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F})},
      {"Mkd(-0.0)", [] { return Mkd(-0.0); }, Bytes({0, 0, 0, 0, 0, 0, 0, 0x80})},
  };
  for (const PackCase &c : cases) EXPECT_EQ(Take(c.pack()), c.bytes) << c.what;
}

TEST(Packing, ReadsLittleEndianBytesAndRefusesShortInput) {
  struct IntCase {
    const char *what;
    int32_t(QCALL *read)(const char *);
    std::string bytes;
    int32_t expected;
  };
  const IntCase cases[] = {
      {"Cvi FF FF", Cvi, Bytes({0xFF, 0xFF}), -1},
      {"Cvi 00 01", Cvi, Bytes({0x00, 0x01}), 256},
      {"Cvi 00 80", Cvi, Bytes({0x00, 0x80}), -32768},
      {"Cvi FF 7F", Cvi, Bytes({0xFF, 0x7F}), 32767},
      {"Cvi reads two bytes of four", Cvi, Bytes({0x02, 0x00, 0x7F, 0x7F}), 2},
      {"Cvi of one byte", Cvi, Bytes({0x05}), 0},
      {"Cvl 00 01 00 00", Cvl, Bytes({0x00, 0x01, 0x00, 0x00}), 256},
      {"Cvl FF FF FF FF", Cvl, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1},
      {"Cvl of two bytes", Cvl, Bytes({0x01, 0x02}), 0},
      {"Cvl of three bytes", Cvl, Bytes({0x01, 0x02, 0x03}), 0},
  };
  for (const IntCase &c : cases) {
    OwnedString packed(c.bytes);
    EXPECT_EQ(c.read(packed.handle), c.expected) << c.what;
  }
  EXPECT_EQ(Cvi(nullptr), 0);
  EXPECT_EQ(Cvl(nullptr), 0);
  EXPECT_EQ(Cvf(nullptr), 0.0f);
  EXPECT_EQ(Cvd(nullptr), 0.0);
  OwnedString seven(std::string(7, '\x11'));
  EXPECT_EQ(Cvd(seven.handle), 0.0);
  OwnedString three(std::string(3, '\x11'));
  EXPECT_EQ(Cvf(three.handle), 0.0f);
  OwnedString one(Bytes({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
  EXPECT_EQ(Cvd(one.handle), 1.0);
}

TEST(Packing, EveryIntegerRoundTrips) {
  for (int v = -32768; v <= 32767; ++v) {
    OwnedString packed(Take(Mki(static_cast<int16_t>(v))));
    ASSERT_EQ(Cvi(packed.handle), v);
  }
}

TEST(Packing, RandomValuesRoundTripBitForBit) {
  std::mt19937_64 rng(20110401);
  for (int i = 0; i < 20000; ++i) {
    uint64_t bits = rng();
    int32_t l = static_cast<int32_t>(bits);
    OwnedString packedLong(Take(Mkl(l)));
    ASSERT_EQ(Cvl(packedLong.handle), l);

    float f;
    uint32_t fbits = static_cast<uint32_t>(bits >> 32);
    std::memcpy(&f, &fbits, 4);
    if (std::isnan(f)) continue;  // a NaN may come back with its quiet bit set
    OwnedString packedFloat(Take(Mkf(f)));
    float back = Cvf(packedFloat.handle);
    ASSERT_EQ(std::memcmp(&back, &f, 4), 0) << fbits;

    double d;
    std::memcpy(&d, &bits, 8);
    if (std::isnan(d)) continue;
    OwnedString packedDouble(Take(Mkd(d)));
    double backDouble = Cvd(packedDouble.handle);
    ASSERT_EQ(std::memcmp(&backDouble, &d, 8), 0) << bits;
  }
}

// ---- AddString and AddBinaryString ---------------------------------------------------

TEST(AddString, JoinsTextAndHandsOverTheDestination) {
  OwnedString dest("ab");
  ByteString result = AddString(&dest.handle, "cd");
  EXPECT_EQ(dest.handle, nullptr) << "the caller's variable is cleared until it assigns the result";
  dest.handle = result;
  EXPECT_EQ(dest.Bytes(), "abcd");
}

TEST(AddString, StopsBothPartsAtTheirFirstZeroByte) {
  struct Case {
    std::string dest;
    const char *text;
    std::string expected;
  };
  const Case cases[] = {
      {Bytes({0x61, 0x00, 0x62}), "c", Bytes({0x61, 0x63})},
      {"ab", "c\0d", "abc"},
      {Bytes({0x00, 0x62}), "c", "c"},
      {"ab", "", "ab"},
      {"", "xy", "xy"},
  };
  for (const Case &c : cases) {
    OwnedString dest(c.dest);
    dest.handle = AddString(&dest.handle, c.text);
    EXPECT_EQ(dest.Bytes(), c.expected) << c.text;
  }
}

TEST(AddString, NullArgumentsFollowTheirOwnRules) {
  EXPECT_EQ(AddString(nullptr, "x"), nullptr);

  OwnedString empty;
  EXPECT_EQ(AddString(&empty.handle, "x"), nullptr) << "nothing is appended to a null destination";
  EXPECT_EQ(AddString(&empty.handle, nullptr), nullptr);

  // A null text copies the destination's whole ByteString, zero bytes included,
  // and leaves the caller's string in place.
  OwnedString dest(Bytes({0x61, 0x00, 0x62}));
  ByteString before = dest.handle;
  EXPECT_EQ(Take(AddString(&dest.handle, nullptr)), Bytes({0x61, 0x00, 0x62}));
  EXPECT_EQ(dest.handle, before);
}

TEST(AddString, MayAppendTheDestinationToItself) {
  OwnedString dest("xyz");
  dest.handle = AddString(&dest.handle, dest.handle);
  EXPECT_EQ(dest.Bytes(), "xyzxyz");
}

TEST(AddBinaryString, JoinsEveryByte) {
  struct Case {
    std::string dest;
    std::string source;
    int32_t count;
    std::string expected;
  };
  const Case cases[] = {
      {Bytes({0x61, 0x00, 0x62}), Bytes({0x00, 0x63}), 2, Bytes({0x61, 0x00, 0x62, 0x00, 0x63})},
      {Bytes({0x61, 0x00, 0x62}), Bytes({0x00, 0x63}), 0, Bytes({0x61, 0x00, 0x62, 0x00, 0x63})},
      {"ab", "cdef", 1, "abc"},
      {"", Bytes({0x00}), 0, Bytes({0x00})},
  };
  for (const Case &c : cases) {
    OwnedString dest(c.dest);
    OwnedString source(c.source);
    ByteString result = AddBinaryString(&dest.handle, source.handle, c.count);
    EXPECT_EQ(dest.handle, nullptr);
    dest.handle = result;
    EXPECT_EQ(dest.Bytes(), c.expected);
    EXPECT_EQ(source.Bytes(), c.source) << "the source is only read";
  }
}

TEST(AddBinaryString, RefusesWithoutTouchingTheDestination) {
  OwnedString source("cd");
  EXPECT_EQ(AddBinaryString(nullptr, source.handle, 0), nullptr);
  OwnedString empty;
  EXPECT_EQ(AddBinaryString(&empty.handle, source.handle, 0), nullptr);

  OwnedString dest(Bytes({0x61, 0x00}));
  ByteString before = dest.handle;
  EXPECT_EQ(AddBinaryString(&dest.handle, source.handle, -1), nullptr);
  EXPECT_EQ(dest.handle, before);
  EXPECT_EQ(Take(AddBinaryString(&dest.handle, nullptr, 5)), Bytes({0x61, 0x00}));
  EXPECT_EQ(dest.handle, before);
}

TEST(AddBinaryString, BuildsTheSameBytesAsAStringAppendOverRandomPieces) {
  std::mt19937 rng(137);
  OwnedString built(std::string{});
  std::string expected;
  for (int i = 0; i < 300; ++i) {
    std::string piece(rng() % 40 + 1, '\0');
    for (char &c : piece) c = static_cast<char>(rng());
    OwnedString source(piece);
    int32_t count = static_cast<int32_t>(rng() % piece.size()) + 1;
    built.handle = AddBinaryString(&built.handle, source.handle, count);
    expected += piece.substr(0, static_cast<size_t>(count));
    ASSERT_EQ(built.Bytes(), expected);
  }
}

// ---- AddHugeBinaryString ----------------------------------------------------------------

class AddHugeBinaryStringTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    temp_ = std::make_unique<testing_support::ScopedEnv>("TEMP", Root());
  }
  void TearDown() override {
    temp_.reset();
    ScratchDirTest::TearDown();
  }

 private:
  std::unique_ptr<testing_support::ScopedEnv> temp_;
};

TEST_F(AddHugeBinaryStringTest, JoinsThroughAFileAndReleasesBothInputs) {
  std::string first = Bytes({0x61, 0x00, 0x62});
  std::string second = Bytes({0x00, 0x63, 0xFF});
  OwnedString dest(first);
  OwnedString source(second);
  int16_t error = -7;
  ByteString result = AddHugeBinaryString(&dest.handle, &source.handle, 0, &error);
  EXPECT_EQ(dest.handle, nullptr);
  EXPECT_EQ(source.handle, nullptr);
  EXPECT_EQ(Take(result), first + second);
  EXPECT_EQ(error, -7) << "the error is not reset on success";
  EXPECT_EQ(EntryCount(), 0u) << "the temporary file is deleted";
}

TEST_F(AddHugeBinaryStringTest, TakesCountBytesOfTheSource) {
  OwnedString dest("head");
  OwnedString source("tail");
  dest.handle = AddHugeBinaryString(&dest.handle, &source.handle, 2, nullptr);
  EXPECT_EQ(dest.Bytes(), "headta");
  EXPECT_EQ(source.handle, nullptr);
}

TEST_F(AddHugeBinaryStringTest, JoinsAStringWithItself) {
  OwnedString dest("abc");
  ByteString same = dest.handle;
  ByteString alias = same;
  ByteString result = AddHugeBinaryString(&dest.handle, &alias, 0, nullptr);
  EXPECT_EQ(Take(result), "abcabc");
  EXPECT_EQ(dest.handle, nullptr);
  EXPECT_EQ(alias, nullptr);
}

TEST_F(AddHugeBinaryStringTest, RefusesAndLeavesBothStrings) {
  OwnedString dest("ab");
  OwnedString source("cd");
  OwnedString empty;
  ByteString destBefore = dest.handle, sourceBefore = source.handle;
  EXPECT_EQ(AddHugeBinaryString(nullptr, &source.handle, 0, nullptr), nullptr);
  EXPECT_EQ(AddHugeBinaryString(&dest.handle, nullptr, 0, nullptr), nullptr);
  EXPECT_EQ(AddHugeBinaryString(&empty.handle, &source.handle, 0, nullptr), nullptr);
  EXPECT_EQ(AddHugeBinaryString(&dest.handle, &source.handle, 3, nullptr), nullptr)
      << "a count past the source's end is not read";
  EXPECT_EQ(AddHugeBinaryString(&dest.handle, &source.handle, -1, nullptr), nullptr);
  EXPECT_EQ(dest.handle, destBefore);
  EXPECT_EQ(source.handle, sourceBefore);
  EXPECT_EQ(dest.Bytes(), "ab");
  EXPECT_EQ(source.Bytes(), "cd");
  EXPECT_EQ(EntryCount(), 0u);
}

TEST_F(AddHugeBinaryStringTest, RefusesWithoutATemporaryDirectory) {
  testing_support::ScopedEnv temp("TEMP", Path("missing"));
  testing_support::ScopedEnv tmp("TMP", "");
  OwnedString dest("ab");
  OwnedString source("cd");
  EXPECT_EQ(AddHugeBinaryString(&dest.handle, &source.handle, 0, nullptr), nullptr);
  EXPECT_EQ(dest.Bytes(), "ab");
  EXPECT_EQ(source.Bytes(), "cd");
}

uint64_t gPretendFreeBytes = 0;
bool PretendFreeSpace(const char *, uint64_t *bytes) {
  *bytes = gPretendFreeBytes;
  return true;
}

TEST_F(AddHugeBinaryStringTest, ReportsADriveWithoutRoomForTheJoinedStringPlusTenMegabytes) {
  if (platform::PathSeparator() != '\\') GTEST_SKIP() << "temporary names carry no drive letter on Linux";
  ASSERT_NE(Root().find(':'), std::string::npos) << "a Windows temporary directory starts with its drive";
  platform::SetFreeSpaceForTesting(PretendFreeSpace);
  OwnedString dest("ab");
  OwnedString source("cde");
  int16_t error = 0;

  gPretendFreeBytes = 10485760 + 5 - 1;
  EXPECT_EQ(AddHugeBinaryString(&dest.handle, &source.handle, 0, &error), nullptr);
  EXPECT_EQ(error, 5);
  EXPECT_EQ(dest.Bytes(), "ab");
  EXPECT_EQ(source.Bytes(), "cde");

  gPretendFreeBytes = 10485760 + 5;
  error = 0;
  dest.handle = AddHugeBinaryString(&dest.handle, &source.handle, 0, &error);
  platform::SetFreeSpaceForTesting(nullptr);
  EXPECT_EQ(dest.Bytes(), "abcde");
  EXPECT_EQ(error, 0);
}

// ---- InsertString ---------------------------------------------------------------------

TEST(InsertString, PlacesTheInsertionByPosition) {
  struct Case {
    const char *text;
    const char *insertion;
    int32_t position;
    const char *expected;  // null: no result
  };
  const Case cases[] = {
      {"abc", "X", 1, "Xabc"},  {"abc", "X", 2, "aXbc"}, {"abc", "X", 3, "abXc"},
      {"abc", "X", 4, "abcX"},  {"abc", "X", 99, "abcX"}, {"abc", "X", 0, "Xabc"},
      {"abc", "X", -1, nullptr}, {"", "X", 3, "X"},       {"abc", "", 2, "abc"},
      {"abc", nullptr, 2, "abc"}, {"", "", 1, nullptr},   {"", nullptr, 1, nullptr},
      {nullptr, "X", 1, nullptr}, {"ab\0c", "XY\0Z", 2, "aXYb"},
      {"abc", "XYZ", 0x7FFFFFFF, "abcXYZ"},
  };
  for (const Case &c : cases) {
    ByteString result = InsertString(c.text, c.insertion, c.position);
    if (!c.expected) {
      EXPECT_EQ(result, nullptr) << (c.text ? c.text : "(null)") << " @" << c.position;
      platform::FreeString(result);
    } else {
      EXPECT_EQ(Take(result), c.expected) << c.text << " @" << c.position;
    }
  }
}

}  // namespace
