// files.cpp (Linux) -- the file system as a Windows caller sees it: "\" and
// "/" both separate components, searches match the last component with the
// Windows wildcard rules, and failures record Windows error numbers.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

#include "platform/system.h"

namespace platform {

struct OpenedFile {
  int fd;
};

struct FileSearch {
  std::vector<FoundEntry> entries;
  size_t next;
};

namespace {

// Windows error numbers the layer records.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorNoMoreFiles = 18;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorFilenameExcedRange = 206;

FreeSpaceHook gFreeSpaceHook = nullptr;

std::string NativePath(const char *path) {
  std::string native = path ? path : "";
  std::replace(native.begin(), native.end(), '\\', '/');
  return native;
}

// The directory part of a native path ("." when it has none).
std::string ParentOf(const std::string &native) {
  size_t slash = native.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return native.substr(0, slash);
}

bool IsDirectory(const std::string &native) {
  struct stat info;
  return stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Windows tells a missing file (2) from a missing directory on its way (3).
uint32_t WindowsError(int err, const std::string &native) {
  switch (err) {
    case ENOENT:
      return IsDirectory(ParentOf(native)) ? kErrorFileNotFound : kErrorPathNotFound;
    case ENOTDIR:
    case ELOOP:
      return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR:
      return kErrorAccessDenied;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case ENOMEM:
      return kErrorNotEnoughMemory;
    case EROFS:
      return kErrorWriteProtect;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case EEXIST:
      return kErrorFileExists;
    case EINVAL:
      return kErrorInvalidParameter;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case ENAMETOOLONG:
      return kErrorFilenameExcedRange;
    default:
      return kErrorGenFailure;
  }
}

void RecordErrno(const std::string &native) { RecordLastError(WindowsError(errno, native)); }

bool HasWildcard(const std::string &text) { return text.find_first_of("*?") != std::string::npos; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// ---- Windows wildcard matching ---------------------------------------------
//
// Windows rewrites a search pattern into the file system's own wildcards
// before matching, keeping the old DOS meanings:
//   "?"                        any one character, but at a "." or at the end
//                              of the name it matches nothing (so "a??" finds "a");
//   "*." ending the pattern    any characters up to and including the name's
//                              last ".", nothing after it (so "*." finds the
//                              names without a dot);
//   "." before "*" or "?"      a "." or, at the end of the name, nothing (so
//                              "*.*" finds every name, dotted or not);
//   "*"                        any run of characters;
//   anything else              itself, regardless of letter case.

enum class Token : uint8_t { kLiteral, kAnyOne, kAnyRun, kRunToLastDot, kDotOrEnd };

struct PatternToken {
  Token kind;
  char literal;
};

std::vector<PatternToken> Tokenise(const std::string &pattern) {
  std::vector<PatternToken> tokens;
  if (pattern == "*" || pattern == "*.*") return {{Token::kAnyRun, 0}};
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    bool last = i + 1 == pattern.size();
    char next = last ? '\0' : pattern[i + 1];
    if (c == '?') {
      tokens.push_back({Token::kAnyOne, 0});
    } else if (c == '*') {
      tokens.push_back({Token::kAnyRun, 0});
    } else if (c == '.' && last && i > 0 && pattern[i - 1] == '*') {
      tokens.back().kind = Token::kRunToLastDot;
    } else if (c == '.' && (next == '*' || next == '?')) {
      tokens.push_back({Token::kDotOrEnd, 0});
    } else {
      tokens.push_back({Token::kLiteral, Upper(c)});
    }
  }
  return tokens;
}

class Matcher {
 public:
  Matcher(const std::vector<PatternToken> &tokens, const char *name)
      : tokens_(tokens), name_(name), length_(std::strlen(name)),
        memo_((tokens.size() + 1) * (length_ + 1), kUnknown) {
    const char *dot = std::strrchr(name, '.');
    lastDot_ = dot ? static_cast<size_t>(dot - name) : length_;
  }

  bool Matches() { return MatchFrom(0, 0); }

 private:
  static constexpr int8_t kUnknown = -1;

  // Whether tokens from t on match the name from position i on. Each pair is
  // decided once, so patterns with many stars stay cheap.
  bool MatchFrom(size_t t, size_t i) {
    int8_t &known = memo_[t * (length_ + 1) + i];
    if (known != kUnknown) return known != 0;
    bool result = Decide(t, i);
    known = result ? 1 : 0;
    return result;
  }

  bool Decide(size_t t, size_t i) {
    if (t == tokens_.size()) return i == length_;
    const PatternToken &token = tokens_[t];
    switch (token.kind) {
      case Token::kLiteral:
        return i < length_ && Upper(name_[i]) == token.literal && MatchFrom(t + 1, i + 1);
      case Token::kAnyOne:
        if (i == length_ || name_[i] == '.') {
          size_t after = t;
          while (after < tokens_.size() && tokens_[after].kind == Token::kAnyOne) ++after;
          return MatchFrom(after, i);
        }
        return MatchFrom(t + 1, i + 1);
      case Token::kAnyRun:
        for (size_t j = i; j <= length_; ++j)
          if (MatchFrom(t + 1, j)) return true;
        return false;
      case Token::kRunToLastDot: {
        size_t limit = (lastDot_ < length_ && lastDot_ >= i) ? lastDot_ + 1 : length_;
        for (size_t j = i; j <= limit; ++j)
          if (MatchFrom(t + 1, j)) return true;
        return false;
      }
      case Token::kDotOrEnd:
        if (i == length_) return MatchFrom(t + 1, i);
        return name_[i] == '.' && MatchFrom(t + 1, i + 1);
    }
    return false;
  }

  const std::vector<PatternToken> &tokens_;
  const char *name_;
  size_t length_;
  size_t lastDot_;
  std::vector<int8_t> memo_;
};

// Fills an entry from the file system; false when the entry vanished.
bool Describe(const std::string &native, const char *name, FoundEntry *entry) {
  struct stat info;
  if (stat(native.c_str(), &info) != 0 && lstat(native.c_str(), &info) != 0) return false;
  std::strncpy(entry->name, name, kMaxPath);
  entry->name[kMaxPath] = '\0';
  if (S_ISDIR(info.st_mode)) {
    entry->attributes = kAttributeDirectory;
    entry->size = 0;
  } else {
    entry->attributes = 0;
    entry->size = static_cast<uint64_t>(info.st_size);
  }
  if (!(info.st_mode & S_IWUSR)) entry->attributes |= kAttributeReadOnly;
  if (entry->attributes == 0) entry->attributes = kAttributeNormal;
  return true;
}

// NTFS reports a directory's entries by name, "." and ".." first; reporting in
// that order makes "the first match" the same answer on both systems.
bool ReportedBefore(const FoundEntry &a, const FoundEntry &b) {
  auto rank = [](const char *name) {
    return std::strcmp(name, ".") == 0 ? 0 : std::strcmp(name, "..") == 0 ? 1 : 2;
  };
  int ra = rank(a.name), rb = rank(b.name);
  if (ra != rb) return ra < rb;
  for (size_t i = 0;; ++i) {
    char ca = Upper(a.name[i]), cb = Upper(b.name[i]);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb);
    if (ca == '\0') break;
  }
  return std::strcmp(a.name, b.name) < 0;
}

// Hands an open descriptor to the caller as an OpenedFile, closing it when
// even that small record cannot be had.
OpenedFile *WrapDescriptor(int fd) {
  OpenedFile *file = new (std::nothrow) OpenedFile{fd};
  if (!file) {
    close(fd);
    RecordLastError(kErrorNotEnoughMemory);
  }
  return file;
}

}  // namespace

char PathSeparator() { return '/'; }
bool IsPathSeparator(char c) { return c == '/' || c == '\\'; }

// ---- whole files -------------------------------------------------------------

OpenedFile *OpenForReading(const char *path) {
  std::string native = NativePath(path);
  int fd = open(native.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    RecordErrno(native);
    return nullptr;
  }
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    close(fd);
    RecordLastError(kErrorAccessDenied);
    return nullptr;
  }
  return WrapDescriptor(fd);
}

