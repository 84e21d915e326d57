// driver.h -- the command line: settings, switches and the batch run.
#ifndef PIXVEIL_DRIVER_H
#define PIXVEIL_DRIVER_H

#include <cstdint>
#include <string>

namespace pixveil {

constexpr int kMaxPositional = 10;
constexpr size_t kMaxPassword = 256;

struct ToolOptions {
  bool bmpOutput = false;
  bool compress = true;
  bool warningText = true;
  bool quiet = false;
  std::string password;
  bool decrypt = false;
  bool info = false;
  bool confirm = true;
  int32_t foreground = 255 << 16;
  int32_t background = 255;
  const char *positional[kMaxPositional] = {};
  int positionalCount = 0;
  bool showHelp = false;
  bool showLibraryVersion = false;
};

// Reads the arguments (a leading "-" is taken as "/", in place). Stops at
// /? or /DLLVER, which the run acts on at once.
void ParseArguments(int argc, char **argv, ToolOptions *options);

// Prints the message of a pipeline's error code.
void PrintError(int code, uint32_t attributeA, uint32_t attributeB);

// The whole program; never returns.
[[noreturn]] void Run(int argc, char **argv);

}  // namespace pixveil

#endif
