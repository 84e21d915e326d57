// arrays.cpp (Linux) -- SAFEARRAY services laid out and behaving as Windows
// has them, so a descriptor made here reads the same to code written for the
// platform's own.
//
// Every descriptor lives in one heap block behind a 16-byte header, as on
// Windows: the header holds an interface id (FADF_HAVEIID) or, in its last four
// bytes, the element type (FADF_HAVEVARTYPE). A vector made by
// SafeArrayCreateVector keeps its data in the same block (FADF_CREATEVECTOR).
//
// Bounds are stored rightmost dimension first, so dimension d (counted from 1,
// leftmost) is rgsabound[cDims - d], and the leftmost dimension varies fastest
// in the data.
#include "platform/automation.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

using platform::kArrayIsLocked;
using platform::kBadIndex;
using platform::kInvalidArgument;
using platform::kMaxArrayLocks;
using platform::kNullPointer;
using platform::kOk;
using platform::kOutOfMemory;
using platform::kUnexpected;

constexpr size_t kHeaderSize = 16;
constexpr uint32_t kMaxDims = 0xFFFF;
// A descriptor that the host placed itself (on its stack, in static storage or
// inside a structure) owns neither its block nor its data.
constexpr uint16_t kNotOurMemory = platform::kFeatureAuto | platform::kFeatureStatic | platform::kFeatureEmbedded;

