#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>

#include "quendle.h"
#include "support/bytestring_support.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::Take;

bool IsUpperHex(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// ---- CreateGUID ----------------------------------------------------------------------

TEST(CreateGUID, WritesThirtyTwoUpperCaseDigitsWithoutDashes) {
  std::string guid = Take(CreateGUID(0));
  ASSERT_EQ(guid.size(), 32u);
  for (char c : guid) EXPECT_TRUE(IsUpperHex(c)) << guid;
}

TEST(CreateGUID, AnyOtherFormatGroupsWithDashes) {
  for (int16_t format : {1, -1, 2, 32767}) {
    std::string guid = Take(CreateGUID(format));
    ASSERT_EQ(guid.size(), 36u) << format;
    for (size_t i = 0; i < guid.size(); ++i) {
      if (i == 8 || i == 13 || i == 18 || i == 23)
        EXPECT_EQ(guid[i], '-') << guid;
      else
        EXPECT_TRUE(IsUpperHex(guid[i])) << guid;
    }
  }
}

TEST(CreateGUID, EveryCallGivesANewIdentifier) {
  std::set<std::string> seen;
  for (int i = 0; i < 1000; ++i) seen.insert(Take(CreateGUID(0)));
  EXPECT_EQ(seen.size(), 1000u);
}

// ---- ReadFileToString ------------------------------------------------------------------

using ReadFileToStringTest = testing_support::ScratchDirTest;

TEST_F(ReadFileToStringTest, ReadsTheWholeFileOrItsFirstPart) {
  const std::string content("0123\0" "56789", 10);
  WriteFile("ten.bin", content);
  struct Case {
    int32_t maximum;
    std::string expected;
  };
  const Case cases[] = {{0, content}, {-5, content}, {4, content.substr(0, 4)}, {20, content},
                        {10, content}, {9, content.substr(0, 9)}, {1, "0"}};
  for (const Case &c : cases) {
    int16_t error = -1;
    EXPECT_EQ(Take(ReadFileToString(Path("ten.bin").c_str(), c.maximum, &error)), c.expected) << c.maximum;
    EXPECT_EQ(error, 0) << c.maximum;
  }
  EXPECT_EQ(Take(ReadFileToString(Path("ten.bin").c_str(), 0, nullptr)), content);
}

TEST_F(ReadFileToStringTest, ReadsAFileLargerThanOneReadBuffer) {
  std::string content(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>(i * 131 + (i >> 9));
  WriteFile("big.bin", content);
  EXPECT_EQ(Take(ReadFileToString(Path("big.bin").c_str(), 0, nullptr)), content);
}

TEST_F(ReadFileToStringTest, ReportsWhyNothingWasRead) {
  WriteFile("empty.txt", "");
  MakeDir("folder");
  struct Case {
    const char *what;
    std::string name;
    int16_t error;
  };
  const Case cases[] = {
      {"an empty file is no error", Path("empty.txt"), 0},
      {"a missing file", Path("missing.txt"), 2},
      {"a file in a missing directory", Path("nowhere/missing.txt"), 2},
      {"an empty name", "", 1},
      {"a directory cannot be opened as a file", Path("folder"), 3},
  };
  for (const Case &c : cases) {
    int16_t error = -1;
    ByteString result = ReadFileToString(c.name.c_str(), 0, &error);
    EXPECT_EQ(result, nullptr) << c.what;
    EXPECT_EQ(error, c.error) << c.what;
  }
  int16_t error = -1;
  EXPECT_EQ(ReadFileToString(nullptr, 0, &error), nullptr);
  EXPECT_EQ(error, 1);
  EXPECT_EQ(ReadFileToString(Path("missing.txt").c_str(), 0, nullptr), nullptr);
}

TEST_F(ReadFileToStringTest, LeavesTheSystemErrorOfAMissingFile) {
  EXPECT_EQ(ReadFileToString(Path("missing.txt").c_str(), 0, nullptr), nullptr);
  EXPECT_EQ(GetError(), 2u);
}

// ---- FileLength --------------------------------------------------------------------------

using FileLengthTest = testing_support::ScratchDirTest;

TEST_F(FileLengthTest, GivesTheSizeOfWhatTheSearchFindsFirst) {
  WriteFile("seven.txt", "1234567");
  WriteFile("three.doc", "abc");
  WriteFile("empty.bin", "");
  MakeDir("folder");
  MakeDir("folder.txt.d");
  struct Case {
    std::string path;
    int32_t expected;
  };
  const Case cases[] = {
      {Path("seven.txt"), 7}, {Path("three.doc"), 3},   {Path("empty.bin"), 0},
      {Path("*.txt"), 7},     {Path("*.DOC"), 3},       {Path("t?ree.*"), 3},
      {Path("folder"), 0},    {Path("missing"), 0},     {Path("*.zip"), 0},
      {"", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(FileLength(c.path.c_str()), c.expected) << c.path;
  EXPECT_EQ(FileLength(nullptr), 0);
}

// Files of 2 GB and more, made sparse so they take no disk space.
using LargeFileTest = testing_support::ScratchDirTest;

TEST_F(LargeFileTest, SizesBeyondASignedLongReadNegative) {
  WriteFile("three.gig", "");
  WriteFile("five.gig", "");
  std::error_code failed;
  std::filesystem::resize_file(Path("three.gig"), 3ull << 30, failed);
  if (!failed) std::filesystem::resize_file(Path("five.gig"), (5ull << 30) + 10, failed);
  if (failed) GTEST_SKIP() << "this file system cannot hold sparse files of several GB: " << failed.message();

  EXPECT_EQ(FileLength(Path("three.gig").c_str()), static_cast<int32_t>(0xC0000000u));
  EXPECT_EQ(FileLength(Path("five.gig").c_str()), -1) << "not the 10 bytes of its low half";
}

TEST_F(LargeFileTest, ReadsTheFirstPartOfAFileTooLargeForAString) {
  WriteFile("five.gig", "head");
  std::error_code failed;
  std::filesystem::resize_file(Path("five.gig"), (5ull << 30) + 10, failed);
  if (failed) GTEST_SKIP() << "this file system cannot hold sparse files of several GB: " << failed.message();

  int16_t error = -1;
  EXPECT_EQ(Take(ReadFileToString(Path("five.gig").c_str(), 6, &error)), std::string("head\0\0", 6));
  EXPECT_EQ(error, 0);
  EXPECT_EQ(ReadFileToString(Path("five.gig").c_str(), 0, &error), nullptr)
      << "the whole file does not fit a ByteString; its low 32 bits must not be taken for its size";
  EXPECT_EQ(error, 4);
}

}  // namespace
