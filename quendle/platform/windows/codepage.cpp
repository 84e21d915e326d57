// codepage.cpp (Windows) -- ANSI code page conversions through kernel32.
#include "platform/codepage.h"

#include <windows.h>

namespace platform {

int AnsiToWide(const char *src, int srcLen, QOleChar *dst, int dstCap) {
  return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, src, srcLen, reinterpret_cast<LPWSTR>(dst),
                             dst ? dstCap : 0);
}

int WideToAnsi(const QOleChar *src, int srcLen, char *dst, int dstCap) {
  return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(src), srcLen, dst, dst ? dstCap : 0,
                             nullptr, nullptr);
}

}  // namespace platform
