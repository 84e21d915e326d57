// bytestring.cpp -- ByteString construction shared by every export.
#include "frame/bytestring.h"

#include <cstring>

#include "platform/automation.h"

namespace frame {

ByteString NewBinaryString(const void *bytes, uint32_t len) {
  return platform::AllocByteString(bytes, len);
}

ByteString NewTextString(const char *text) {
  text = TextOrEmpty(text);
  return platform::AllocByteString(text, static_cast<uint32_t>(std::strlen(text)));
}

uint32_t ByteStringLength(const char *handle) {
  return handle ? platform::ByteStringLength(handle) : 0;
}

bool PointsInto(const char *p, const char *handle) {
  if (!p || !handle) return false;
  auto at = reinterpret_cast<uintptr_t>(p);
  auto start = reinterpret_cast<uintptr_t>(handle);
  return at >= start && at - start <= ByteStringLength(handle);
}

}  // namespace frame
