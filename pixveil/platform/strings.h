// strings.h -- making and freeing the automation byte strings that cross the
// library boundary. Windows has them in oleaut32; on Linux the library
// exports the same services.
#ifndef PIXVEIL_PLATFORM_STRINGS_H
#define PIXVEIL_PLATFORM_STRINGS_H

#include <cstdint>

#include "quendle.h"

namespace os {

// A new ByteString of len bytes copied from src (unset when src is null).
ByteString NewByteString(const void *src, uint32_t len);
// Frees a ByteString the library returned; null does nothing.
void FreeByteString(ByteString str);

}  // namespace os

#endif
