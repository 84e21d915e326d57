// strings.cpp (Linux) -- byte strings come from the library's own exports.
#include "platform/strings.h"

namespace os {

ByteString NewByteString(const void *src, uint32_t len) {
  return SysAllocStringByteLen(static_cast<const char *>(src), len);
}

void FreeByteString(ByteString str) {
  SysFreeString(str);
}

}  // namespace os