OpenedFile *CreateForWriting(const char *path) {
  std::string native = NativePath(path);
  int fd = open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    RecordErrno(native);
    return nullptr;
  }
  return WrapDescriptor(fd);
}

void CloseFile(OpenedFile *file) {
  if (!file) return;
  close(file->fd);
  delete file;
}

bool FileSize(OpenedFile *file, uint64_t *size) {
  struct stat info;
  if (fstat(file->fd, &info) != 0) {
    RecordLastError(WindowsError(errno, ""));
    return false;
  }
  *size = static_cast<uint64_t>(info.st_size);
  return true;
}

int64_t ReadBytes(OpenedFile *file, void *buf, uint32_t len) {
  for (;;) {
    ssize_t got = read(file->fd, buf, len);
    if (got >= 0) return got;
    if (errno != EINTR) {
      RecordLastError(WindowsError(errno, ""));
      return -1;
    }
  }
}

bool WriteBytes(OpenedFile *file, const void *buf, uint32_t len) {
  const char *at = static_cast<const char *>(buf);
  while (len > 0) {
    ssize_t put = write(file->fd, at, len);
    if (put < 0) {
      if (errno == EINTR) continue;
      RecordLastError(WindowsError(errno, ""));
      return false;
    }
    if (put == 0) {
      RecordLastError(kErrorDiskFull);
      return false;
    }
    at += put;
    len -= static_cast<uint32_t>(put);
  }
  return true;
}

bool PathExists(const char *path) {
  std::string native = NativePath(path);
  if (native.empty()) {
    RecordLastError(kErrorPathNotFound);
    return false;
  }
  if (access(native.c_str(), F_OK) == 0) return true;
  RecordErrno(native);
  return false;
}

