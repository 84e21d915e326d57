// filequeries.cpp -- existence tests, file counting, temporary names, deletion
// and free space.
#include "files/filequeries.h"

#include <cstdint>
#include <cstring>

#include "codecs/random.h"
#include "frame/bytestring.h"
#include "platform/system.h"

namespace files {
namespace {

constexpr size_t kMaxPath = platform::kMaxPath;
constexpr int kTempNameAttempts = 500;
constexpr uint32_t kErrorInvalidName = 123;
constexpr double kBytesPerMeg = 9.5367431640625e-7;   // 1 / 1048576
constexpr double kBytesPerGig = 9.313225746154785e-10;  // 1 / 1073741824

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool HasWildcard(const char *text) { return std::strpbrk(text, "*?") != nullptr; }

// The first entry a search reports for the path, if any.
bool FindFirst(const char *path, platform::FoundEntry *entry) {
  platform::FileSearch *search = platform::FindFirstEntry(path, entry);
  if (!search) return false;
  platform::EndSearch(search);
  return true;
}

bool IsDirectoryEntry(const platform::FoundEntry &entry) {
  return (entry.attributes & platform::kAttributeDirectory) != 0;
}

int16_t DirectoryExists(const char *path) {
  PathBuffer copy;
  CopyPath(&copy, path);
  size_t len = std::strlen(copy.text);
  if (len == 0) return 0;
  // A trailing separator would make the search look inside the directory.
  if (platform::IsPathSeparator(copy.text[len - 1])) copy.text[len - 1] = '\0';
  platform::FoundEntry entry;
  return FindFirst(copy.text, &entry) && IsDirectoryEntry(entry) ? 1 : 0;
}

}  // namespace

void CopyPath(PathBuffer *out, const char *path) {
  path = frame::TextOrEmpty(path);
  size_t len = strnlen(path, kMaxPath);
  std::memcpy(out->text, path, len);
  out->text[len] = '\0';
}

void AddSeparator(PathBuffer *path) {
  size_t len = std::strlen(path->text);
  if (len == 0 || len >= kMaxPath) return;
  if (len == 2 && path->text[1] == ':') return;
  if (platform::IsPathSeparator(path->text[len - 1])) return;
  path->text[len] = platform::PathSeparator();
  path->text[len + 1] = '\0';
}

const char *NamePart(const char *path) {
  path = frame::TextOrEmpty(path);
  const char *backslash = std::strrchr(path, '\\');
  const char *slash = std::strrchr(path, '/');
  const char *last = backslash ? backslash : slash;
  if (backslash && slash && platform::IsPathSeparator('/') && slash > backslash) last = slash;
  return last ? last + 1 : path;
}

char DriveOf(const char *path) {
  path = frame::TextOrEmpty(path);
  return IsLetter(path[0]) && path[1] == ':' ? UpperAscii(path[0]) : '\0';
}

double FreeSpace(const char *drive) {
  drive = frame::TextOrEmpty(drive);
  if (drive[0] == '\0') return 0.0;
  char letter = UpperAscii(drive[0]);
  if (letter < 'A' || letter > 'Z') return -1.0;
  const char root[] = {letter, ':', '\\', '\0'};
  uint64_t bytes = 0;
  if (!platform::FreeBytesAvailable(root, &bytes)) return 0.0;
  return static_cast<double>(bytes);
}

}  // namespace files

QUENDLE_API int16_t QCALL DirExists(const char *path) { return files::DirectoryExists(path); }

QUENDLE_API int16_t QCALL FileExists(const char *path) {
  files::PathBuffer copy;
  files::CopyPath(&copy, path);
  if (copy.text[0] == '\0') return 0;
  platform::FoundEntry entry;
  return files::FindFirst(copy.text, &entry) ? 1 : 0;
}

