// paths.h -- the driver's path helpers: texts of at most 260 bytes.
#ifndef PIXVEIL_PATHS_H
#define PIXVEIL_PATHS_H

#include <string>

namespace pixveil {

constexpr size_t kMaxPath = 260;

// "missing" for an empty path; the directory part without trailing
// separators (a bare drive and a lone separator kept); "" for 260+ bytes.
std::string DirectoryPart(const std::string &path);
// The name after the last separator; "" for "", "." and "..".
std::string NamePart(const std::string &path);
// Appends the separator unless empty, a bare drive, or already ending in one.
std::string AddSeparator(const std::string &path);
// Cuts a copy at the working-copy limit.
std::string CutToPath(const std::string &text);

}  // namespace pixveil

#endif
