// SAFEARRAY services: descriptor layout, bounds and index order, lock
// counting, and the copies a string or variant array makes of its elements.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "automation_helpers.h"
#include "platform/automation.h"
#include "support/bytestring_support.h"

namespace {

using platform_test::BytesOf;
using testing_support::OwnedString;
using platform_test::StoredPointer;

// A 2 x 3 array of 32-bit integers: dimension 1 runs 1..2, dimension 2 runs
// 10..12. The bounds are written into the descriptor by hand, rightmost
// dimension first, so the tests below check how the services read them.
class TwoDimensionalArray : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(platform::ArrayAllocDescriptor(2, &array_), platform::kOk);
    array_->cbElements = sizeof(int32_t);
    array_->rgsabound[0] = {3, 10};  // dimension 2, the rightmost
    array_->rgsabound[1] = {2, 1};   // dimension 1, the leftmost
    ASSERT_EQ(platform::ArrayAllocData(array_), platform::kOk);
  }
  void TearDown() override {
    if (array_) {
      EXPECT_EQ(platform::ArrayDestroy(array_), platform::kOk);
    }
  }

  const int32_t *Data() const { return static_cast<const int32_t *>(array_->pvData); }

  QSafeArray *array_ = nullptr;
};

TEST(ArrayDescriptor, StartsZeroedWithItsDimensionCount) {
  QSafeArray *array = nullptr;
  ASSERT_EQ(platform::ArrayAllocDescriptor(3, &array), platform::kOk);
  ASSERT_NE(array, nullptr);
  EXPECT_EQ(array->cDims, 3);
  EXPECT_EQ(array->fFeatures, 0);
  EXPECT_EQ(array->cbElements, 0u);
  EXPECT_EQ(array->cLocks, 0u);
  EXPECT_EQ(array->pvData, nullptr);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(array->rgsabound[i].cElements, 0u);
    EXPECT_EQ(array->rgsabound[i].lLbound, 0);
  }
  EXPECT_EQ(platform::ArrayGetDim(array), 3u);
  EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
}

TEST(ArrayDescriptor, AcceptsOneTo65535Dimensions) {
  const struct {
    uint32_t dims;
    int32_t result;
  } cases[] = {{0, platform::kInvalidArgument},
               {1, platform::kOk},
               {65535, platform::kOk},
               {65536, platform::kInvalidArgument}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.dims);
    QSafeArray *array = nullptr;
    EXPECT_EQ(platform::ArrayAllocDescriptor(c.dims, &array), c.result);
    if (c.result == platform::kOk) {
      ASSERT_NE(array, nullptr);
      EXPECT_EQ(platform::ArrayGetDim(array), c.dims);
      EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
    }
  }
  EXPECT_EQ(platform::ArrayGetDim(nullptr), 0u);
}

TEST(ArrayDescriptor, AllocatesZeroedDataForEveryElement) {
  QSafeArray *array = nullptr;
  ASSERT_EQ(platform::ArrayAllocDescriptor(2, &array), platform::kOk);
  array->cbElements = 2;
  array->rgsabound[0] = {4, 0};
  array->rgsabound[1] = {3, 7};
  ASSERT_EQ(platform::ArrayAllocData(array), platform::kOk);
  ASSERT_NE(array->pvData, nullptr);
  const auto *bytes = static_cast<const unsigned char *>(array->pvData);
  for (int i = 0; i < 24; ++i) EXPECT_EQ(bytes[i], 0) << "byte " << i;
  EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
}

TEST_F(TwoDimensionalArray, DimensionsCountFromTheLastStoredBoundPair) {
  const struct {
    uint32_t dim;
    int32_t result;
    int32_t lower;
    int32_t upper;
  } cases[] = {{1, platform::kOk, 1, 2},
               {2, platform::kOk, 10, 12},
               {0, platform::kBadIndex, 0, 0},
               {3, platform::kBadIndex, 0, 0}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.dim);
    int32_t lower = -99, upper = -99;
    EXPECT_EQ(platform::ArrayGetLBound(array_, c.dim, &lower), c.result);
    EXPECT_EQ(platform::ArrayGetUBound(array_, c.dim, &upper), c.result);
    if (c.result == platform::kOk) {
      EXPECT_EQ(lower, c.lower);
      EXPECT_EQ(upper, c.upper);
    }
  }
  int32_t bound;
  EXPECT_EQ(platform::ArrayGetLBound(nullptr, 1, &bound), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayGetUBound(nullptr, 1, &bound), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayGetLBound(array_, 1, nullptr), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayGetUBound(array_, 1, nullptr), platform::kInvalidArgument);
}

