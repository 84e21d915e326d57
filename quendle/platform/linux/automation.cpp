// automation.cpp (Linux) -- automation strings as Windows lays them out: a
// 32-bit byte length just before the first byte and a two-byte zero after the
// content, so byte and UTF-16 strings share one allocator and either kind can
// be read as the other.
#include "platform/automation.h"

#include <cstdlib>
#include <cstring>

#include "platform/system.h"

namespace {

constexpr uint32_t kPrefix = sizeof(uint32_t);
constexpr uint32_t kTerminator = 2;
constexpr uint32_t kErrorNotEnoughMemory = 8;
// Windows refuses strings whose block would not fit a signed 32-bit size;
// keeping the same ceiling means a length that fails there fails here too.
constexpr uint32_t kMaxByteLength = 0x7FFFFFF0u;

char *AllocRaw(const void *src, uint32_t byteLen) {
  if (byteLen > kMaxByteLength) return nullptr;
  char *block = static_cast<char *>(std::malloc(size_t{kPrefix} + byteLen + kTerminator));
  if (!block) {
    platform::RecordLastError(kErrorNotEnoughMemory);
    return nullptr;
  }
  std::memcpy(block, &byteLen, kPrefix);
  char *content = block + kPrefix;
  if (src) std::memcpy(content, src, byteLen);
  std::memset(content + byteLen, 0, kTerminator);
  return content;
}

}  // namespace

QUENDLE_API ByteString SysAllocStringByteLen(const char *src, uint32_t len) { return AllocRaw(src, len); }

QUENDLE_API uint32_t SysStringByteLen(const void *str) {
  if (!str) return 0;
  uint32_t len;
  std::memcpy(&len, static_cast<const char *>(str) - kPrefix, kPrefix);
  return len;
}

QUENDLE_API void SysFreeString(void *str) {
  if (str) std::free(static_cast<char *>(str) - kPrefix);
}

QUENDLE_API QOleChar *SysAllocStringLen(const QOleChar *src, uint32_t len) {
  if (len > kMaxByteLength / sizeof(QOleChar)) return nullptr;
  return reinterpret_cast<QOleChar *>(AllocRaw(src, len * uint32_t{sizeof(QOleChar)}));
}

QUENDLE_API QOleChar *SysAllocString(const QOleChar *src) {
  if (!src) return nullptr;
  uint32_t len = 0;
  while (src[len]) ++len;
  return SysAllocStringLen(src, len);
}

// A byte string of odd length reads as its whole UTF-16 units only.
QUENDLE_API uint32_t SysStringLen(const QOleChar *str) {
  return SysStringByteLen(str) / sizeof(QOleChar);
}

namespace platform {

ByteString AllocByteString(const void *src, uint32_t len) {
  return SysAllocStringByteLen(static_cast<const char *>(src), len);
}
uint32_t ByteStringLength(const void *str) { return SysStringByteLen(str); }
void FreeString(void *str) { SysFreeString(str); }
QOleChar *AllocWideString(const QOleChar *src, uint32_t len) { return SysAllocStringLen(src, len); }
uint32_t WideStringLength(const QOleChar *str) { return SysStringLen(str); }

}  // namespace platform
