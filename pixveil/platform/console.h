// console.h -- the tool's narrow view of the console: text attributes, the
// screen, the cursor and single keys. Portable code talks only to this; the
// Windows file uses the console API and the runtime's key functions, the
// Linux file a terminal (raw mode while a key is awaited) or, when standard
// input is no terminal, the bytes a script feeds it.
#ifndef PIXVEIL_PLATFORM_CONSOLE_H
#define PIXVEIL_PLATFORM_CONSOLE_H

#include <cstddef>
#include <cstdint>

namespace os {

// Key codes the readers return besides plain characters.
constexpr int kKeyEscape = 27;
constexpr int kKeyEnter = 13;
// A navigation key arrives as this prefix followed by its scan code.
constexpr int kKeyExtended = 0xE0;
constexpr int kScanHome = 0x47;
constexpr int kScanUp = 0x48;
constexpr int kScanPageUp = 0x49;
constexpr int kScanEnd = 0x4F;
constexpr int kScanDown = 0x50;
constexpr int kScanPageDown = 0x51;

// Once at start-up: learns whether output is a terminal and how it shows text.
void InitConsole();

// Writes bytes to standard output (through stdio, so ordinary printing and
// this interleave). The byte 0xFE, the small square of the console's code
// page, is shown as that square where the output cannot show the byte.
void WriteOut(const char *text, size_t length);
// Writes bytes to the console device (prompts and the help banner).
void WriteConsoleText(const char *text, size_t length);

// The console's 16-bit text attribute (foreground bits 0-3, background 4-7).
void SetTextAttribute(uint16_t attribute);
// Fills the screen with spaces in the current attribute, cursor top left.
void ClearScreen();
// Rows of the visible window; 0 when unknown.
int WindowHeight();
// 1-based cursor position; false (and 0, 0) when unknown.
bool CursorPosition(int *column, int *row);
// Puts the cursor at a 1-based position (each clamped at 1).
void MoveCursor(int column, int row);
// One row up, same column.
void CursorUpOneRow();

// Keys are awaited between these two: a terminal stops echoing and hands
// over each key at once (raw mode); they nest, and exit restores the terminal.
void BeginKeyInput();
void EndKeyInput();

// True when a key is waiting (end of input counts: it reads as ESC).
bool KeyWaiting();
// Reads one key without echo, waiting for it; end of input gives ESC.
int ReadKey();
// Drops keys typed ahead at a terminal; scripted input is kept.
void DiscardWaitingKeys();
void SleepMilliseconds(unsigned milliseconds);
// Milliseconds since midnight, UTC.
uint32_t UtcMillisecondsOfDay();

}  // namespace os

#endif
