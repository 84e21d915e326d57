// library_loader_windows.cpp -- LoadLibrary/GetProcAddress.
#include <windows.h>
#include <oleauto.h>

#include "library_loader.h"

namespace host {

// By bare name, as a Basic host declares it: the program's folder comes first
// in the search order.
std::string LibraryPath() { return "quendle.dll"; }

void *OpenLibrary(const std::string &path, std::string *message) {
  HMODULE library = LoadLibraryA(path.c_str());
  if (!library && message) *message = "LoadLibrary failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void *>(library);
}

void *FindExport(void *library, const char *name) {
  return reinterpret_cast<void *>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void *library) { FreeLibrary(static_cast<HMODULE>(library)); }

void FreeString(void *, void *str) { SysFreeString(static_cast<BSTR>(str)); }

}  // namespace host
