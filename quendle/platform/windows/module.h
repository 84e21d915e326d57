// module.h (Windows) -- the library's own module handle, recorded at load.
#ifndef QUENDLE_PLATFORM_WINDOWS_MODULE_H
#define QUENDLE_PLATFORM_WINDOWS_MODULE_H

#include <windows.h>

namespace platform {

// The handle DllMain recorded; null when the code is linked into a program
// rather than loaded as quendle.dll (the program's own module is then meant).
HMODULE LibraryModule();

}  // namespace platform

#endif
