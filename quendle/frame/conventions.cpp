// conventions.cpp -- small exports that expose the library's calling
// conventions to a host: ByteString lengths and slices, word and byte halves,
// variant checks, the last system error and the callback probe.
#include <cstring>

#include "frame/bytestring.h"
#include "platform/automation.h"
#include "platform/system.h"

namespace {

constexpr uint16_t kTypeReservedBits = 0x0F00;
constexpr uint8_t kLastValidBaseType = QVT_CLSID;

const QSafeArray *VariantArray(const QVariant *variant) {
  if (variant->vt & QVT_BYREF) {
    auto *slot = static_cast<QSafeArray *const *>(variant->data.byref);
    return slot ? *slot : nullptr;
  }
  return variant->data.parray;
}

}  // namespace

QUENDLE_API int32_t QCALL SysLen(const char *byteString) {
  return static_cast<int32_t>(frame::ByteStringLength(byteString));
}

QUENDLE_API ByteString QCALL AllocString(int32_t length, uint8_t fill) {
  if (length < 1) return nullptr;
  ByteString result = frame::NewBinaryString(nullptr, static_cast<uint32_t>(length));
  if (!result) return nullptr;
  // Only the ASCII range 1..127 is a fill; other values leave the bytes as allocated.
  auto signedFill = static_cast<int8_t>(fill);
  if (signedFill >= 1) std::memset(result, signedFill, static_cast<size_t>(length));
  return result;
}

QUENDLE_API int32_t QCALL SliceLeft(ByteString *str, int32_t count) {
  if (!str || count < 1) return 0;
  int64_t rest = int64_t{frame::ByteStringLength(*str)} - count;
  // Removing every byte (or more) is refused rather than leaving an empty string.
  if (rest < 1) return 0;
  ByteString sliced = frame::NewBinaryString(*str + count, static_cast<uint32_t>(rest));
  if (!sliced) return 0;
  platform::FreeString(*str);
  *str = sliced;
  return -1;
}

QUENDLE_API int32_t QCALL HiWord(int32_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value) >> 16); }
QUENDLE_API int32_t QCALL HiByte(int16_t value) { return (static_cast<uint16_t>(value) >> 8) & 0xFF; }
QUENDLE_API int16_t QCALL LoWord(int32_t value) { return static_cast<int16_t>(value & 0xFFFF); }
QUENDLE_API int32_t QCALL LoByte(int16_t value) { return static_cast<uint16_t>(value) & 0xFF; }

QUENDLE_API int16_t QCALL IsValidVariant(const QVariant *variant) {
  if (!variant) return -1;
  if (variant->vt & kTypeReservedBits) return 0;
  return (variant->vt & 0xFF) <= kLastValidBaseType ? -1 : 0;
}

QUENDLE_API int32_t QCALL ElementCount(const QVariant *variant) {
  if (!variant || !IsValidVariant(variant) || !(variant->vt & QVT_ARRAY)) return 0;
  const QSafeArray *array = VariantArray(variant);
  return array ? static_cast<int32_t>(array->rgsabound[0].cElements) : 0;
}

QUENDLE_API uint32_t QCALL GetError(void) { return platform::LastError(); }

QUENDLE_API ByteString QCALL Crash(ByteString *str) {
  if (!str || !*str) return nullptr;
  char *text = *str;
  if (text[0] == '"') {
    // Shift the rest, terminator included, one place left; the recorded length stays.
    std::memmove(text, text + 1, std::strlen(text + 1) + 1);
  }
  return frame::NewTextString(text);
}

QUENDLE_API void QCALL Foo(QFooCallback callback) {
  static const char16_t kGreeting[] = u"Oh hai!";
  static const char16_t kQuestion[] = u"I can haz BSTR?";
  auto *first = platform::AllocWideString(reinterpret_cast<const QOleChar *>(kGreeting),
                                          sizeof kGreeting / sizeof kGreeting[0] - 1);
  auto *second = platform::AllocWideString(reinterpret_cast<const QOleChar *>(kQuestion),
                                           sizeof kQuestion / sizeof kQuestion[0] - 1);
  if (callback) callback(first, second);
  platform::FreeString(first);
  platform::FreeString(second);
}
