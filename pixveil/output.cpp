// output.cpp -- formatted printing through the console seam.
#include "output.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/console.h"

namespace pixveil {
namespace {

std::string Format(const char *format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[512];
  int needed = std::vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, needed);
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, args);
  text.resize(static_cast<size_t>(needed));
  return text;
}

}  // namespace

void Print(const char *format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = Format(format, args);
  va_end(args);
  os::WriteOut(text.data(), text.size());
}

void PrintConsole(const char *format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = Format(format, args);
  va_end(args);
  os::WriteConsoleText(text.data(), text.size());
}

void SetAttribute(uint32_t attribute) {
  os::SetTextAttribute(static_cast<uint16_t>(attribute));
}

void ExitTool(int code) {
  std::fflush(stdout);
  std::exit(code);
}

}  // namespace pixveil
