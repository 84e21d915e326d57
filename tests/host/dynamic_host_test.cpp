// Binds exports by name at run time and calls them through the pointers, the
// way a Basic host uses the library.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "library_loader.h"
#include "quendle.h"

namespace {

class DynamicHost : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string message;
    library_ = host::OpenLibrary(host::LibraryPath(), &message);
    ASSERT_NE(library_, nullptr) << host::LibraryPath() << ": " << message;
  }
  void TearDown() override {
    if (library_) host::CloseLibrary(library_);
  }

  template <typename Fn>
  Fn Bind(const char *name) {
    void *address = host::FindExport(library_, name);
    EXPECT_NE(address, nullptr) << name << " is not exported under its plain name";
    return reinterpret_cast<Fn>(address);
  }

  std::string TakeString(ByteString str) {
    auto length = Bind<int32_t(QCALL *)(const char *)>("SysLen");
    if (!length) return "<SysLen missing>";
    std::string copy(str ? str : "", length(str));
    host::FreeString(library_, str);
    return copy;
  }

  void *library_ = nullptr;
};

TEST_F(DynamicHost, ReportsIdentityThroughPlainNames) {
  auto version = Bind<int32_t(QCALL *)()>("LibVersion");
  auto name = Bind<ByteString(QCALL *)()>("LibName");
  auto date = Bind<ByteString(QCALL *)()>("LibDate");
  auto time = Bind<ByteString(QCALL *)()>("LibTime");
  ASSERT_TRUE(version && name && date && time);
  EXPECT_EQ(version(), 137);
  EXPECT_EQ(TakeString(name()), "quendle.dll");
  EXPECT_EQ(TakeString(date()), "20110401");
  EXPECT_EQ(TakeString(time()), "21:55:32");
}

TEST_F(DynamicHost, KnowsTheFileItWasLoadedFrom) {
  auto fileName = Bind<ByteString(QCALL *)()>("GetDLLFileName");
  ASSERT_TRUE(fileName);
  std::string path = TakeString(fileName());
  std::string expected = ".so";
#ifdef _WIN32
  expected = "quendle.dll";
#endif
  ASSERT_GE(path.size(), expected.size());
  EXPECT_EQ(path.substr(path.size() - expected.size()), expected) << path;
  EXPECT_NE(path.find("quendle"), std::string::npos) << path;
}

TEST_F(DynamicHost, EnciphersAndDeciphersThroughPointers) {
  auto encrypt = Bind<int16_t(QCALL *)(char *, int32_t, const char *, const char *, int16_t)>("EncryptString");
  ASSERT_TRUE(encrypt);
  const char original[] = "attack at dawn\0with a zero byte";
  char data[sizeof original];
  std::memcpy(data, original, sizeof original);
  EXPECT_EQ(encrypt(data, sizeof data, "s3cret!", nullptr, 1), -1);
  EXPECT_NE(std::memcmp(data, original, sizeof data), 0);
  EXPECT_EQ(encrypt(data, sizeof data, "s3cret!", nullptr, 1), -1);
  EXPECT_EQ(std::memcmp(data, original, sizeof data), 0);
  EXPECT_EQ(encrypt(data, sizeof data, "", nullptr, 1), 0);
}

TEST_F(DynamicHost, UnlistedInternalsAreNotExported) {
  EXPECT_EQ(host::FindExport(library_, "GenerateRandomText"), nullptr);
  EXPECT_EQ(host::FindExport(library_, "DllMain"), nullptr);
}

}  // namespace