TEST_F(TwoDimensionalArray, FirstIndexNamesDimensionOneWhichVariesFastest) {
  for (int32_t i = 1; i <= 2; ++i) {
    for (int32_t j = 10; j <= 12; ++j) {
      const int32_t indices[2] = {i, j};
      int32_t value = i * 100 + j;
      ASSERT_EQ(platform::ArrayPutElement(array_, indices, &value), platform::kOk);
    }
  }
  const int32_t expected[6] = {110, 210, 111, 211, 112, 212};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(Data()[k], expected[k]) << "slot " << k;

  for (int32_t i = 1; i <= 2; ++i) {
    for (int32_t j = 10; j <= 12; ++j) {
      const int32_t indices[2] = {i, j};
      int32_t value = 0;
      ASSERT_EQ(platform::ArrayGetElement(array_, indices, &value), platform::kOk);
      EXPECT_EQ(value, i * 100 + j);
    }
  }
}

TEST_F(TwoDimensionalArray, RefusesIndicesOutsideTheirDimension) {
  const int32_t cases[][2] = {{0, 10}, {3, 10}, {1, 9}, {1, 13}, {INT_MIN, 10}, {1, INT_MAX}, {-1, -1}};
  for (const auto &indices : cases) {
    SCOPED_TRACE(testing::Message() << indices[0] << ", " << indices[1]);
    int32_t value = 7;
    EXPECT_EQ(platform::ArrayPutElement(array_, indices, &value), platform::kBadIndex);
    EXPECT_EQ(platform::ArrayGetElement(array_, indices, &value), platform::kBadIndex);
    EXPECT_EQ(value, 7) << "a refused get leaves the output alone";
    EXPECT_EQ(array_->cLocks, 0u) << "a refused access releases its lock";
  }
  for (int k = 0; k < 6; ++k) EXPECT_EQ(Data()[k], 0) << "slot " << k;
}

TEST_F(TwoDimensionalArray, ElementAccessRefusesMissingArguments) {
  const int32_t indices[2] = {1, 10};
  int32_t value = 0;
  EXPECT_EQ(platform::ArrayGetElement(nullptr, indices, &value), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayGetElement(array_, nullptr, &value), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayGetElement(array_, indices, nullptr), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayPutElement(nullptr, indices, &value), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayPutElement(array_, nullptr, &value), platform::kInvalidArgument);
}

TEST_F(TwoDimensionalArray, LocksCountUpAndDown) {
  for (uint32_t n = 1; n <= 3; ++n) {
    ASSERT_EQ(platform::ArrayLock(array_), platform::kOk);
    EXPECT_EQ(array_->cLocks, n);
  }
  for (uint32_t n = 3; n >= 1; --n) {
    ASSERT_EQ(platform::ArrayUnlock(array_), platform::kOk);
    EXPECT_EQ(array_->cLocks, n - 1);
  }
  EXPECT_EQ(platform::ArrayUnlock(array_), platform::kUnexpected) << "unlock without a lock";
  EXPECT_EQ(array_->cLocks, 0u);
  EXPECT_EQ(platform::ArrayLock(nullptr), platform::kInvalidArgument);
  EXPECT_EQ(platform::ArrayUnlock(nullptr), platform::kInvalidArgument);
}

TEST_F(TwoDimensionalArray, LockCountStopsAtItsLimit) {
  uint32_t taken = 0;
  while (taken <= platform::kMaxArrayLocks && platform::ArrayLock(array_) == platform::kOk) ++taken;
  EXPECT_EQ(taken, 65535u) << "the platform allows 65535 nested locks";
  EXPECT_EQ(array_->cLocks, 65535u);
  EXPECT_EQ(platform::ArrayLock(array_), platform::kUnexpected);
  EXPECT_EQ(array_->cLocks, 65535u);

  // Element access takes a lock of its own, so it fails at the limit too.
  const int32_t indices[2] = {1, 10};
  int32_t value = 0;
  EXPECT_EQ(platform::ArrayGetElement(array_, indices, &value), platform::kUnexpected);

  while (taken > 0 && platform::ArrayUnlock(array_) == platform::kOk) --taken;
  EXPECT_EQ(array_->cLocks, 0u);
}