// {00000000-0000-0000-C000-000000000046} and {00020400-0000-0000-C000-000000000046},
// in their in-memory byte order.
constexpr unsigned char kIidUnknown[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
constexpr unsigned char kIidDispatch[16] = {0, 0x04, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

size_t DescriptorSize(uint32_t dims) {
  return offsetof(QSafeArray, rgsabound) + size_t{dims} * sizeof(QSafeArrayBound);
}

size_t RoundUp16(size_t n) { return (n + 15) & ~size_t{15}; }

unsigned char *HeaderOf(QSafeArray *array) { return reinterpret_cast<unsigned char *>(array) - kHeaderSize; }

// A zeroed block holding header, descriptor and extraBytes of data after it.
QSafeArray *NewDescriptor(uint32_t dims, size_t extraBytes) {
  size_t total = RoundUp16(kHeaderSize + DescriptorSize(dims));
  if (extraBytes > SIZE_MAX / 2 - total) return nullptr;
  auto *block = static_cast<unsigned char *>(std::calloc(1, total + extraBytes));
  if (!block) return nullptr;
  auto *array = reinterpret_cast<QSafeArray *>(block + kHeaderSize);
  array->cDims = static_cast<uint16_t>(dims);
  return array;
}

void *VectorData(QSafeArray *array) {
  return HeaderOf(array) + RoundUp16(kHeaderSize + DescriptorSize(array->cDims));
}

void StoreVarType(QSafeArray *array, uint16_t vt) {
  uint32_t wide = vt;
  std::memcpy(HeaderOf(array) + kHeaderSize - sizeof wide, &wide, sizeof wide);
}

// Number of elements across all dimensions; false when it overflows.
bool TotalElements(const QSafeArray *array, uint64_t *count) {
  uint64_t n = 1;
  for (uint32_t i = 0; i < array->cDims; ++i)
    if (__builtin_mul_overflow(n, uint64_t{array->rgsabound[i].cElements}, &n)) return false;
  *count = n;
  return true;
}

bool DataBytes(const QSafeArray *array, size_t *bytes) {
  uint64_t count, total;
  if (!TotalElements(array, &count) || __builtin_mul_overflow(count, uint64_t{array->cbElements}, &total) ||
      total > SIZE_MAX / 2)
    return false;
  *bytes = static_cast<size_t>(total);
  return true;
}

// String and variant elements are only handled as such when the element size
// is exactly theirs; anything else would read past the end of each element.
bool HoldsStrings(const QSafeArray *array) {
  return (array->fFeatures & platform::kFeatureBstr) && array->cbElements == sizeof(void *);
}
bool HoldsVariants(const QSafeArray *array) {
  return (array->fFeatures & platform::kFeatureVariant) && array->cbElements == sizeof(QVariant);
}
bool ClaimsOwnedElements(const QSafeArray *array) {
  return array->fFeatures & (platform::kFeatureBstr | platform::kFeatureVariant);
}

void *ReadPointer(const unsigned char *at) {
  void *value;
  std::memcpy(&value, at, sizeof value);
  return value;
}
void WritePointer(unsigned char *at, void *value) { std::memcpy(at, &value, sizeof value); }

// Frees the strings and clears the variants the data holds, leaving it zeroed
// where they were.
void ReleaseElements(QSafeArray *array) {
  uint64_t count;
  if (!array->pvData || !TotalElements(array, &count)) return;
  auto *data = static_cast<unsigned char *>(array->pvData);
  if (HoldsStrings(array)) {
    for (uint64_t i = 0; i < count; ++i) {
      unsigned char *slot = data + i * sizeof(void *);
      platform::FreeString(ReadPointer(slot));
      WritePointer(slot, nullptr);
    }
  } else if (HoldsVariants(array)) {
    auto *variants = static_cast<QVariant *>(array->pvData);
    for (uint64_t i = 0; i < count; ++i) platform::ClearVariant(&variants[i]);
  }
}

// Byte offset of the element the indices name; kBadIndex when one is outside
// its dimension.
int32_t ElementOffset(const QSafeArray *array, const int32_t *indices, size_t *offset) {
  uint64_t cell = 0, stride = 1;
  for (uint32_t d = 0; d < array->cDims; ++d) {
    const QSafeArrayBound &bound = array->rgsabound[array->cDims - 1 - d];
    int64_t rel = int64_t{indices[d]} - bound.lLbound;
    if (rel < 0 || static_cast<uint64_t>(rel) >= bound.cElements) return kBadIndex;
    uint64_t step;
    if (__builtin_mul_overflow(static_cast<uint64_t>(rel), stride, &step) ||
        __builtin_add_overflow(cell, step, &cell) ||
        __builtin_mul_overflow(stride, uint64_t{bound.cElements}, &stride))
      return kBadIndex;
  }
  uint64_t bytes;
  if (__builtin_mul_overflow(cell, uint64_t{array->cbElements}, &bytes) || bytes > SIZE_MAX / 2) return kBadIndex;
  *offset = static_cast<size_t>(bytes);
  return kOk;
}

// Copies one element's content into a fresh, zeroed slot of another array.
int32_t CopyElement(const QSafeArray *array, const unsigned char *from, unsigned char *to) {
  if (HoldsStrings(array)) {
    void *source = ReadPointer(from);
    if (!source) return kOk;
    void *copy = platform::AllocByteString(source, platform::ByteStringLength(source));
    if (!copy) return kOutOfMemory;
    WritePointer(to, copy);
    return kOk;
  }
  if (HoldsVariants(array))
    return platform::CopyVariant(reinterpret_cast<QVariant *>(to), reinterpret_cast<const QVariant *>(from));
  std::memcpy(to, from, array->cbElements);
  return kOk;
}

// Element size and feature bits of a vector of the given type; 0 size when
// the type cannot be an array element.
uint32_t VectorElement(uint16_t vt, uint16_t *features) {
  *features = platform::kFeatureHaveVarType;
  switch (vt) {
    case QVT_I1:
    case QVT_UI1:
      return 1;
    case QVT_I2:
    case QVT_UI2:
    case QVT_BOOL:
      return 2;
    case QVT_I4:
    case QVT_UI4:
    case QVT_INT:
    case QVT_UINT:
    case QVT_R4:
    case QVT_ERROR:
      return 4;
    case QVT_R8:
    case QVT_CY:
    case QVT_DATE:
    case QVT_I8:
    case QVT_UI8:
      return 8;
    case QVT_DECIMAL:
      return 16;
    case QVT_BSTR:
      *features |= platform::kFeatureBstr;
      return sizeof(void *);
    case QVT_VARIANT:
      *features |= platform::kFeatureVariant;
      return sizeof(QVariant);
    case QVT_UNKNOWN:
      *features = platform::kFeatureHaveIid | platform::kFeatureUnknown;
      return sizeof(void *);
    case QVT_DISPATCH:
      *features = platform::kFeatureHaveIid | platform::kFeatureDispatch;
      return sizeof(void *);
    default:
      return 0;
  }
}

}  // namespace

QUENDLE_API int32_t SafeArrayAllocDescriptor(uint32_t dims, QSafeArray **out) {
  if (!out) return kNullPointer;
  *out = nullptr;
  if (dims == 0 || dims > kMaxDims) return kInvalidArgument;
  QSafeArray *array = NewDescriptor(dims, 0);
  if (!array) return kUnexpected;
  *out = array;
  return kOk;
}

QUENDLE_API int32_t SafeArrayAllocData(QSafeArray *array) {
  if (!array) return kInvalidArgument;
  size_t bytes;
  if (!DataBytes(array, &bytes)) return kOutOfMemory;
  // An empty array still gets a data block, so pvData tells "allocated".
  void *data = std::calloc(1, bytes ? bytes : 1);
  if (!data) return kOutOfMemory;
  array->pvData = data;
  return kOk;
}

QUENDLE_API QSafeArray *SafeArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t count) {
  uint16_t features;
  uint32_t elementSize = VectorElement(vt, &features);
  uint64_t bytes = uint64_t{elementSize} * count;
  if (elementSize == 0 || bytes > SIZE_MAX / 4) return nullptr;
  QSafeArray *array = NewDescriptor(1, static_cast<size_t>(bytes ? bytes : 1));
  if (!array) return nullptr;
  array->fFeatures = static_cast<uint16_t>(features | platform::kFeatureCreateVector);
  array->cbElements = elementSize;
  array->rgsabound[0].cElements = count;
  array->rgsabound[0].lLbound = lowerBound;
  array->pvData = VectorData(array);
  if (vt == QVT_UNKNOWN) std::memcpy(HeaderOf(array), kIidUnknown, kHeaderSize);
  else if (vt == QVT_DISPATCH) std::memcpy(HeaderOf(array), kIidDispatch, kHeaderSize);
  else StoreVarType(array, vt);
  return array;
}

