// variants.cpp (Linux) -- VARIANT services with the platform's rules: which
// type words are valid, what a variant owns (its string or its array, unless
// it holds them by reference) and how copies share nothing they own.
//
// Linux has no COM objects, so interface and record values are carried as
// plain pointers and never reference-counted.
#include <cstring>

#include "platform/automation.h"

namespace {

constexpr uint16_t kReservedFlag = 0x8000;
constexpr uint16_t kBaseTypeMask = 0x0FFF;

// The type words the platform accepts: VT_VECTOR and the reserved bit never
// appear in a variant, Empty and Null never by reference or as arrays, and the
// base type is one of the automation types.
bool IsValidType(uint16_t vt) {
  if (vt & (QVT_VECTOR | kReservedFlag)) return false;
  uint16_t base = vt & kBaseTypeMask;
  if (base == QVT_EMPTY || base == QVT_NULL) return !(vt & (QVT_ARRAY | QVT_BYREF));
  return (base <= QVT_UINT && base != 15) || base == QVT_RECORD || base == QVT_CLSID;
}

bool OwnsArray(uint16_t vt) { return (vt & QVT_ARRAY) && !(vt & QVT_BYREF); }
bool OwnsString(uint16_t vt) { return vt == QVT_BSTR; }

}  // namespace

QUENDLE_API void VariantInit(QVariant *variant) {
  // The whole variant is zeroed, not only its type word, so a fresh Empty
  // variant reads as zero whatever field a caller looks at.
  if (variant) std::memset(variant, 0, sizeof *variant);
}

QUENDLE_API int32_t VariantClear(QVariant *variant) {
  if (!variant) return platform::kInvalidArgument;
  if (!IsValidType(variant->vt)) return platform::kBadVarType;
  int32_t result = platform::kOk;
  if (OwnsArray(variant->vt)) result = platform::ArrayDestroy(variant->data.parray);
  else if (OwnsString(variant->vt)) platform::FreeString(variant->data.bstrVal);
  // Even a locked array leaves the variant Empty, as on Windows; the result
  // tells the caller that the array was not destroyed.
  variant->vt = QVT_EMPTY;
  return result;
}

namespace platform {

void InitVariant(QVariant *variant) { VariantInit(variant); }
int32_t ClearVariant(QVariant *variant) { return VariantClear(variant); }

int32_t CopyVariant(QVariant *dest, const QVariant *src) {
  if (!dest || !src) return kInvalidArgument;
  if (!IsValidType(src->vt)) return kBadVarType;
  if (dest == src) return kOk;
  int32_t result = VariantClear(dest);
  if (result != kOk) return result;
  // The whole variant is copied (a DECIMAL fills the reserved words too), then
  // what the source owns is replaced by copies of its own.
  std::memcpy(dest, src, sizeof *dest);
  if (OwnsArray(src->vt)) {
    result = ArrayCopy(src->data.parray, &dest->data.parray);
  } else if (OwnsString(src->vt) && src->data.bstrVal) {
    dest->data.bstrVal = reinterpret_cast<QOleChar *>(
        AllocByteString(src->data.bstrVal, ByteStringLength(src->data.bstrVal)));
    if (!dest->data.bstrVal) result = kOutOfMemory;
  }
  if (result != kOk) VariantInit(dest);
  return result;
}

}  // namespace platform