TEST_F(TwoDimensionalArray, LockedArrayCannotBeDestroyedButStaysUsable) {
  ASSERT_EQ(platform::ArrayLock(array_), platform::kOk);
  EXPECT_EQ(platform::ArrayDestroy(array_), platform::kArrayIsLocked);

  // Elements can still be written and read while someone holds a lock, and
  // doing so leaves the caller's lock count as it was.
  const int32_t indices[2] = {2, 12};
  int32_t value = 42, back = 0;
  EXPECT_EQ(platform::ArrayPutElement(array_, indices, &value), platform::kOk);
  EXPECT_EQ(platform::ArrayGetElement(array_, indices, &back), platform::kOk);
  EXPECT_EQ(back, 42);
  EXPECT_EQ(array_->cLocks, 1u);

  ASSERT_EQ(platform::ArrayUnlock(array_), platform::kOk);
  EXPECT_EQ(platform::ArrayDestroy(array_), platform::kOk);
  array_ = nullptr;
}

TEST_F(TwoDimensionalArray, DirectAccessHoldsALock) {
  void *data = nullptr;
  ASSERT_EQ(platform::ArrayAccessData(array_, &data), platform::kOk);
  EXPECT_EQ(data, array_->pvData);
  EXPECT_EQ(array_->cLocks, 1u);
  EXPECT_EQ(platform::ArrayDestroy(array_), platform::kArrayIsLocked);
  EXPECT_EQ(platform::ArrayUnaccessData(array_), platform::kOk);
  EXPECT_EQ(array_->cLocks, 0u);
  EXPECT_EQ(platform::ArrayUnaccessData(array_), platform::kUnexpected);
  EXPECT_EQ(platform::ArrayAccessData(nullptr, &data), platform::kInvalidArgument);
}

TEST(ArrayDestroy, NullArrayIsNothingToDo) { EXPECT_EQ(platform::ArrayDestroy(nullptr), platform::kOk); }

TEST(ArrayVector, ElementSizeAndFeaturesFollowTheType) {
  constexpr uint16_t kVector = platform::kFeatureHaveVarType | platform::kFeatureCreateVector;
  const struct {
    uint16_t vt;
    uint32_t size;
    uint16_t features;
  } cases[] = {
      {QVT_UI1, 1, kVector},
      {QVT_I2, 2, kVector},
      {QVT_BOOL, 2, kVector},
      {QVT_I4, 4, kVector},
      {QVT_R4, 4, kVector},
      {QVT_R8, 8, kVector},
      {QVT_CY, 8, kVector},
      {QVT_DATE, 8, kVector},
      {QVT_DECIMAL, 16, kVector},
      {QVT_BSTR, sizeof(void *), kVector | platform::kFeatureBstr},
      {QVT_VARIANT, sizeof(QVariant), kVector | platform::kFeatureVariant},
      {QVT_UNKNOWN, sizeof(void *),
       platform::kFeatureHaveIid | platform::kFeatureUnknown | platform::kFeatureCreateVector},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.vt);
    QSafeArray *array = platform::ArrayCreateVector(c.vt, -2, 5);
    ASSERT_NE(array, nullptr);
    EXPECT_EQ(array->cDims, 1);
    EXPECT_EQ(array->cbElements, c.size);
    EXPECT_EQ(array->fFeatures, c.features);
    EXPECT_EQ(array->cLocks, 0u);
    EXPECT_EQ(array->rgsabound[0].cElements, 5u);
    EXPECT_EQ(array->rgsabound[0].lLbound, -2);
    ASSERT_NE(array->pvData, nullptr);
    const auto *bytes = static_cast<const unsigned char *>(array->pvData);
    for (uint32_t i = 0; i < 5 * c.size; ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
  }
}