QUENDLE_API int32_t SafeArrayDestroy(QSafeArray *array) {
  if (!array) return kOk;
  if (array->cLocks > 0) return kArrayIsLocked;
  ReleaseElements(array);
  if (array->fFeatures & kNotOurMemory) return kOk;
  if (!(array->fFeatures & platform::kFeatureCreateVector)) std::free(array->pvData);
  array->pvData = nullptr;
  std::free(HeaderOf(array));
  return kOk;
}

QUENDLE_API int32_t SafeArrayLock(QSafeArray *array) {
  if (!array) return kInvalidArgument;
  if (array->cLocks >= kMaxArrayLocks) return kUnexpected;
  ++array->cLocks;
  return kOk;
}

QUENDLE_API int32_t SafeArrayUnlock(QSafeArray *array) {
  if (!array) return kInvalidArgument;
  if (array->cLocks == 0) return kUnexpected;
  --array->cLocks;
  return kOk;
}

QUENDLE_API uint32_t SafeArrayGetDim(QSafeArray *array) { return array ? array->cDims : 0; }

QUENDLE_API int32_t SafeArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  if (!array || !bound) return kInvalidArgument;
  if (dim == 0 || dim > array->cDims) return kBadIndex;
  *bound = array->rgsabound[array->cDims - dim].lLbound;
  return kOk;
}

QUENDLE_API int32_t SafeArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound) {
  if (!array || !bound) return kInvalidArgument;
  if (dim == 0 || dim > array->cDims) return kBadIndex;
  const QSafeArrayBound &b = array->rgsabound[array->cDims - dim];
  // An empty dimension reports one below its lower bound, wrapping as LONG does.
  *bound = static_cast<int32_t>(static_cast<uint32_t>(b.lLbound) + b.cElements - 1u);
  return kOk;
}

QUENDLE_API int32_t SafeArrayGetElement(QSafeArray *array, const int32_t *indices, void *out) {
  if (!array || !indices || !out) return kInvalidArgument;
  if (ClaimsOwnedElements(array) && !HoldsStrings(array) && !HoldsVariants(array)) return kInvalidArgument;
  int32_t result = SafeArrayLock(array);
  if (result != kOk) return result;
  size_t offset = 0;
  result = ElementOffset(array, indices, &offset);
  if (result == kOk && !array->pvData) result = kUnexpected;
  if (result == kOk) {
    const unsigned char *element = static_cast<const unsigned char *>(array->pvData) + offset;
    if (HoldsStrings(array)) {
      // The caller's variable receives a copy (or null), never the stored string.
      WritePointer(static_cast<unsigned char *>(out), nullptr);
      result = CopyElement(array, element, static_cast<unsigned char *>(out));
    } else if (HoldsVariants(array)) {
      platform::InitVariant(static_cast<QVariant *>(out));
      result = CopyElement(array, element, static_cast<unsigned char *>(out));
    } else {
      std::memcpy(out, element, array->cbElements);
    }
  }
  SafeArrayUnlock(array);
  return result;
}

