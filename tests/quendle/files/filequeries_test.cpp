#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "files/filequeries.h"
#include "platform/files.h"
#include "quendle.h"
#include "support/bytestring_support.h"
#include "support/scratch_dir.h"

namespace {

using testing_support::ScopedEnv;
using testing_support::Take;

const bool kWindows = platform::PathSeparator() == '\\';

// Wine answers searches with its own matcher, which treats "?" as exactly one
// character and ignores a pattern's trailing ".", unlike Windows.
bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
  return false;
#endif
}

// Writes a path with "\" between its components, as a Windows host would.
std::string WithBackslashes(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// ---- path helpers ----------------------------------------------------------------------

TEST(PathHelpers, AddSeparatorOnlyWhereOneIsMissing) {
  const std::string sep(1, platform::PathSeparator());
  struct Case {
    std::string path;
    std::string expected;
  };
  const Case cases[] = {
      {"", ""},
      {"C:", "C:"},
      {"dir", "dir" + sep},
      {"dir" + sep, "dir" + sep},
      {"C:x", "C:x" + sep},
      {std::string(260, 'a'), std::string(260, 'a')},
      {std::string(259, 'a'), std::string(259, 'a') + sep},
  };
  for (const Case &c : cases) {
    files::PathBuffer buffer;
    files::CopyPath(&buffer, c.path.c_str());
    files::AddSeparator(&buffer);
    EXPECT_EQ(buffer.text, c.expected) << c.path;
  }
}

TEST(PathHelpers, CopiesAreCutToTheLongestPath) {
  files::PathBuffer buffer;
  files::CopyPath(&buffer, std::string(300, 'x').c_str());
  EXPECT_EQ(std::strlen(buffer.text), 260u);
  files::CopyPath(&buffer, nullptr);
  EXPECT_STREQ(buffer.text, "");
}

TEST(PathHelpers, NamePartAndDrive) {
  struct Case {
    const char *path;
    const char *name;
    char drive;
  };
  const Case cases[] = {
      {"C:\\dir\\x.txt", "x.txt", 'C'}, {"dir/x.txt", "x.txt", 0}, {"c:\\dir\\", "", 'C'},
      {"x.txt", "x.txt", 0},            {"", "", 0},              {"1:\\x", "x", 0},
      {"z:", "z:", 'Z'},                {"\\\\server\\share", "share", 0},
  };
  for (const Case &c : cases) {
    EXPECT_STREQ(files::NamePart(c.path), c.name) << c.path;
    EXPECT_EQ(files::DriveOf(c.path), c.drive) << c.path;
  }
  // After the last "\" even when a "/" follows, unless "/" separates here too.
  EXPECT_STREQ(files::NamePart("a\\b/c"), kWindows ? "b/c" : "c");
}

// ---- existence tests -----------------------------------------------------------------------

class FileQueriesTest : public testing_support::ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    WriteFile("list/a.txt", "a");
    WriteFile("list/b.TXT", "bb");
    WriteFile("list/c.doc", "ccc");
    WriteFile("list/noext", "dddd");
    WriteFile("list/ab.txt", "ee");
    WriteFile("list/x.tar.gz", "f");
    MakeDir("list/sub.txt");
    WriteFile("list/sub.txt/inner.txt", "inner");
    MakeDir("list/empty");
  }
  std::string Dir() const { return Path("list"); }
  std::string Sep() const { return std::string(1, platform::PathSeparator()); }
};

