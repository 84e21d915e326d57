// startup.cpp (Windows) -- the DLL entry: records the module handle, nothing else.
#include <windows.h>

#include "platform/windows/module.h"

namespace {
HMODULE gModule = nullptr;
}

namespace platform {
HMODULE LibraryModule() { return gModule; }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)reason;
  (void)reserved;
  gModule = instance;
  return TRUE;
}