TEST(ArrayVector, TypesThatCannotBeElementsGiveNoArray) {
  for (uint16_t vt : {uint16_t{QVT_EMPTY}, uint16_t{QVT_NULL}, uint16_t{15}}) {
    SCOPED_TRACE(vt);
    EXPECT_EQ(platform::ArrayCreateVector(vt, 0, 3), nullptr);
  }
}

TEST(ArrayVector, EmptyVectorHasNoValidIndex) {
  QSafeArray *array = platform::ArrayCreateVector(QVT_I4, 5, 0);
  ASSERT_NE(array, nullptr);
  int32_t lower = 0, upper = 0, value = 0;
  EXPECT_EQ(platform::ArrayGetLBound(array, 1, &lower), platform::kOk);
  EXPECT_EQ(platform::ArrayGetUBound(array, 1, &upper), platform::kOk);
  EXPECT_EQ(lower, 5);
  EXPECT_EQ(upper, 4);
  const int32_t index = 5;
  EXPECT_EQ(platform::ArrayGetElement(array, &index, &value), platform::kBadIndex);
  EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
}

// A string array owns its strings: it stores copies, hands out copies and
// frees what it holds. The sanitizer build reports any string leaked or freed
// twice along the way.
class StringArray : public ::testing::Test {
 protected:
  void SetUp() override {
    array_ = platform::ArrayCreateVector(QVT_BSTR, 1, 3);
    ASSERT_NE(array_, nullptr);
  }
  void TearDown() override { EXPECT_EQ(platform::ArrayDestroy(array_), platform::kOk); }

  QSafeArray *array_ = nullptr;
};

TEST_F(StringArray, PutStoresACopyOfTheString) {
  const std::string content("ab\0cd", 5);  // odd byte length, zero inside
  const int32_t index = 2;
  void *stored = nullptr;
  {
    OwnedString mine(content);
    ASSERT_EQ(platform::ArrayPutElement(array_, &index, mine.handle), platform::kOk);
    stored = StoredPointer(array_, 1);
    EXPECT_NE(stored, static_cast<void *>(mine.handle));
  }
  EXPECT_EQ(BytesOf(stored), content) << "the stored copy outlives the caller's string";
}

TEST_F(StringArray, GetHandsOutANewCopy) {
  const int32_t index = 3;
  OwnedString mine("element");
  ASSERT_EQ(platform::ArrayPutElement(array_, &index, mine.handle), platform::kOk);

  void *first = nullptr;
  void *second = nullptr;
  ASSERT_EQ(platform::ArrayGetElement(array_, &index, &first), platform::kOk);
  ASSERT_EQ(platform::ArrayGetElement(array_, &index, &second), platform::kOk);
  EXPECT_NE(first, StoredPointer(array_, 2));
  EXPECT_NE(first, second);
  EXPECT_EQ(BytesOf(first), "element");
  platform::FreeString(first);
  EXPECT_EQ(BytesOf(second), "element");
  platform::FreeString(second);
  EXPECT_EQ(BytesOf(StoredPointer(array_, 2)), "element");
}

TEST_F(StringArray, PutReplacesTheElement) {
  const int32_t index = 1;
  for (const char *text : {"first", "second"}) {
    OwnedString mine(text);
    ASSERT_EQ(platform::ArrayPutElement(array_, &index, mine.handle), platform::kOk);
  }
  EXPECT_EQ(BytesOf(StoredPointer(array_, 0)), "second");
}

TEST_F(StringArray, NullStringGoesInAsAnEmptyString) {
  const int32_t written = 1, untouched = 2;
  ASSERT_EQ(platform::ArrayPutElement(array_, &written, nullptr), platform::kOk);
  ASSERT_NE(StoredPointer(array_, 0), nullptr);
  EXPECT_EQ(platform::ByteStringLength(StoredPointer(array_, 0)), 0u);

  void *out = nullptr;
  ASSERT_EQ(platform::ArrayGetElement(array_, &written, &out), platform::kOk);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(platform::ByteStringLength(out), 0u);
  platform::FreeString(out);

  out = nullptr;
  EXPECT_EQ(platform::ArrayGetElement(array_, &untouched, &out), platform::kOk);
  EXPECT_EQ(out, nullptr) << "an element never written holds the null string";
}