TEST_F(FileQueriesTest, DirExistsAnswersForDirectoriesOnly) {
  struct Case {
    std::string path;
    int16_t expected;
  };
  const Case cases[] = {
      {Dir(), 1},
      {Dir() + Sep(), 1},
      {Path("list/empty"), 1},
      {Path("list/a.txt"), 0},
      {Path("list/missing"), 0},
      {Path("missing/deeper"), 0},
      {Path("list/sub.*"), 1},  // a pattern answers for its first match
      {Path("list/c.*"), 0},
      {"", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(DirExists(c.path.c_str()), c.expected) << c.path;
  EXPECT_EQ(DirExists(nullptr), 0);
}

TEST_F(FileQueriesTest, FileExistsFindsFilesDirectoriesAndPatterns) {
  struct Case {
    std::string path;
    int16_t expected;
  };
  const Case cases[] = {
      {Path("list/a.txt"), 1},  {Path("list/empty"), 1},  {Path("list/*.doc"), 1},
      {Path("list/*.zip"), 0},  {Path("list/missing"), 0}, {Path("list/A.TX?"), 1},
      {Dir() + Sep(), 0},  // a trailing separator names no entry
      {"", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(FileExists(c.path.c_str()), c.expected) << c.path;
  EXPECT_EQ(FileExists(nullptr), 0);
}

TEST_F(FileQueriesTest, BackslashesSeparateOnEverySystem) {
  EXPECT_EQ(FileExists(WithBackslashes(Path("list/a.txt")).c_str()), 1);
  EXPECT_EQ(DirExists(WithBackslashes(Dir() + "\\").c_str()), 1);
  EXPECT_EQ(FileCount(WithBackslashes(Dir() + "\\*.txt").c_str()), 3);
  EXPECT_EQ(FileLength(WithBackslashes(Path("list/c.doc")).c_str()), 3);
}

TEST_F(FileQueriesTest, DriveExistsReadsTheLogicalDriveMask) {
  EXPECT_EQ(DriveExists(""), 0);
  EXPECT_EQ(DriveExists(nullptr), 0);
  if (!kWindows) {
    EXPECT_EQ(DriveExists("c"), 0) << "Linux has no drive letters";
    EXPECT_EQ(DriveExists("C:\\"), 0);
    return;
  }
  char system[] = "C";
  if (const char *root = std::getenv("SystemRoot")) system[0] = root[0];
  EXPECT_EQ(DriveExists(system), 1) << system;
  system[0] = static_cast<char>(system[0] ^ 0x20);  // the other letter case
  EXPECT_EQ(DriveExists(system), 1) << system;
}

// ---- FileCount -----------------------------------------------------------------------------

TEST_F(FileQueriesTest, FileCountMatchesAsTheSystemSearchDoes) {
  struct Case {
    std::string pattern;
    int32_t expected;
  };
  const Case cases[] = {
      {Dir() + Sep(), 6},                  // the files directly inside, not the subdirectory's
      {Dir(), 0},                          // the directory entry itself is no file
      {Path("list/empty") + Sep(), 0},
      {Path("list/*"), 6},
      {Path("list/*.*"), 6},               // also names without a dot
      {Path("list/*.txt"), 3},             // letter case does not matter; the directory sub.txt is no file
      {Path("list/*.TXT"), 3},
      {Path("list/?.txt"), 2},
      {Path("list/a*"), 2},
      {Path("list/*.gz"), 1},
      {Path("list/*.tar"), 0},
      {Path("list/x.*"), 1},
      {Path("list/noext"), 1},
      {Path("list/NOEXT"), kWindows ? 1 : 0},  // a name without wildcards is looked up as it is spelt
      {Path("list/sub.txt"), 0},
      {Path("list/*.zip"), 0},
      {Path("missing/*.*"), 0},
      {Path("missing") + Sep(), 0},
      {Path("li*/a.txt"), 0},              // wildcards belong in the last component only
  };
  for (const Case &c : cases) EXPECT_EQ(FileCount(c.pattern.c_str()), c.expected) << c.pattern;
}

TEST_F(FileQueriesTest, FileCountKeepsTheDosWildcardQuirks) {
  if (RunningUnderWine()) GTEST_SKIP() << "Wine's file search does not keep these Windows quirks";
  struct Case {
    std::string pattern;
    int32_t expected;
  };
  const Case cases[] = {
      {Path("list/*."), 1},       // only the name without a dot
      {Path("list/??.txt"), 3},   // "?" before a dot may match nothing: a.txt, ab.txt, b.TXT
      {Path("list/noext?"), 1},   // "?" at the end may match nothing
      {Path("list/noex?"), 1},
      {Path("list/noe?"), 0},
  };
  for (const Case &c : cases) EXPECT_EQ(FileCount(c.pattern.c_str()), c.expected) << c.pattern;
}

TEST_F(FileQueriesTest, FileCountOfNothingCountsTheCurrentDirectory) {
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(Dir());
  int32_t count = FileCount("");
  int32_t countNull = FileCount(nullptr);
  std::filesystem::current_path(before);
  EXPECT_EQ(count, 6);
  EXPECT_EQ(countNull, 6);
}

TEST_F(FileQueriesTest, FileCountReportsWhyASearchFoundNothing) {
  EXPECT_EQ(FileCount(Path("missing/*.*").c_str()), 0);
  EXPECT_EQ(GetError(), 3u) << "the directory on the way is missing";
  EXPECT_EQ(FileCount(Path("list/*.zip").c_str()), 0);
  EXPECT_EQ(GetError(), 2u);
}

// ---- MKTempName -------------------------------------------------------------------------------

TEST_F(FileQueriesTest, MKTempNameNamesAFreshFileInTheDirectory) {
  std::string prefix = Dir() + Sep();
  std::string name = Take(MKTempName(Dir().c_str(), "tmp", 8, 0));
  ASSERT_EQ(name.size(), prefix.size() + 8 + 4) << name;
  EXPECT_EQ(name.substr(0, prefix.size()), prefix);
  EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
  for (char c : name.substr(prefix.size(), 8)) EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(c))) << name;
  EXPECT_FALSE(Exists(name)) << "the file is not created";

  std::string dotted = Take(MKTempName((Dir() + Sep()).c_str(), ".dat", 5, 0));
  EXPECT_EQ(dotted.size(), prefix.size() + 5 + 4) << dotted;
  EXPECT_EQ(dotted.substr(dotted.size() - 4), ".dat");

  std::string bare = Take(MKTempName(Dir().c_str(), "", 3, 0));
  EXPECT_EQ(bare.size(), prefix.size() + 3) << bare;
  std::string nullExtension = Take(MKTempName(Dir().c_str(), nullptr, 3, 0));
  EXPECT_EQ(nullExtension.size(), prefix.size() + 3) << nullExtension;
}

TEST_F(FileQueriesTest, MKTempNameDrawsFromTheRequestedCharacterSet) {
  struct Case {
    int16_t charset;
    bool (*allowed)(char);
  };
  const Case cases[] = {
      {0, [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }},
      {1, [](char c) { return c >= 'a' && c <= 'z'; }},
      {2, [](char c) { return c >= 'A' && c <= 'Z'; }},
      {3, [](char c) { return c >= '0' && c <= '9'; }},
      {4, [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }},
      {6, [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }},
      {5, [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }},   // binary: letters instead
      {9, [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }},
      {-1, [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }},
  };
  size_t prefix = Dir().size() + 1;
  for (const Case &c : cases) {
    std::string name = Take(MKTempName(Dir().c_str(), nullptr, 40, c.charset));
    ASSERT_EQ(name.size(), prefix + 40) << c.charset;
    for (char ch : name.substr(prefix)) EXPECT_TRUE(c.allowed(ch)) << c.charset << ": " << name;
  }
}

TEST_F(FileQueriesTest, MKTempNameSkipsNamesThatExist) {
  MTRandomise(777);
  std::string first = Take(MKTempName(Dir().c_str(), "tmp", 6, 2));
  WriteFile("list/" + first.substr(Dir().size() + 1), "taken");
  MTRandomise(777);
  std::string second = Take(MKTempName(Dir().c_str(), "tmp", 6, 2));
  EXPECT_NE(second, first);
  EXPECT_FALSE(Exists(second));
  EXPECT_EQ(second.substr(0, Dir().size()), Dir());
}

TEST_F(FileQueriesTest, MKTempNameFillsAtMostTheLongestPath) {
  std::string name = Take(MKTempName(Dir().c_str(), "tmp", 260, 3));
  EXPECT_EQ(name.size(), 260u) << "the random part is cut and the extension left off";
  EXPECT_EQ(name.find('.', Dir().size() + 1), std::string::npos);
}

TEST_F(FileQueriesTest, MKTempNameRefusesBadArguments) {
  struct Case {
    const char *what;
    std::string directory;
    int16_t length;
  };
  const Case cases[] = {
      {"length 0", Dir(), 0},
      {"length 261", Dir(), 261},
      {"negative length", Dir(), -4},
      {"missing directory", Path("missing"), 8},
      {"a file is no directory", Path("list/a.txt"), 8},
      {"a drive that is no letter", "1:" + Sep() + "x", 8},
  };
  for (const Case &c : cases) {
    ByteString result = MKTempName(c.directory.c_str(), "tmp", c.length, 0);
    EXPECT_EQ(result, nullptr) << c.what;
    platform::FreeString(result);
  }
}

TEST_F(FileQueriesTest, MKTempNameFallsBackOnTempThenTmp) {
  {
    ScopedEnv temp("TEMP", Dir());
    ScopedEnv tmp("TMP", Path("list/empty"));
    std::string name = Take(MKTempName("", "tmp", 8, 0));
    EXPECT_EQ(name.substr(0, Dir().size() + 1), Dir() + Sep());
  }
  {
    ScopedEnv temp("TEMP", "");
    ScopedEnv tmp("TMP", Path("list/empty"));
    std::string name = Take(MKTempName(nullptr, "tmp", 8, 0));
    EXPECT_EQ(name.substr(0, Path("list/empty").size() + 1), Path("list/empty") + Sep());
  }
  {
    ScopedEnv temp("TEMP", Path("missing"));
    EXPECT_EQ(MKTempName(nullptr, "tmp", 8, 0), nullptr);
  }
}

// ---- Unlink ------------------------------------------------------------------------------------

TEST_F(FileQueriesTest, UnlinkDeletesFilesAndReportsSystemErrors) {
  EXPECT_EQ(Unlink(Path("list/a.txt").c_str()), 0);
  EXPECT_FALSE(Exists(Path("list/a.txt")));

  WriteFile("locked.txt", "x");
  std::filesystem::permissions(Path("locked.txt"), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::remove);
  struct Case {
    const char *what;
    std::string path;
    int32_t expected;
  };
  const Case cases[] = {
      {"an empty path", "", 123},
      {"a missing file", Path("list/a.txt"), 2},
      {"a missing directory on the way", Path("missing/a.txt"), 3},
      {"a directory", Path("list/empty"), 5},
      {"a read-only file", Path("locked.txt"), 5},
  };
  for (const Case &c : cases) EXPECT_EQ(Unlink(c.path.c_str()), c.expected) << c.what;
  EXPECT_EQ(Unlink(nullptr), 123);
  EXPECT_TRUE(Exists(Path("locked.txt")));
  EXPECT_TRUE(Exists(Path("list/empty")));

  EXPECT_EQ(Unlink(Path("list/b.TXT").c_str()), 0);
  EXPECT_EQ(Unlink(Path("list/b.TXT").c_str()), 2);
  EXPECT_EQ(GetError(), 2u);
}

// ---- free space -------------------------------------------------------------------------------

std::string gLastRoot;
bool PretendTwoGig(const char *root, uint64_t *bytes) {
  gLastRoot = root;
  *bytes = 2147483648ull + 1048576ull;
  return true;
}
bool PretendFailure(const char *, uint64_t *) { return false; }

TEST(FreeSpace, TheFirstLetterNamesTheDriveRoot) {
  platform::SetFreeSpaceForTesting(PretendTwoGig);
  struct Case {
    const char *drive;
    const char *root;
  };
  const Case cases[] = {{"c", "C:\\"}, {"C:\\temp", "C:\\"}, {"d:", "D:\\"}, {"zebra", "Z:\\"}};
  for (const Case &c : cases) {
    gLastRoot.clear();
    EXPECT_EQ(DiskFree(c.drive), 2148532224.0) << c.drive;
    EXPECT_EQ(gLastRoot, c.root);
  }
  EXPECT_EQ(DiskFreeMeg("c"), 2049.0);
  EXPECT_EQ(DiskFreeGig("c"), 2148532224.0 / 1073741824.0);
  platform::SetFreeSpaceForTesting(nullptr);
}

TEST(FreeSpace, EmptyTextsNonLettersAndFailedQueries) {
  platform::SetFreeSpaceForTesting(PretendTwoGig);
  EXPECT_EQ(DiskFree(""), 0.0);
  EXPECT_EQ(DiskFree(nullptr), 0.0);
  EXPECT_EQ(DiskFree("1"), -1.0);
  EXPECT_EQ(DiskFree("\\x"), -1.0);
  EXPECT_EQ(DiskFreeMeg("1"), 0.0);
  EXPECT_EQ(DiskFreeGig("1"), 0.0);
  EXPECT_EQ(DiskFreeMeg(""), 0.0);
  platform::SetFreeSpaceForTesting(PretendFailure);
  EXPECT_EQ(DiskFree("c"), 0.0);
  EXPECT_EQ(DiskFreeMeg("c"), 0.0);
  EXPECT_EQ(DiskFreeGig("c"), 0.0);
  platform::SetFreeSpaceForTesting(nullptr);
}

TEST(FreeSpace, AsksTheSystemForItsOwnDrives) {
  if (!kWindows) {
    EXPECT_EQ(DiskFree("c"), 0.0) << "Linux has no drive letters";
    EXPECT_EQ(GetError(), 3u);
    return;
  }
  char system[] = "C";
  if (const char *root = std::getenv("SystemRoot")) system[0] = root[0];
  double bytes = DiskFree(system);
  EXPECT_GT(bytes, 0.0);
  // Other programs write meanwhile, so the two answers agree only roughly.
  EXPECT_NEAR(DiskFreeMeg(system), bytes / 1048576.0, 1024.0);
  EXPECT_NEAR(DiskFree((std::string(system) + ":\\temp").c_str()), bytes, 1073741824.0);
}

}  // namespace
