// scratch_dir.h -- a fresh directory per test under the system's temporary
// directory, removed with everything in it when the test ends, and the
// environment changes a test needs, undone at its end.
#ifndef TESTS_SUPPORT_SCRATCH_DIR_H
#define TESTS_SUPPORT_SCRATCH_DIR_H

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace testing_support {

// Sets an environment variable (empty value: removes it) for the caller's scope.
class ScopedEnv {
 public:
  ScopedEnv(const char *name, const std::string &value) : name_(name) {
    const char *old = std::getenv(name);
    hadValue_ = old != nullptr;
    if (old) old_ = old;
    Set(value.empty() ? nullptr : value.c_str());
  }
  ~ScopedEnv() { Set(hadValue_ ? old_.c_str() : nullptr); }
  ScopedEnv(const ScopedEnv &) = delete;
  ScopedEnv &operator=(const ScopedEnv &) = delete;

 private:
  void Set(const char *value) {
#ifdef _WIN32
    _putenv_s(name_.c_str(), value ? value : "");
#else
    if (value)
      setenv(name_.c_str(), value, 1);
    else
      unsetenv(name_.c_str());
#endif
  }
  std::string name_;
  std::string old_;
  bool hadValue_ = false;
};

class ScratchDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device seed;
    std::string leaf = "quendle-test-" + std::to_string(seed()) + "-" + std::to_string(seed());
    root_ = std::filesystem::temp_directory_path() / leaf;
    std::filesystem::create_directories(root_);
  }

  void TearDown() override {
    std::error_code ignored;
    // Read-only files would keep the directory from going on Windows.
    for (auto &entry : std::filesystem::recursive_directory_iterator(root_, ignored))
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  // The scratch directory itself, without a trailing separator.
  std::string Root() const { return root_.string(); }
  // A path inside it, written with the platform's separator.
  std::string Path(const std::string &relative) const {
    return (root_ / std::filesystem::path(relative).make_preferred()).string();
  }
  // Writes a file, making the directories on its way.
  void WriteFile(const std::string &relative, const std::string &bytes) const {
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    std::ofstream out(Path(relative), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << Path(relative);
  }
  void MakeDir(const std::string &relative) const { std::filesystem::create_directories(Path(relative)); }
  bool Exists(const std::string &path) const { return std::filesystem::exists(path); }
  // Number of entries left in the scratch directory (to catch stray files).
  size_t EntryCount() const {
    size_t n = 0;
    for (auto it = std::filesystem::directory_iterator(root_); it != std::filesystem::directory_iterator(); ++it) ++n;
    return n;
  }

 private:
  std::filesystem::path root_;
};

}  // namespace testing_support

#endif