TEST_F(StringArray, DestroyFreesEveryStoredString) {
  for (int32_t index = 1; index <= 3; ++index) {
    OwnedString mine(std::string(static_cast<size_t>(index) * 10, 'q'));
    ASSERT_EQ(platform::ArrayPutElement(array_, &index, mine.handle), platform::kOk);
  }
  // TearDown destroys the array; a string left behind shows up as a leak.
}

TEST(VariantArray, StoresAndHandsOutDeepCopies) {
  QSafeArray *array = platform::ArrayCreateVector(QVT_VARIANT, 0, 2);
  ASSERT_NE(array, nullptr);

  QVariant text;
  platform::InitVariant(&text);
  text.vt = QVT_BSTR;
  text.data.bstrVal = platform_test::MakeWide(u"variant text");
  const int32_t first = 0;
  ASSERT_EQ(platform::ArrayPutElement(array, &first, &text), platform::kOk);
  const QVariant *stored = static_cast<const QVariant *>(array->pvData);
  EXPECT_EQ(stored[0].vt, QVT_BSTR);
  EXPECT_NE(stored[0].data.bstrVal, text.data.bstrVal);
  EXPECT_EQ(platform::ClearVariant(&text), platform::kOk);
  EXPECT_EQ(platform_test::WideOf(stored[0].data.bstrVal), u"variant text");

  QVariant number;
  platform::InitVariant(&number);
  number.vt = QVT_I4;
  number.data.lVal = -12345;
  const int32_t second = 1;
  ASSERT_EQ(platform::ArrayPutElement(array, &second, &number), platform::kOk);

  QVariant out;
  platform::InitVariant(&out);
  ASSERT_EQ(platform::ArrayGetElement(array, &first, &out), platform::kOk);
  EXPECT_EQ(out.vt, QVT_BSTR);
  EXPECT_NE(out.data.bstrVal, stored[0].data.bstrVal);
  EXPECT_EQ(platform_test::WideOf(out.data.bstrVal), u"variant text");
  EXPECT_EQ(platform::ClearVariant(&out), platform::kOk);

  ASSERT_EQ(platform::ArrayGetElement(array, &second, &out), platform::kOk);
  EXPECT_EQ(out.vt, QVT_I4);
  EXPECT_EQ(out.data.lVal, -12345);

  EXPECT_EQ(platform::ArrayDestroy(array), platform::kOk);
}

TEST(ArrayCopy, CopiesShapeAndStringsButNotLocks) {
  QSafeArray *source = platform::ArrayCreateVector(QVT_BSTR, 1, 2);
  ASSERT_NE(source, nullptr);
  const char *texts[] = {"one", "two"};
  for (int32_t index = 1; index <= 2; ++index) {
    OwnedString mine(texts[index - 1]);
    ASSERT_EQ(platform::ArrayPutElement(source, &index, mine.handle), platform::kOk);
  }
  ASSERT_EQ(platform::ArrayLock(source), platform::kOk);

  QSafeArray *copy = nullptr;
  ASSERT_EQ(platform::ArrayCopy(source, &copy), platform::kOk);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->cDims, 1);
  EXPECT_EQ(copy->cLocks, 0u);
  EXPECT_EQ(copy->cbElements, source->cbElements);
  EXPECT_EQ(copy->rgsabound[0].cElements, 2u);
  EXPECT_EQ(copy->rgsabound[0].lLbound, 1);
  EXPECT_TRUE(copy->fFeatures & platform::kFeatureBstr);
  EXPECT_FALSE(copy->fFeatures & platform::kFeatureCreateVector) << "the copy's data is a block of its own";
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_NE(StoredPointer(copy, i), StoredPointer(source, i));
    EXPECT_EQ(BytesOf(StoredPointer(copy, i)), texts[i]);
  }

  EXPECT_EQ(platform::ArrayUnlock(source), platform::kOk);
  EXPECT_EQ(platform::ArrayDestroy(source), platform::kOk);
  EXPECT_EQ(BytesOf(StoredPointer(copy, 1)), "two");
  EXPECT_EQ(platform::ArrayDestroy(copy), platform::kOk);

  QSafeArray *none = copy;
  EXPECT_EQ(platform::ArrayCopy(nullptr, &none), platform::kOk);
  EXPECT_EQ(none, nullptr);
}

}  // namespace
