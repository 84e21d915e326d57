// bytestring.h -- how the library makes and reads ByteStrings. Every export
// builds its results through these, so a result is always allocated once at
// its final length.
#ifndef QUENDLE_FRAME_BYTESTRING_H
#define QUENDLE_FRAME_BYTESTRING_H

#include <cstdint>

#include "quendle.h"

namespace frame {

// A binary result: exactly len bytes (zero bytes included); null when memory
// runs out.
ByteString NewBinaryString(const void *bytes, uint32_t len);

// A text result: the bytes up to the first zero byte; a null text gives an
// empty (zero-length) ByteString.
ByteString NewTextString(const char *text);

// Byte length recorded in a ByteString's prefix; 0 for the null handle.
uint32_t ByteStringLength(const char *handle);

// Whether p points into the content of the ByteString handle (or just past
// it): such a source must outlive the handle's release when the handle is
// about to be replaced.
bool PointsInto(const char *p, const char *handle);

// Treats a null byte-string pointer as the empty text.
inline const char *TextOrEmpty(const char *text) { return text ? text : ""; }

}  // namespace frame

#endif
