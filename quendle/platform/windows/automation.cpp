// automation.cpp (Windows) -- the automation services are oleaut32's.
#include "platform/automation.h"

#include <windows.h>
#include <oleauto.h>

#include <cstddef>

// The public header describes the platform's own structures; portable code
// reads their fields directly, so any drift would misread every array.
static_assert(sizeof(QSafeArray) == sizeof(SAFEARRAY), "SAFEARRAY size");
static_assert(offsetof(QSafeArray, cDims) == offsetof(SAFEARRAY, cDims), "SAFEARRAY cDims");
static_assert(offsetof(QSafeArray, fFeatures) == offsetof(SAFEARRAY, fFeatures), "SAFEARRAY fFeatures");
static_assert(offsetof(QSafeArray, cbElements) == offsetof(SAFEARRAY, cbElements), "SAFEARRAY cbElements");
static_assert(offsetof(QSafeArray, cLocks) == offsetof(SAFEARRAY, cLocks), "SAFEARRAY cLocks");
static_assert(offsetof(QSafeArray, pvData) == offsetof(SAFEARRAY, pvData), "SAFEARRAY pvData");
static_assert(offsetof(QSafeArray, rgsabound) == offsetof(SAFEARRAY, rgsabound), "SAFEARRAY rgsabound");
static_assert(sizeof(QSafeArrayBound) == sizeof(SAFEARRAYBOUND), "SAFEARRAYBOUND size");
static_assert(sizeof(QVariant) == sizeof(VARIANT), "VARIANT size");
static_assert(offsetof(QVariant, data) == offsetof(VARIANT, lVal), "VARIANT data");
static_assert(QFADF_BSTR == FADF_BSTR && QFADF_VARIANT == FADF_VARIANT, "feature bits");
static_assert(platform::kFeatureHaveVarType == FADF_HAVEVARTYPE && platform::kFeatureUnknown == FADF_UNKNOWN,
              "feature bits");
static_assert(platform::kBadIndex == DISP_E_BADINDEX && platform::kArrayIsLocked == DISP_E_ARRAYISLOCKED &&
                  platform::kBadVarType == DISP_E_BADVARTYPE && platform::kUnexpected == E_UNEXPECTED &&
                  platform::kInvalidArgument == E_INVALIDARG && platform::kOutOfMemory == E_OUTOFMEMORY,
              "HRESULT values");

namespace platform {
namespace {
SAFEARRAY *Native(QSafeArray *array) { return reinterpret_cast<SAFEARRAY *>(array); }
LONG *NativeIndices(const int32_t *indices) { return reinterpret_cast<LONG *>(const_cast<int32_t *>(indices)); }
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
QSafeArray *ArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t count) {
  return reinterpret_cast<QSafeArray *>(SafeArrayCreateVector(vt, lowerBound, count));
}
int32_t ArrayCopy(QSafeArray *array, QSafeArray **out) {
  return SafeArrayCopy(Native(array), reinterpret_cast<SAFEARRAY **>(out));
}
int32_t ArrayDestroy(QSafeArray *array) { return SafeArrayDestroy(Native(array)); }
int32_t ArrayLock(QSafeArray *array) { return SafeArrayLock(Native(array)); }
int32_t ArrayUnlock(QSafeArray *array) { return SafeArrayUnlock(Native(array)); }
int32_t ArrayAccessData(QSafeArray *array, void **data) { return SafeArrayAccessData(Native(array), data); }
int32_t ArrayUnaccessData(QSafeArray *array) { return SafeArrayUnaccessData(Native(array)); }
uint32_t ArrayGetDim(QSafeArray *array) { return SafeArrayGetDim(Native(array)); }
int32_t ArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  return SafeArrayGetLBound(Native(array), dim, reinterpret_cast<LONG *>(bound));
}
int32_t ArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  return SafeArrayGetUBound(Native(array), dim, reinterpret_cast<LONG *>(bound));
}
int32_t ArrayGetElement(QSafeArray *array, const int32_t *indices, void *out) {
  return SafeArrayGetElement(Native(array), NativeIndices(indices), out);
}
int32_t ArrayPutElement(QSafeArray *array, const int32_t *indices, void *value) {
  return SafeArrayPutElement(Native(array), NativeIndices(indices), value);
}

void InitVariant(QVariant *variant) { VariantInit(reinterpret_cast<VARIANT *>(variant)); }
int32_t ClearVariant(QVariant *variant) { return VariantClear(reinterpret_cast<VARIANT *>(variant)); }
int32_t CopyVariant(QVariant *dest, const QVariant *src) {
  // The import declares the source without const; VariantCopy only reads it.
  return VariantCopy(reinterpret_cast<VARIANT *>(dest), reinterpret_cast<VARIANT *>(const_cast<QVariant *>(src)));
}

}  // namespace platform
