// automation.h -- the seam to the platform's automation services: byte and
// UTF-16 strings, SAFEARRAYs and VARIANTs. Windows supplies them in oleaut32;
// on Linux the library implements them itself (platform/linux/automation.cpp,
// arrays.cpp, variants.cpp) and also exports them, so a host there can make
// and free what it passes in.
#ifndef QUENDLE_PLATFORM_AUTOMATION_H
#define QUENDLE_PLATFORM_AUTOMATION_H

#include "quendle.h"

namespace platform {

// HRESULT values the array and variant services return.
constexpr int32_t kOk = 0;
constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057u);  // E_INVALIDARG
constexpr int32_t kBadIndex = static_cast<int32_t>(0x8002000Bu);         // DISP_E_BADINDEX
constexpr int32_t kArrayIsLocked = static_cast<int32_t>(0x8002000Du);    // DISP_E_ARRAYISLOCKED
constexpr int32_t kBadVarType = static_cast<int32_t>(0x80020008u);       // DISP_E_BADVARTYPE
constexpr int32_t kUnexpected = static_cast<int32_t>(0x8000FFFFu);       // E_UNEXPECTED
constexpr int32_t kOutOfMemory = static_cast<int32_t>(0x8007000Eu);      // E_OUTOFMEMORY
constexpr int32_t kNullPointer = static_cast<int32_t>(0x80004003u);      // E_POINTER

// SAFEARRAY feature bits (fFeatures).
constexpr uint16_t kFeatureAuto = 0x0001;
constexpr uint16_t kFeatureStatic = 0x0002;
constexpr uint16_t kFeatureEmbedded = 0x0004;
constexpr uint16_t kFeatureFixedSize = 0x0010;
constexpr uint16_t kFeatureRecord = 0x0020;
constexpr uint16_t kFeatureHaveIid = 0x0040;
constexpr uint16_t kFeatureHaveVarType = 0x0080;
constexpr uint16_t kFeatureBstr = 0x0100;
constexpr uint16_t kFeatureUnknown = 0x0200;
constexpr uint16_t kFeatureDispatch = 0x0400;
constexpr uint16_t kFeatureVariant = 0x0800;
constexpr uint16_t kFeatureCreateVector = 0x2000;

// The most locks an array can hold at once; one more lock fails.
constexpr uint32_t kMaxArrayLocks = 0xFFFF;

// Byte strings: len bytes from src (unset when src is null) plus a terminator.
ByteString AllocByteString(const void *src, uint32_t len);
uint32_t ByteStringLength(const void *str);
void FreeString(void *str);

// UTF-16 automation strings.
QOleChar *AllocWideString(const QOleChar *src, uint32_t len);
uint32_t WideStringLength(const QOleChar *str);

// SAFEARRAY services; HRESULT-style results (0 success, negative failure).
// Dimension numbers count from 1 (the leftmost dimension, whose bounds are
// the last stored pair); index arrays list one index per dimension in that
// same order, indices[0] being dimension 1.
int32_t ArrayAllocDescriptor(uint32_t dims, QSafeArray **out);
int32_t ArrayAllocData(QSafeArray *array);
// A one-dimensional array of count elements of type vt, data zeroed; null
// for a type that cannot be an array element or when memory runs out.
QSafeArray *ArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t count);
// A new array with the same shape and copies of every element (strings and
// variants copied deeply); a null array gives a null copy.
int32_t ArrayCopy(QSafeArray *array, QSafeArray **out);
int32_t ArrayDestroy(QSafeArray *array);
int32_t ArrayLock(QSafeArray *array);
int32_t ArrayUnlock(QSafeArray *array);
// Locks the array and hands out pvData; ArrayUnaccessData unlocks it.
int32_t ArrayAccessData(QSafeArray *array, void **data);
int32_t ArrayUnaccessData(QSafeArray *array);
uint32_t ArrayGetDim(QSafeArray *array);
int32_t ArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound);
int32_t ArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound);
// String elements come out as new copies the caller frees; variant elements
// as copies the caller clears. value for a string array is the string itself.
int32_t ArrayGetElement(QSafeArray *array, const int32_t *indices, void *out);
int32_t ArrayPutElement(QSafeArray *array, const int32_t *indices, void *value);

// VARIANT services.
void InitVariant(QVariant *variant);
int32_t ClearVariant(QVariant *variant);
// Clears dest, then makes it a copy of src (strings and arrays copied deeply,
// by-reference values share their target).
int32_t CopyVariant(QVariant *dest, const QVariant *src);

}  // namespace platform

#endif
