// output.h -- formatted printing for the tool: standard output, the console
// device and colours. The byte 0xFE in a message is the console's small square.
#ifndef PIXVEIL_OUTPUT_H
#define PIXVEIL_OUTPUT_H

#include <cstdint>

namespace pixveil {

// Console text attributes the tool uses.
constexpr uint16_t kNormal = 7;
constexpr uint16_t kSuccess = 10;
constexpr uint16_t kError = 12;
constexpr uint16_t kProgress = 14;
constexpr uint16_t kBanner = 31;
constexpr uint16_t kEndPrompt = 0x70;

#if defined(__GNUC__)
#define PIXVEIL_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define PIXVEIL_PRINTF(a, b)
#endif

// printf to standard output.
void Print(const char *format, ...) PIXVEIL_PRINTF(1, 2);
// printf to the console device.
void PrintConsole(const char *format, ...) PIXVEIL_PRINTF(1, 2);
// Sets the console attribute (after flushing what was printed before it).
void SetAttribute(uint32_t attribute);
// Flushes standard output and ends the program with the exit code.
[[noreturn]] void ExitTool(int code);

}  // namespace pixveil

#endif
