// system.cpp (Linux) -- last error, module file names and the clock.
#include "platform/system.h"

#include <dlfcn.h>
#include <sys/time.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace platform {
namespace {

thread_local uint32_t tLastError = 0;
constexpr uint32_t kErrorModuleNotFound = 126;
ClockHook gClockHook = nullptr;

uint32_t CopyName(const char *name, char *buf, uint32_t cap) {
  if (!name || cap == 0) return 0;
  size_t len = std::strlen(name);
  if (len >= cap) len = cap - 1;
  std::memcpy(buf, name, len);
  buf[len] = '\0';
  return static_cast<uint32_t>(len);
}

}  // namespace

uint32_t LastError() { return tLastError; }
void RecordLastError(uint32_t code) { tLastError = code; }

uint32_t LibraryFileName(char *buf, uint32_t cap) {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void *>(&LibraryFileName), &info) || !info.dli_fname) return 0;
  char resolved[PATH_MAX];
  if (!realpath(info.dli_fname, resolved)) return CopyName(info.dli_fname, buf, cap);
  return CopyName(resolved, buf, cap);
}

uint32_t ModuleFileName(intptr_t module, char *buf, uint32_t cap) {
  if (module == 0) {
    char exe[PATH_MAX];
    ssize_t len = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (len <= 0) return 0;
    exe[len] = '\0';
    return CopyName(exe, buf, cap);
  }
  // A module handle on Linux is the load address of a shared object.
  Dl_info info;
  if (!dladdr(reinterpret_cast<void *>(module), &info) || !info.dli_fname ||
      info.dli_fbase != reinterpret_cast<void *>(module)) {
    tLastError = kErrorModuleNotFound;
    return 0;
  }
  return CopyName(info.dli_fname, buf, cap);
}

uint32_t UtcMilliseconds() {
  if (gClockHook) return gClockHook();
  struct timeval now;
  gettimeofday(&now, nullptr);
  return static_cast<uint32_t>(now.tv_usec / 1000);
}

void SetClockForTesting(ClockHook hook) { gClockHook = hook; }

}  // namespace platform