bool RemoveFile(const char *path) {
  std::string native = NativePath(path);
  if (native.empty()) {
    RecordLastError(kErrorPathNotFound);
    return false;
  }
  struct stat info;
  if (lstat(native.c_str(), &info) != 0) {
    RecordErrno(native);
    return false;
  }
  // Windows deletes neither directories nor read-only files.
  if (S_ISDIR(info.st_mode) || (S_ISREG(info.st_mode) && !(info.st_mode & S_IWUSR))) {
    RecordLastError(kErrorAccessDenied);
    return false;
  }
  if (unlink(native.c_str()) != 0) {
    RecordErrno(native);
    return false;
  }
  return true;
}

// ---- directory search ----------------------------------------------------------

FileSearch *FindFirstEntry(const char *pattern, FoundEntry *found) {
  std::string native = NativePath(pattern);
  if (native.empty()) {
    RecordLastError(kErrorPathNotFound);
    return nullptr;
  }
  size_t slash = native.find_last_of('/');
  std::string directory = ParentOf(native);
  std::string name = slash == std::string::npos ? native : native.substr(slash + 1);
  if (HasWildcard(slash == std::string::npos ? std::string() : native.substr(0, slash))) {
    RecordLastError(kErrorInvalidName);
    return nullptr;
  }
  if (name.empty()) {
    RecordLastError(kErrorFileNotFound);
    return nullptr;
  }

  FileSearch *search = new (std::nothrow) FileSearch{};
  if (!search) {
    RecordLastError(kErrorNotEnoughMemory);
    return nullptr;
  }
  if (!HasWildcard(name)) {
    FoundEntry entry;
    if (!Describe(native, name.c_str(), &entry)) {
      RecordErrno(native);
      delete search;
      return nullptr;
    }
    search->entries.push_back(entry);
  } else {
    DIR *dir = opendir(directory.c_str());
    if (!dir) {
      RecordLastError(errno == ENOENT ? kErrorPathNotFound : WindowsError(errno, directory));
      delete search;
      return nullptr;
    }
    std::vector<PatternToken> tokens = Tokenise(name);
    std::string prefix = directory == "/" ? "/" : directory + "/";
    while (struct dirent *item = readdir(dir)) {
      if (std::strlen(item->d_name) > kMaxPath) continue;
      if (!Matcher(tokens, item->d_name).Matches()) continue;
      FoundEntry entry;
      if (Describe(prefix + item->d_name, item->d_name, &entry)) search->entries.push_back(entry);
    }
    closedir(dir);
    std::sort(search->entries.begin(), search->entries.end(), ReportedBefore);
  }
  if (search->entries.empty()) {
    RecordLastError(kErrorFileNotFound);
    delete search;
    return nullptr;
  }
  *found = search->entries[0];
  search->next = 1;
  return search;
}

bool FindNextEntry(FileSearch *search, FoundEntry *found) {
  if (!search || search->next >= search->entries.size()) {
    RecordLastError(kErrorNoMoreFiles);
    return false;
  }
  *found = search->entries[search->next++];
  return true;
}

void EndSearch(FileSearch *search) { delete search; }

// ---- temporary directory, drives, free space -----------------------------------

uint32_t TemporaryDirectory(char *buf, uint32_t cap) {
  if (!buf || cap == 0) return 0;
  const char *found = "/tmp";
  for (const char *name : {"TEMP", "TMP", "TMPDIR"}) {
    const char *value = std::getenv(name);
    if (value && *value) {
      found = value;
      break;
    }
  }
  size_t len = std::min<size_t>(std::strlen(found), cap - 1);
  std::memcpy(buf, found, len);
  buf[len] = '\0';
  return static_cast<uint32_t>(len);
}

uint32_t LogicalDriveMask() { return 0; }

bool FreeBytesAvailable(const char *root, uint64_t *bytes) {
  if (gFreeSpaceHook) return gFreeSpaceHook(root, bytes);
  // A drive root names no volume here.
  RecordLastError(kErrorPathNotFound);
  return false;
}

void SetFreeSpaceForTesting(FreeSpaceHook hook) { gFreeSpaceHook = hook; }

// ---- GUIDs -------------------------------------------------------------------------

bool NewGuid(Guid *guid) {
  uint8_t bytes[16];
  size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      RecordLastError(kErrorGenFailure);
      return false;
    }
    got += static_cast<size_t>(n);
  }
  std::memcpy(&guid->data1, bytes, 4);
  std::memcpy(&guid->data2, bytes + 4, 2);
  std::memcpy(&guid->data3, bytes + 6, 2);
  std::memcpy(guid->data4, bytes + 8, 8);
  // A random GUID says so: version 4, variant bits 10.
  guid->data3 = static_cast<uint16_t>((guid->data3 & 0x0FFF) | 0x4000);
  guid->data4[0] = static_cast<uint8_t>((guid->data4[0] & 0x3F) | 0x80);
  return true;
}

}  // namespace platform
