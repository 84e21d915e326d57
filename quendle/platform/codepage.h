// codepage.h -- conversion between the ANSI code page and UTF-16 (Windows:
// CP_ACP; Linux: Windows-1252). Both behave as MultiByteToWideChar and
// WideCharToMultiByte with the flags the library uses: a negative srcLen means
// "up to and including the terminator"; dst null (or dstCap 0) asks for the
// size needed; the result is the units written, 0 on failure.
#ifndef QUENDLE_PLATFORM_CODEPAGE_H
#define QUENDLE_PLATFORM_CODEPAGE_H

#include "quendle.h"

namespace platform {

int AnsiToWide(const char *src, int srcLen, QOleChar *dst, int dstCap);
int WideToAnsi(const QOleChar *src, int srcLen, char *dst, int dstCap);

}  // namespace platform

#endif
