// paths.cpp -- directory and name parts of the driver's pattern.
#include "paths.h"

#include "platform/files.h"

namespace pixveil {

std::string DirectoryPart(const std::string &path) {
  if (path.empty()) return "missing";
  if (path.size() >= kMaxPath) return std::string();
  std::string result;
  size_t cut = path.find_last_of('\\');
  if (cut == std::string::npos) cut = path.find_last_of('/');
  if (cut != std::string::npos)
    result = path.substr(0, cut + 1);
  else if (path.find(':') != std::string::npos)
    result = path;
  if (result.size() < 4 && result.size() >= 2 && result[1] == ':') return result;
  if (result == "\\" || result == "/") return result;
  while (!result.empty() && result.back() == '\\') result.pop_back();
  while (!result.empty() && result.back() == '/') result.pop_back();
  return result;
}

std::string NamePart(const std::string &path) {
  if (path.empty() || path == "." || path == "..") return std::string();
  size_t cut = path.find_last_of('\\');
  if (cut == std::string::npos) cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string AddSeparator(const std::string &path) {
  if (path.empty()) return path;
  if (path.size() == 2 && path[1] == ':') return path;
  if (path.back() == '\\' || path.back() == '/') return path;
  return CutToPath(path + os::kPathSeparator);
}

std::string CutToPath(const std::string &text) {
  return text.size() > kMaxPath ? text.substr(0, kMaxPath) : text;
}

}  // namespace pixveil
