// automation.h -- the seam to the platform's automation services: byte and
// UTF-16 strings, SAFEARRAYs and VARIANTs. Windows supplies them in oleaut32;
// on Linux the library implements them itself (platform/linux/automation.cpp)
// and also exports them, so a host there can make and free what it passes in.
#ifndef QUENDLE_PLATFORM_AUTOMATION_H
#define QUENDLE_PLATFORM_AUTOMATION_H

#include "quendle.h"

namespace platform {

// Byte strings: len bytes from src (unset when src is null) plus a terminator.
ByteString AllocByteString(const void *src, uint32_t len);
uint32_t ByteStringLength(const void *str);
void FreeString(void *str);

// UTF-16 automation strings.
QOleChar *AllocWideString(const QOleChar *src, uint32_t len);
uint32_t WideStringLength(const QOleChar *str);

// SAFEARRAY services; HRESULT-style results (0 success, negative failure).
int32_t ArrayAllocDescriptor(uint32_t dims, QSafeArray **out);
int32_t ArrayAllocData(QSafeArray *array);
int32_t ArrayDestroy(QSafeArray *array);
int32_t ArrayLock(QSafeArray *array);
int32_t ArrayUnlock(QSafeArray *array);
int32_t ArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound);
int32_t ArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound);
int32_t ArrayGetElement(QSafeArray *array, const int32_t *indices, void *out);
int32_t ArrayPutElement(QSafeArray *array, const int32_t *indices, void *value);

// VARIANT services.
void InitVariant(QVariant *variant);
int32_t ClearVariant(QVariant *variant);

}  // namespace platform

#endif
