// library_loader_linux.cpp -- dlopen/dlsym.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "library_loader.h"

namespace host {

std::string LibraryPath() {
  char exe[PATH_MAX];
  ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
  std::string path(exe, len > 0 ? static_cast<size_t>(len) : 0);
  return path.substr(0, path.rfind('/') + 1) + "quendle.so";
}

void *OpenLibrary(const std::string &path, std::string *message) {
  void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library && message) *message = dlerror();
  return library;
}

void *FindExport(void *library, const char *name) { return dlsym(library, name); }
void CloseLibrary(void *library) { dlclose(library); }

void FreeString(void *library, void *str) {
  auto release = reinterpret_cast<void (*)(void *)>(dlsym(library, "SysFreeString"));
  if (release) release(str);
}

}  // namespace host
