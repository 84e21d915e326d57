// files.cpp (Linux) -- directory search with the console's wildcards, names
// and replacing files on a POSIX file system.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <vector>

namespace os {

const char kPathSeparator = '/';

struct DirectorySearch {
  std::vector<FoundEntry> entries;
  size_t next = 0;
};

namespace {

// * matches any run, ? any one character; "*.*" matches every name, as it
// does on the console the tool came from.
bool WildcardMatch(const char *pattern, const char *name) {
  const char *star = nullptr, *resume = nullptr;
  while (*name) {
    if (*pattern == '?' || *pattern == *name) {
      ++pattern;
      ++name;
    } else if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (star) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

bool IsDirectory(const std::string &path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

bool PathExists(const char *path) {
  return path && *path && access(path, F_OK) == 0;
}

bool MakeDirectory(const char *path) {
  return path && *path && mkdir(path, 0777) == 0;
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

DirectorySearch *FindFirst(const char *pattern, FoundEntry *entry) {
  if (!pattern || !*pattern) return nullptr;
  std::string full(pattern);
  size_t slash = full.find_last_of('/');
  std::string directory = slash == std::string::npos ? "." : full.substr(0, slash + 1);
  std::string namePattern = slash == std::string::npos ? full : full.substr(slash + 1);
  if (namePattern.empty()) return nullptr;
  if (namePattern == "*.*") namePattern = "*";
  auto *search = new DirectorySearch;
  if (namePattern.find_first_of("*?") == std::string::npos) {
    if (PathExists(full.c_str()))
      search->entries.push_back({namePattern, IsDirectory(full)});
  } else if (DIR *dir = opendir(directory.c_str())) {
    while (dirent *found = readdir(dir)) {
      if (!WildcardMatch(namePattern.c_str(), found->d_name)) continue;
      std::string path = directory + (directory.back() == '/' ? "" : "/") + found->d_name;
      search->entries.push_back({found->d_name, IsDirectory(path)});
    }
    closedir(dir);
  }
  // Directory order is arbitrary here; a sorted run is reproducible.
  std::sort(search->entries.begin(), search->entries.end(),
            [](const FoundEntry &a, const FoundEntry &b) { return a.name < b.name; });
  if (!FindNext(search, entry)) {
    delete search;
    return nullptr;
  }
  return search;
}

bool FindNext(DirectorySearch *search, FoundEntry *entry) {
  if (!search || search->next >= search->entries.size()) return false;
  *entry = search->entries[search->next++];
  return true;
}

void FindClose(DirectorySearch *search) {
  delete search;
}

bool IsAbsolutePathArgument(const char *argument) {
  if (argument[0] != '/') return false;
  // "/tmp/out/" names the directory "/tmp/out", whose parent must exist.
  std::string path(argument);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t lastSeparator = path.rfind('/');
  if (lastSeparator == 0) return false;
  std::string directory = path.substr(0, lastSeparator);
  struct stat info;
  return stat(directory.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsPlainFileName(const std::string &name) {
  if (name.empty() || name == "." || name == "..") return false;
  // Both separators and the drive colon are refused here too, so a name
  // means the same file on every platform the container travels to.
  return name.find_first_of(std::string("/\\:\0", 4)) == std::string::npos;
}

FILE *CreateNewFile(const char *path) {
  int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE *file = fdopen(fd, "wb");
  if (!file) close(fd);
  return file;
}

bool MoveOverTarget(const char *from, const char *target) {
  return std::rename(from, target) == 0;
}

bool RemoveFile(const char *path) {
  return unlink(path) == 0;
}

unsigned long ProcessId() {
  return static_cast<unsigned long>(getpid());
}

}  // namespace os
