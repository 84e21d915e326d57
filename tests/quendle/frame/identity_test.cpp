#include <gtest/gtest.h>

#include "support/bytestring_support.h"
#include "quendle.h"

using testing_support::Take;

TEST(Identity, ReportsVersionOneThirtySeven) { EXPECT_EQ(LibVersion(), 137); }

TEST(Identity, TextValuesAreNewStringsOfExactLength) {
  struct Case {
    ByteString (*fn)();
    const char *expected;
  } cases[] = {{LibName, "quendle.dll"}, {LibDate, "20110401"}, {LibTime, "21:55:32"}};
  for (const auto &c : cases) {
    ByteString first = c.fn();
    ByteString second = c.fn();
    EXPECT_NE(first, second) << "each call must return a new string";
    EXPECT_EQ(Take(first), c.expected);
    EXPECT_EQ(Take(second), c.expected);
  }
}

TEST(Identity, AnsiBuildFlagsAreZero) {
  EXPECT_EQ(LibUnicode(), 0);
  EXPECT_EQ(CheckNull(), 0);
}

TEST(Identity, ProgramFileNameNamesThisTestProgram) {
  std::string name = Take(GetAppFileName(0));
  EXPECT_NE(name.find("test_frame"), std::string::npos) << name;
  // Linked into a program rather than loaded, the library's own file is the program.
  EXPECT_FALSE(Take(GetDLLFileName()).empty());
}

TEST(Identity, UnknownModuleHandleGivesNull) { EXPECT_EQ(GetAppFileName(0x10), nullptr); }
