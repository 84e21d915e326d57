// files.h -- the seam to the platform's file system: reading and writing whole
// files, the directory search with its wildcard rules, file attributes,
// deletion, the temporary directory, drives and free space, and new GUIDs.
//
// Windows hands these to kernel32 and ole32. Linux reproduces what a Windows
// caller sees: "\" and "/" both separate path components, a search pattern's
// last component may hold the wildcards "*" and "?" with the Windows meaning
// (case-insensitive, "*.*" also matching names without a dot), directories
// carry the directory attribute and report size 0, and every failure records
// a Windows error number (2 file not found, 3 path not found, 5 access
// denied, 123 invalid name...) for GetError.
#ifndef QUENDLE_PLATFORM_FILES_H
#define QUENDLE_PLATFORM_FILES_H

#include <cstdint>

namespace platform {

// The longest path a working copy holds (Windows MAX_PATH, terminator excluded).
constexpr uint32_t kMaxPath = 260;

// File attribute bits, in Windows numbering.
constexpr uint32_t kAttributeReadOnly = 0x01;
constexpr uint32_t kAttributeDirectory = 0x10;
constexpr uint32_t kAttributeNormal = 0x80;

// The separator the library adds to a path ("\" on Windows, "/" on Linux) and
// whether a character separates path components where it is read.
char PathSeparator();
bool IsPathSeparator(char c);

// ---- whole files -----------------------------------------------------------

struct OpenedFile;  // one open file; closed with CloseFile

// Opens an existing file for reading, sharing read access with others. A
// directory cannot be opened (access denied). Null on failure.
OpenedFile *OpenForReading(const char *path);
// Creates a file for writing, replacing one of that name. Null on failure.
OpenedFile *CreateForWriting(const char *path);
void CloseFile(OpenedFile *file);

// Size of an open file in bytes; false on failure.
bool FileSize(OpenedFile *file, uint64_t *size);
// Reads up to len bytes: the count read, 0 at the end of the file, -1 on failure.
int64_t ReadBytes(OpenedFile *file, void *buf, uint32_t len);
// Writes all len bytes; false when they could not all be written.
bool WriteBytes(OpenedFile *file, const void *buf, uint32_t len);

// The C library's existence test: true when a file or directory of that name exists.
bool PathExists(const char *path);
// Deletes a file (not a directory; a read-only file is refused); false on failure.
bool RemoveFile(const char *path);

// ---- directory search --------------------------------------------------------

// One entry the search reports: its name alone (no directory), attributes and
// size (0 for a directory).
struct FoundEntry {
  char name[kMaxPath + 1];
  uint32_t attributes;
  uint64_t size;
};

struct FileSearch;  // a search in progress; ended with EndSearch

// Starts a search for a path whose last component may hold wildcards: a
// component without them names the entry itself. Null when nothing matches
// (the error then says why), otherwise the first entry is in *found.
FileSearch *FindFirstEntry(const char *pattern, FoundEntry *found);
// The next matching entry; false when there are no more.
bool FindNextEntry(FileSearch *search, FoundEntry *found);
void EndSearch(FileSearch *search);

// ---- temporary directory, drives, free space ---------------------------------

// The directory for temporary files from the environment (TEMP, then TMP; on
// Linux also TMPDIR, then /tmp), at most cap - 1 characters; its length, 0 when
// there is none.
uint32_t TemporaryDirectory(char *buf, uint32_t cap);

// Bit n set when drive letter 'A' + n exists; Linux has no drive letters (0).
uint32_t LogicalDriveMask();

// Free bytes available to the caller on the volume whose root is given
// (a letter, ":", "\"); false when the query fails.
bool FreeBytesAvailable(const char *root, uint64_t *bytes);

// Tests pin the free-space answer with this; null restores the real query.
using FreeSpaceHook = bool (*)(const char *root, uint64_t *bytes);
void SetFreeSpaceForTesting(FreeSpaceHook hook);

// ---- GUIDs -------------------------------------------------------------------

struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
};

// A new random GUID; false on failure.
bool NewGuid(Guid *guid);

}  // namespace platform

#endif
