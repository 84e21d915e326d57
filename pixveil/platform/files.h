// files.h -- the file-system services the tool needs beyond the standard
// library: existence, directory search, directory creation, the working
// directory, names the platform accepts, and moving a finished file over its
// target in one step.
#ifndef PIXVEIL_PLATFORM_FILES_H
#define PIXVEIL_PLATFORM_FILES_H

#include <cstdio>
#include <memory>
#include <string>

namespace os {

// The separator the tool appends when it joins a directory and a name.
extern const char kPathSeparator;

// True when a command-line argument that begins with "/" is an absolute path
// rather than a switch. Only Linux has such paths: there an argument whose
// parent directory (below the root; trailing "/" ignored) exists is a path, so
// "/home/me/*.txt" and "/tmp/out/" are taken as the pattern and the output
// directory while "/P:secret" and "/Y" stay switches.
bool IsAbsolutePathArgument(const char *argument);

// True when anything exists at the path.
bool PathExists(const char *path);
// Creates one directory (parents are not created).
bool MakeDirectory(const char *path);
// The current working directory, empty on failure.
std::string CurrentDirectory();

// Searches one directory for names matching a pattern with * and ?.
struct DirectorySearch;
struct FoundEntry {
  std::string name;
  bool isDirectory = false;
};
// Null when nothing matches; otherwise the first entry is in *entry.
DirectorySearch *FindFirst(const char *pattern, FoundEntry *entry);
bool FindNext(DirectorySearch *search, FoundEntry *entry);
void FindClose(DirectorySearch *search);

// True when name is usable as a file name on its own here: no separator of
// either kind, no drive, nothing the platform forbids, not "." or "..".
bool IsPlainFileName(const std::string &name);

// Opens a file that must not exist yet, for binary writing; null on failure.
FILE *CreateNewFile(const char *path);
// Moves a finished file over target (replacing it) in one step.
bool MoveOverTarget(const char *from, const char *target);
// Deletes a file; false when it could not be deleted.
bool RemoveFile(const char *path);
// A number that differs between processes, for temporary names.
unsigned long ProcessId();

}  // namespace os

#endif
