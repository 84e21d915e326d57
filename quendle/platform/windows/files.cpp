// files.cpp (Windows) -- the file system seam over kernel32 and ole32.
#include "platform/files.h"

#include <windows.h>
#include <io.h>
#include <objbase.h>

#include <cstring>
#include <initializer_list>
#include <new>

namespace platform {

struct OpenedFile {
  HANDLE handle;
};

struct FileSearch {
  HANDLE handle;
};

namespace {

FreeSpaceHook gFreeSpaceHook = nullptr;

void CopyEntry(const WIN32_FIND_DATAA &data, FoundEntry *found) {
  std::strncpy(found->name, data.cFileName, kMaxPath);
  found->name[kMaxPath] = '\0';
  found->attributes = data.dwFileAttributes;
  found->size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

OpenedFile *Wrap(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  OpenedFile *file = new (std::nothrow) OpenedFile{handle};
  if (!file) {
    CloseHandle(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return file;
}

// GetProcAddress hands back a generic function pointer; going through
// void (*)() tells the compiler the signature change is meant.
template <typename Function>
Function Lookup(HMODULE module, const char *name) {
  FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

char PathSeparator() { return '\\'; }
bool IsPathSeparator(char c) { return c == '\\'; }

// ---- whole files -------------------------------------------------------------

OpenedFile *OpenForReading(const char *path) {
  return Wrap(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
}

OpenedFile *CreateForWriting(const char *path) {
  return Wrap(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr));
}

void CloseFile(OpenedFile *file) {
  if (!file) return;
  CloseHandle(file->handle);
  delete file;
}

bool FileSize(OpenedFile *file, uint64_t *size) {
  LARGE_INTEGER value;
  if (!GetFileSizeEx(file->handle, &value)) return false;
  *size = static_cast<uint64_t>(value.QuadPart);
  return true;
}

int64_t ReadBytes(OpenedFile *file, void *buf, uint32_t len) {
  DWORD got = 0;
  if (!ReadFile(file->handle, buf, len, &got, nullptr)) return -1;
  return got;
}

bool WriteBytes(OpenedFile *file, const void *buf, uint32_t len) {
  const char *at = static_cast<const char *>(buf);
  while (len > 0) {
    DWORD put = 0;
    if (!WriteFile(file->handle, at, len, &put, nullptr)) return false;
    if (put == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    at += put;
    len -= put;
  }
  return true;
}

bool PathExists(const char *path) { return _access(path ? path : "", 0) == 0; }

bool RemoveFile(const char *path) { return DeleteFileA(path ? path : "") != 0; }

// ---- directory search ----------------------------------------------------------

FileSearch *FindFirstEntry(const char *pattern, FoundEntry *found) {
  WIN32_FIND_DATAA data;
  HANDLE handle = FindFirstFileA(pattern ? pattern : "", &data);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  FileSearch *search = new (std::nothrow) FileSearch{handle};
  if (!search) {
    FindClose(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  CopyEntry(data, found);
  return search;
}

bool FindNextEntry(FileSearch *search, FoundEntry *found) {
  WIN32_FIND_DATAA data;
  if (!search || !FindNextFileA(search->handle, &data)) return false;
  CopyEntry(data, found);
  return true;
}

void EndSearch(FileSearch *search) {
  if (!search) return;
  FindClose(search->handle);
  delete search;
}

// ---- temporary directory, drives, free space -----------------------------------

uint32_t TemporaryDirectory(char *buf, uint32_t cap) {
  if (!buf || cap == 0) return 0;
  // The process's live environment, not a runtime's copy made at start-up:
  // the host may have changed it since.
  char value[32768];
  for (const char *name : {"TEMP", "TMP"}) {
    DWORD len = GetEnvironmentVariableA(name, value, sizeof value);
    if (len == 0 || len >= sizeof value) continue;
    if (len > cap - 1) len = cap - 1;
    std::memcpy(buf, value, len);
    buf[len] = '\0';
    return static_cast<uint32_t>(len);
  }
  buf[0] = '\0';
  return 0;
}

uint32_t LogicalDriveMask() { return GetLogicalDrives(); }

bool FreeBytesAvailable(const char *root, uint64_t *bytes) {
  if (gFreeSpaceHook) return gFreeSpaceHook(root, bytes);
  // Looked up at each call: very old systems lack the extended query.
  using FreeSpaceEx = BOOL(WINAPI *)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
  FreeSpaceEx query = Lookup<FreeSpaceEx>(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA");
  if (query) {
    ULARGE_INTEGER available, total, totalFree;
    if (!query(root, &available, &total, &totalFree)) return false;
    *bytes = available.QuadPart;
    return true;
  }
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
    return false;
  *bytes = uint64_t{sectorsPerCluster} * bytesPerSector * freeClusters;
  return true;
}

void SetFreeSpaceForTesting(FreeSpaceHook hook) { gFreeSpaceHook = hook; }

// ---- GUIDs -------------------------------------------------------------------------

bool NewGuid(Guid *guid) {
  GUID made;
  if (CoCreateGuid(&made) != S_OK) return false;
  guid->data1 = made.Data1;
  guid->data2 = made.Data2;
  guid->data3 = made.Data3;
  std::memcpy(guid->data4, made.Data4, sizeof guid->data4);
  return true;
}

}  // namespace platform
