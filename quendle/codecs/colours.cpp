// colours.cpp -- colour values: hexadecimal colour text and the exchanges
// between 0xRRGGBB values and the platform's 0x00BBGGRR colours.
#include "quendle.h"

#include <cstring>

namespace {

constexpr size_t kColourDigits = 6;

// Value of a hexadecimal digit, or -1.
int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// One colour component from the up to two characters at `pair` (`count` of
// them exist). A leading blank counts as 0, so " 1" reads as 1; a second
// character that is no digit ends the number after the first.
int32_t ReadComponent(const char *pair, size_t count) {
  if (count == 0) return 0;
  int high = HexDigit(pair[0]);
  if (count == 1) return high < 0 ? 0 : high;
  if (high < 0) {
    if (pair[0] != ' ' && pair[0] != '\t') return 0;
    high = 0;
  }
  int low = HexDigit(pair[1]);
  return low < 0 ? high : high * 16 + low;
}

}  // namespace

QUENDLE_API int32_t QCALL RGBVal(const char *text) {
  if (!text || !*text) return 0;
  if (*text == '#') ++text;
  size_t length = std::strlen(text);
  if (length == 0 || length > kColourDigits) return 0;
  int32_t value = 0;
  for (size_t start = 0; start < kColourDigits; start += 2) {
    size_t count = start >= length ? 0 : (length - start >= 2 ? 2 : 1);
    value = value * 256 + ReadComponent(text + start, count);
  }
  return value;
}

QUENDLE_API int32_t QCALL RGBSplit(int32_t value, int16_t *red, int16_t *green, int16_t *blue) {
  auto v = static_cast<uint32_t>(value);
  int32_t result = value;
  if (red) *red = static_cast<int16_t>((v >> 16) & 255);
  if (green) *green = static_cast<int16_t>((v >> 8) & 255);
  if (blue) result = *blue = static_cast<int16_t>(v & 255);
  return result;
}

QUENDLE_API int32_t QCALL BGRSplit(int32_t value, int16_t *red, int16_t *green, int16_t *blue) {
  auto v = static_cast<uint32_t>(value);
  int32_t result = value;
  if (red) result = *red = static_cast<int16_t>(v & 255);
  if (green) *green = static_cast<int16_t>((v >> 8) & 255);
  if (blue) *blue = static_cast<int16_t>((v >> 16) & 255);
  return result;
}

QUENDLE_API int32_t QCALL BGRToRGB(int32_t value) {
  auto v = static_cast<uint32_t>(value);
  return static_cast<int32_t>((v & 255) << 16 | ((v >> 8) & 255) << 8 | ((v >> 16) & 255));
}