QUENDLE_API int32_t SafeArrayPutElement(QSafeArray *array, const int32_t *indices, void *value) {
  if (!array || !indices) return kInvalidArgument;
  if (ClaimsOwnedElements(array) && !HoldsStrings(array) && !HoldsVariants(array)) return kInvalidArgument;
  // A string array takes the string itself, and a null string is a value
  // (the empty string); every other kind is passed by address.
  if (!value && !HoldsStrings(array)) return kInvalidArgument;
  int32_t result = SafeArrayLock(array);
  if (result != kOk) return result;
  size_t offset = 0;
  result = ElementOffset(array, indices, &offset);
  if (result == kOk && !array->pvData) result = kUnexpected;
  if (result == kOk) {
    unsigned char *element = static_cast<unsigned char *>(array->pvData) + offset;
    if (HoldsStrings(array)) {
      // A null string goes in as an empty one, as Windows stores it; only
      // elements never written stay null.
      void *copy = platform::AllocByteString(value, platform::ByteStringLength(value));
      if (!copy) {
        result = kOutOfMemory;
      } else {
        platform::FreeString(ReadPointer(element));
        WritePointer(element, copy);
      }
    } else if (HoldsVariants(array)) {
      // Copy first, so a failed copy leaves the old element in place.
      QVariant copy;
      platform::InitVariant(&copy);
      result = platform::CopyVariant(&copy, static_cast<const QVariant *>(value));
      if (result == kOk) {
        platform::ClearVariant(reinterpret_cast<QVariant *>(element));
        std::memcpy(element, &copy, sizeof copy);
      }
    } else {
      std::memcpy(element, value, array->cbElements);
    }
  }
  SafeArrayUnlock(array);
  return result;
}

namespace platform {

int32_t ArrayAllocDescriptor(uint32_t dims, QSafeArray **out) { return SafeArrayAllocDescriptor(dims, out); }
int32_t ArrayAllocData(QSafeArray *array) { return SafeArrayAllocData(array); }
QSafeArray *ArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t count) {
  return SafeArrayCreateVector(vt, lowerBound, count);
}
int32_t ArrayDestroy(QSafeArray *array) { return SafeArrayDestroy(array); }
int32_t ArrayLock(QSafeArray *array) { return SafeArrayLock(array); }
int32_t ArrayUnlock(QSafeArray *array) { return SafeArrayUnlock(array); }
uint32_t ArrayGetDim(QSafeArray *array) { return SafeArrayGetDim(array); }
int32_t ArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound) { return SafeArrayGetLBound(array, dim, bound); }
int32_t ArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound) { return SafeArrayGetUBound(array, dim, bound); }
int32_t ArrayGetElement(QSafeArray *array, const int32_t *indices, void *out) {
  return SafeArrayGetElement(array, indices, out);
}
int32_t ArrayPutElement(QSafeArray *array, const int32_t *indices, void *value) {
  return SafeArrayPutElement(array, indices, value);
}

int32_t ArrayAccessData(QSafeArray *array, void **data) {
  if (!array || !data) return kInvalidArgument;
  int32_t result = SafeArrayLock(array);
  *data = result == kOk ? array->pvData : nullptr;
  return result;
}

int32_t ArrayUnaccessData(QSafeArray *array) { return SafeArrayUnlock(array); }

int32_t ArrayCopy(QSafeArray *array, QSafeArray **out) {
  if (!out) return kInvalidArgument;
  *out = nullptr;
  if (!array) return kOk;
  if (array->cDims == 0) return kInvalidArgument;
  if (ClaimsOwnedElements(array) && !HoldsStrings(array) && !HoldsVariants(array)) return kInvalidArgument;
  QSafeArray *copy = NewDescriptor(array->cDims, 0);
  if (!copy) return kOutOfMemory;
  std::memcpy(HeaderOf(copy), HeaderOf(array), kHeaderSize);
  copy->fFeatures = static_cast<uint16_t>(array->fFeatures & ~(kNotOurMemory | kFeatureCreateVector));
  copy->cbElements = array->cbElements;
  std::memcpy(copy->rgsabound, array->rgsabound, size_t{array->cDims} * sizeof(QSafeArrayBound));
  if (!array->pvData) {
    *out = copy;
    return kOk;
  }
  int32_t result = SafeArrayAllocData(copy);
  uint64_t count = 0;
  if (result == kOk && !TotalElements(array, &count)) result = kOutOfMemory;
  const auto *from = static_cast<const unsigned char *>(array->pvData);
  auto *to = static_cast<unsigned char *>(copy->pvData);
  for (uint64_t i = 0; result == kOk && i < count; ++i)
    result = CopyElement(array, from + i * array->cbElements, to + i * array->cbElements);
  if (result != kOk) {
    SafeArrayDestroy(copy);
    return result;
  }
  *out = copy;
  return kOk;
}

}  // namespace platform
