// hex.h -- hexadecimal pieces shared with other codecs, the date exports and
// the expression front end.
#ifndef QUENDLE_CODECS_HEX_H
#define QUENDLE_CODECS_HEX_H

#include <cstdint>

namespace codecs {

// The upper-case digits every hexadecimal writer uses.
extern const char kHexDigits[17];

// Value 0..15 of an ASCII hexadecimal digit (either case), -1 for anything else.
int HexDigitValue(char c);

// Writes the two upper-case digits of a byte to out[0] and out[1].
inline void WriteHexByte(char *out, uint8_t value) {
  out[0] = kHexDigits[value >> 4];
  out[1] = kHexDigits[value & 0x0F];
}

// Reads 1 to 8 hexadecimal digits (after an optional "&h" or "0x") as a 32-bit
// value; anything else, null included, gives 0.
uint32_t HexToDword(const char *text);

}  // namespace codecs

#endif
