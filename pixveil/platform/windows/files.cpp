// files.cpp (Windows) -- directory search, names and replacing files with
// the Windows file API.
#include "platform/files.h"

#include <windows.h>
#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cctype>
#include <cstring>

namespace os {

const char kPathSeparator = '\\';

struct DirectorySearch {
  HANDLE handle = INVALID_HANDLE_VALUE;
};

namespace {

void Fill(const WIN32_FIND_DATAA &data, FoundEntry *entry) {
  entry->name = data.cFileName;
  entry->isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDeviceName(const std::string &name) {
  std::string stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char &c : stem) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  static const char *const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char *device : kDevices)
    if (stem == device) return true;
  return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
         stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

bool PathExists(const char *path) {
  return path && *path && _access(path, 0) == 0;
}

bool MakeDirectory(const char *path) {
  return path && *path && _mkdir(path) == 0;
}

std::string CurrentDirectory() {
  char buffer[MAX_PATH + 1];
  DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : std::string();
}

DirectorySearch *FindFirst(const char *pattern, FoundEntry *entry) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern, &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  Fill(data, entry);
  auto *search = new DirectorySearch;
  search->handle = handle;
  return search;
}

bool FindNext(DirectorySearch *search, FoundEntry *entry) {
  WIN32_FIND_DATAA data;
  if (!search || !FindNextFileA(search->handle, &data)) return false;
  Fill(data, entry);
  return true;
}

void FindClose(DirectorySearch *search) {
  if (!search) return;
  ::FindClose(search->handle);
  delete search;
}

bool IsAbsolutePathArgument(const char *) { return false; }

bool IsPlainFileName(const std::string &name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name)
    if (c < 32 || std::strchr("<>:\"/\\|?*", c)) return false;
  // Trailing dots and spaces are dropped by the file system, so the file
  // written would not be the one named; device names are no files at all.
  if (name.back() == '.' || name.back() == ' ') return false;
  return !IsDeviceName(name);
}

FILE *CreateNewFile(const char *path) {
  int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE *file = _fdopen(fd, "wb");
  if (!file) _close(fd);
  return file;
}

bool MoveOverTarget(const char *from, const char *target) {
  return MoveFileExA(from, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const char *path) {
  return DeleteFileA(path) != 0;
}

unsigned long ProcessId() {
  return GetCurrentProcessId();
}

}  // namespace os
