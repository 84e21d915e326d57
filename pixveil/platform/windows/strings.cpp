// strings.cpp (Windows) -- byte strings from oleaut32, where the library's
// own strings come from too.
#include "platform/strings.h"

#include <windows.h>
#include <oleauto.h>

namespace os {

ByteString NewByteString(const void *src, uint32_t len) {
  return reinterpret_cast<ByteString>(SysAllocStringByteLen(static_cast<LPCSTR>(src), len));
}

void FreeByteString(ByteString str) {
  SysFreeString(reinterpret_cast<BSTR>(str));
}

}  // namespace os
