// pieces_test.cpp -- the tool's inner pieces that the end-to-end tests reach
// only through whole runs: the RTF wrapper and reader, the path helpers, the
// key list of the one-key question and the number grouping.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "container.h"
#include "dialogue.h"
#include "owned_string.h"
#include "paths.h"
#include "platform/files.h"

namespace {

using pixveil::OwnedString;

std::string Document(const std::string &image, bool warning) {
  int code = -1;
  OwnedString document(pixveil::WriteRtfDocument(image.data(), static_cast<int32_t>(image.size()), warning, &code));
  EXPECT_EQ(code, 0);
  return document ? std::string(document.get(), document.size()) : std::string();
}

TEST(RtfWrapper, PictureSizeDerivesFromTheByteCount) {
  const struct {
    size_t bytes;
    const char *keywords;
  } cases[] = {
      {98, "\\picw28\\pich28\\picwgoal420\\pichgoal420\\bin98 "},
      {1070, "\\picw93\\pich92\\picwgoal1395\\pichgoal1380\\bin1070 "},
  };
  for (const auto &c : cases) {
    std::string image(c.bytes, '\0');
    image[0] = 'B';
    image[1] = 'M';
    const std::string document = Document(image, true);
    const size_t at = document.find(c.keywords);
    ASSERT_NE(at, std::string::npos) << c.bytes;
    EXPECT_EQ(document.substr(at + std::strlen(c.keywords), c.bytes), image);
    EXPECT_EQ(document.substr(document.size() - 4), "\r\n}}");
    EXPECT_EQ(document.size(), at + std::strlen(c.keywords) + c.bytes + 4);
  }
}

TEST(RtfWrapper, ReaderFindsTheImageItWroteAndNothingElse) {
  const std::string image = "BM" + std::string(96, 'x');
  const std::string document = Document(image, false);
  long offset = 0;
  int32_t count = 0;
  ASSERT_EQ(pixveil::FindRtfPicture(document.data(), document.size(), &offset, &count), 1);
  EXPECT_EQ(count, 98);
  EXPECT_EQ(document.substr(static_cast<size_t>(offset), 98), image);

  const struct {
    const char *text;
    int found;
    int32_t count;
  } cases[] = {
      {"{\\RTF1 {\\PICT\\WBITMAP0\\BIN12 BM", 1, 12},
      {"{\\rtf1 {\\pict\\wbitmap1\\bin12 BM", 0, 0},
      {"{\\rtf1 {\\pict\\wbitmap0\\bin12", 0, 0},
      {"{\\rtf1 \\wbitmap0\\bin12 BM", 0, 0},
      {"{\\rtf1 {\\pict\\wbitmap0\\bin99999999999 BM", 1, 2147483647},
      {"plain {\\rtf1 {\\pict\\wbitmap0\\bin12 BM", 0, 0},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(pixveil::FindRtfPicture(c.text, std::strlen(c.text), &offset, &count), c.found);
    EXPECT_EQ(count, c.count);
  }
  // The reader stops at the first zero byte.
  const std::string cut = std::string("{\\rtf1 {\\pict\0\\wbitmap0\\bin12 BM", 32);
  EXPECT_EQ(pixveil::FindRtfPicture(cut.data(), cut.size(), &offset, &count), 0);
}

TEST(PathHelpers, PartsOfThePattern) {
  const struct {
    const char *path;
    const char *directory;
    const char *name;
  } cases[] = {
      {"", "missing", ""},
      {"*.txt", "", "*.txt"},
      {"dir\\*.txt", "dir", "*.txt"},
      {"dir/sub/*.txt", "dir/sub", "*.txt"},
      {"C:\\*.txt", "C:\\", "*.txt"},
      {"C:*.txt", "C:*.txt", "C:*.txt"},
      {"\\*.txt", "\\", "*.txt"},
      {"a\\\\b\\\\", "a\\\\b", ""},
      {"..", "", ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(pixveil::DirectoryPart(c.path), c.directory);
    EXPECT_EQ(pixveil::NamePart(c.path), c.name);
  }
  EXPECT_EQ(pixveil::DirectoryPart(std::string(260, 'a')), "");
  const std::string sep(1, os::kPathSeparator);
  EXPECT_EQ(pixveil::AddSeparator("out"), "out" + sep);
  EXPECT_EQ(pixveil::AddSeparator("out\\"), "out\\");
  EXPECT_EQ(pixveil::AddSeparator("out/"), "out/");
  EXPECT_EQ(pixveil::AddSeparator("C:"), "C:");
  EXPECT_EQ(pixveil::AddSeparator(""), "");
  EXPECT_EQ(pixveil::BaseName("dir\\notes.rtf"), "notes");
  EXPECT_EQ(pixveil::BaseName("a.b.c"), "a.b");
  EXPECT_EQ(pixveil::BaseName("dir\\"), "");
}

TEST(PathHelpers, OnlyPlainNamesAreWritten) {
  for (const char *name : {"a.txt", "report final.doc", "x"}) EXPECT_TRUE(os::IsPlainFileName(name)) << name;
  for (const char *name : {"", ".", "..", "../a", "a/b", "a\\b", "C:a", "\\\\server\\x"})
    EXPECT_FALSE(os::IsPlainFileName(name)) << name;
}

TEST(AskKeyList, RangesAndErrors) {
  const struct {
    const char *keys;
    int result;
    const char *list;
  } cases[] = {
      {"YNAQ", 4, "YNAQ"}, {"ynaq", 4, "YNAQ"}, {"a-c", 3, "ABC"}, {"A-D", 4, "ABCD"},
      {" -yn", 2, "YN"},    {"yny", 2, "YN"},    {"c-a", -3, ""},   {"a-", -1, ""},
      {"a-#", -2, ""},      {"", -4, ""},        {"1-3x", 4, "123X"},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.keys);
    char list[257] = {0};
    EXPECT_EQ(pixveil::ParseKeyList(c.keys, list, sizeof list), c.result);
    if (c.result >= 0) {
      EXPECT_STREQ(list, c.list);
    }
  }
}

TEST(GroupDigits, ThousandsSeparated) {
  EXPECT_EQ(pixveil::GroupDigits(0), "0");
  EXPECT_EQ(pixveil::GroupDigits(999), "999");
  EXPECT_EQ(pixveil::GroupDigits(1000), "1,000");
  EXPECT_EQ(pixveil::GroupDigits(1234567), "1,234,567");
  EXPECT_EQ(pixveil::GroupDigits(-1234), "-1,234");
}

}  // namespace
