// filequeries.h -- path helpers and the free-space engine shared by the file
// exports and by the string builder's temporary-file path.
#ifndef QUENDLE_FILES_FILEQUERIES_H
#define QUENDLE_FILES_FILEQUERIES_H

#include <cstddef>

#include "platform/files.h"
#include "quendle.h"

namespace files {

// A working copy of a path: at most platform::kMaxPath characters, with room
// for a separator and a short suffix such as "*.*".
struct PathBuffer {
  char text[platform::kMaxPath + 8];
};

// Copies a path (null counts as empty), cut to its first kMaxPath characters.
void CopyPath(PathBuffer *out, const char *path);

// Appends the platform's separator unless the text is empty, is a bare drive
// ("C:") or already ends with a separator; nothing is added once the text has
// reached kMaxPath characters.
void AddSeparator(PathBuffer *path);

// The name part: the text after the last "\", else after the last "/" (and on
// a platform where "/" separates too, after whichever comes last).
const char *NamePart(const char *path);

// The drive letter of a path in upper case ("C" for "c:\x"), or 0 when it
// does not start with a letter and ":".
char DriveOf(const char *path);

// Free bytes available to the caller on the drive named by the text's first
// character: -1.0 when that is no letter, 0.0 for an empty text or a failed query.
double FreeSpace(const char *drive);

}  // namespace files

#endif
