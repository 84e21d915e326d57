// system.cpp (Windows) -- last error, module file names and the clock.
#include "platform/system.h"

#include <windows.h>

#include "platform/windows/module.h"

namespace platform {
namespace {

ClockHook gClockHook = nullptr;

uint32_t ModuleName(HMODULE module, char *buf, uint32_t cap) {
  if (cap == 0) return 0;
  DWORD len = GetModuleFileNameA(module, buf, cap);
  if (len == 0 || len >= cap) return 0;
  return len;
}

}  // namespace

uint32_t LastError() { return GetLastError(); }
void RecordLastError(uint32_t code) { ::SetLastError(code); }

uint32_t LibraryFileName(char *buf, uint32_t cap) { return ModuleName(LibraryModule(), buf, cap); }

uint32_t ModuleFileName(intptr_t module, char *buf, uint32_t cap) {
  return ModuleName(reinterpret_cast<HMODULE>(module), buf, cap);
}

uint32_t UtcMilliseconds() {
  if (gClockHook) return gClockHook();
  SYSTEMTIME now;
  GetSystemTime(&now);
  return now.wMilliseconds;
}

void SetClockForTesting(ClockHook hook) { gClockHook = hook; }

}  // namespace platform