QUENDLE_API int16_t QCALL DriveExists(const char *text) {
  text = frame::TextOrEmpty(text);
  if (text[0] == '\0') return 0;
  // Any character picks one of the 32 mask bits, as the letter arithmetic wraps.
  unsigned bit = static_cast<unsigned>(static_cast<unsigned char>(files::LowerAscii(text[0])) - 97u) & 31u;
  return (platform::LogicalDriveMask() >> bit) & 1u ? 1 : 0;
}

QUENDLE_API int32_t QCALL FileCount(const char *path) {
  files::PathBuffer pattern;
  files::CopyPath(&pattern, path);
  // A directory named with a trailing separator (or nothing at all) is listed;
  // any other argument is searched for as it stands.
  if (*files::NamePart(pattern.text) == '\0' && !files::HasWildcard(pattern.text)) {
    files::AddSeparator(&pattern);
    std::strcat(pattern.text, "*.*");
  }
  platform::FoundEntry entry;
  platform::FileSearch *search = platform::FindFirstEntry(pattern.text, &entry);
  if (!search) return 0;
  int32_t count = 0;
  do {
    if (!files::IsDirectoryEntry(entry)) ++count;
  } while (platform::FindNextEntry(search, &entry));
  platform::EndSearch(search);
  return count;
}

QUENDLE_API ByteString QCALL MKTempName(const char *directory, const char *extension, int16_t length,
                                        int16_t charset) {
  files::PathBuffer name;
  files::CopyPath(&name, directory);
  if (name.text[0] == '\0') platform::TemporaryDirectory(name.text, files::kMaxPath + 1);
  size_t dirLen = std::strlen(name.text);
  if (dirLen == 0 || length < 1 || length > static_cast<int16_t>(files::kMaxPath)) return nullptr;
  if (dirLen >= 2 && name.text[1] == ':' && !files::IsLetter(name.text[0])) return nullptr;
  if (files::DirectoryExists(name.text) != 1) return nullptr;

  files::AddSeparator(&name);
  size_t prefixLen = std::strlen(name.text);
  int32_t randomLen = length;
  int32_t room = static_cast<int32_t>(files::kMaxPath) - static_cast<int32_t>(prefixLen);
  if (randomLen >= room) randomLen = room;
  // Without room for a random part every candidate would be the directory itself.
  if (randomLen < 1) return nullptr;

  char suffix[files::kMaxPath + 2] = "";
  extension = frame::TextOrEmpty(extension);
  if (extension[0] != '\0' && extension[0] != '.') std::strcpy(suffix, ".");
  std::strncat(suffix, extension, files::kMaxPath);
  size_t suffixLen = std::strlen(suffix);

  int32_t mode = charset;
  if (mode < 0 || mode > 6 || mode == 5) mode = 0;

  char candidate[files::kMaxPath * 2 + 8];
  std::memcpy(candidate, name.text, prefixLen);
  bool exists = true;
  for (int attempt = 0; attempt < files::kTempNameAttempts && exists; ++attempt) {
    char *random = candidate + prefixLen;
    codecs::GenerateRandomText(random, randomLen, mode, true);
    size_t len = prefixLen + static_cast<size_t>(randomLen);
    if (len + suffixLen < files::kMaxPath) {
      std::memcpy(candidate + len, suffix, suffixLen + 1);
    }
    exists = platform::PathExists(candidate);
  }
  return exists ? nullptr : frame::NewTextString(candidate);
}

QUENDLE_API int32_t QCALL Unlink(const char *path) {
  if (!path || !*path) return static_cast<int32_t>(files::kErrorInvalidName);
  if (platform::RemoveFile(path)) return 0;
  return static_cast<int32_t>(platform::LastError());
}

QUENDLE_API double QCALL DiskFree(const char *drive) { return files::FreeSpace(drive); }

QUENDLE_API double QCALL DiskFreeMeg(const char *drive) {
  double bytes = files::FreeSpace(drive);
  return bytes > 0.0 ? bytes * files::kBytesPerMeg : 0.0;
}

QUENDLE_API double QCALL DiskFreeGig(const char *drive) {
  double bytes = files::FreeSpace(drive);
  return bytes > 0.0 ? bytes * files::kBytesPerGig : 0.0;
}
