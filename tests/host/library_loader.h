// library_loader.h -- loads quendle from the folder of the running program and
// looks exports up by their plain names.
#ifndef TESTS_HOST_LIBRARY_LOADER_H
#define TESTS_HOST_LIBRARY_LOADER_H

#include <string>

namespace host {

// The library's file name on this platform, in the program's own folder.
std::string LibraryPath();
// Opens the library; null on failure (the reason goes to the message).
void *OpenLibrary(const std::string &path, std::string *message);
// The export's address by its plain name; null when it is not exported.
void *FindExport(void *library, const char *name);
void CloseLibrary(void *library);
// Frees a string the library returned, with the platform's string release
// (oleaut32 on Windows, the library's own export on Linux).
void FreeString(void *library, void *str);

}  // namespace host

#endif
