// automation.cpp (Windows) -- the automation services are oleaut32's.
#include "platform/automation.h"

#include <windows.h>
#include <oleauto.h>

namespace platform {
namespace {
SAFEARRAY *Native(QSafeArray *array) { return reinterpret_cast<SAFEARRAY *>(array); }
}  // namespace

ByteString AllocByteString(const void *src, uint32_t len) {
  return reinterpret_cast<ByteString>(SysAllocStringByteLen(static_cast<LPCSTR>(src), len));
}
uint32_t ByteStringLength(const void *str) {
  return SysStringByteLen(reinterpret_cast<BSTR>(const_cast<void *>(str)));
}
void FreeString(void *str) { SysFreeString(static_cast<BSTR>(str)); }

QOleChar *AllocWideString(const QOleChar *src, uint32_t len) {
  return reinterpret_cast<QOleChar *>(SysAllocStringLen(reinterpret_cast<const OLECHAR *>(src), len));
}
uint32_t WideStringLength(const QOleChar *str) {
  return SysStringLen(reinterpret_cast<BSTR>(const_cast<QOleChar *>(str)));
}

int32_t ArrayAllocDescriptor(uint32_t dims, QSafeArray **out) {
  return SafeArrayAllocDescriptor(dims, reinterpret_cast<SAFEARRAY **>(out));
}
int32_t ArrayAllocData(QSafeArray *array) { return SafeArrayAllocData(Native(array)); }
int32_t ArrayDestroy(QSafeArray *array) { return SafeArrayDestroy(Native(array)); }
int32_t ArrayLock(QSafeArray *array) { return SafeArrayLock(Native(array)); }
int32_t ArrayUnlock(QSafeArray *array) { return SafeArrayUnlock(Native(array)); }
int32_t ArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  return SafeArrayGetLBound(Native(array), dim, reinterpret_cast<LONG *>(bound));
}
int32_t ArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  return SafeArrayGetUBound(Native(array), dim, reinterpret_cast<LONG *>(bound));
}
int32_t ArrayGetElement(QSafeArray *array, const int32_t *indices, void *out) {
  return SafeArrayGetElement(Native(array), reinterpret_cast<LONG *>(const_cast<int32_t *>(indices)), out);
}
int32_t ArrayPutElement(QSafeArray *array, const int32_t *indices, void *value) {
  return SafeArrayPutElement(Native(array), reinterpret_cast<LONG *>(const_cast<int32_t *>(indices)), value);
}

void InitVariant(QVariant *variant) { VariantInit(reinterpret_cast<VARIANT *>(variant)); }
int32_t ClearVariant(QVariant *variant) { return VariantClear(reinterpret_cast<VARIANT *>(variant)); }

}  // namespace platform
