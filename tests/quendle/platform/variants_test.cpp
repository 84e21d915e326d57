// VARIANT services: which type words are valid, what clearing frees, and
// copies that share nothing the source owns.
#include <gtest/gtest.h>

#include <cstring>

#include "automation_helpers.h"
#include "platform/automation.h"

namespace {

using platform_test::MakeWide;
using platform_test::WideOf;

QVariant Holding(uint16_t vt) {
  QVariant variant;
  platform::InitVariant(&variant);
  variant.vt = vt;
  return variant;
}

QSafeArray *StringVector(std::initializer_list<const char16_t *> texts) {
  QSafeArray *array = platform::ArrayCreateVector(QVT_BSTR, 0, static_cast<uint32_t>(texts.size()));
  if (!array) return nullptr;
  int32_t index = 0;
  for (const char16_t *text : texts) {
    QOleChar *str = MakeWide(text);
    platform::ArrayPutElement(array, &index, str);
    platform::FreeString(str);
    ++index;
  }
  return array;
}

TEST(VariantInit, MakesAnyVariantEmpty) {
  QVariant variant;
  std::memset(&variant, 0xAB, sizeof variant);
  platform::InitVariant(&variant);
  EXPECT_EQ(variant.vt, QVT_EMPTY);
}

TEST(VariantClear, AcceptsOnlyValidTypeWords) {
  const struct {
    uint16_t vt;
    bool valid;
  } cases[] = {
      {QVT_EMPTY, true},
      {QVT_NULL, true},
      {QVT_I4, true},
      {QVT_R8, true},
      {QVT_DATE, true},
      {QVT_BOOL, true},
      {QVT_UI1, true},
      {QVT_UINT, true},
      {QVT_CLSID, true},
      {QVT_BYREF | QVT_I4, true},
      {QVT_BYREF | QVT_VARIANT, true},
      {QVT_ARRAY | QVT_I4, true},  // a null array is nothing to destroy
      {QVT_BSTR, true},            // so is a null string
      {15, false},
      {24, false},
      {37, false},
      {0x0100, false},
      {QVT_VECTOR | QVT_I4, false},
      {0x8000 | QVT_I4, false},
      {QVT_BYREF | QVT_EMPTY, false},
      {QVT_BYREF | QVT_NULL, false},
      {QVT_ARRAY | QVT_EMPTY, false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "vt 0x" << std::hex << c.vt);
    QVariant variant = Holding(c.vt);
    if (c.valid) {
      EXPECT_EQ(platform::ClearVariant(&variant), platform::kOk);
      EXPECT_EQ(variant.vt, QVT_EMPTY);
    } else {
      EXPECT_EQ(platform::ClearVariant(&variant), platform::kBadVarType);
      EXPECT_EQ(variant.vt, c.vt) << "an invalid variant is left as it was";
    }
  }
}

TEST(VariantClear, FreesOwnedStringsAndArraysOnly) {
  // Owned values: the sanitizer build reports them as leaks if not freed.
  QVariant text = Holding(QVT_BSTR);
  text.data.bstrVal = MakeWide(u"owned");
  EXPECT_EQ(platform::ClearVariant(&text), platform::kOk);
  EXPECT_EQ(text.vt, QVT_EMPTY);

  QVariant array = Holding(QVT_ARRAY | QVT_BSTR);
  array.data.parray = StringVector({u"a", u"b"});
  ASSERT_NE(array.data.parray, nullptr);
  EXPECT_EQ(platform::ClearVariant(&array), platform::kOk);
  EXPECT_EQ(array.vt, QVT_EMPTY);

  // Values held by reference belong to someone else and survive the clear.
  QOleChar *string = MakeWide(u"borrowed");
  QVariant byRefText = Holding(QVT_BYREF | QVT_BSTR);
  byRefText.data.byref = &string;
  EXPECT_EQ(platform::ClearVariant(&byRefText), platform::kOk);
  EXPECT_EQ(WideOf(string), u"borrowed");
  platform::FreeString(string);

  QSafeArray *vector = StringVector({u"kept"});
  QVariant byRefArray = Holding(QVT_BYREF | QVT_ARRAY | QVT_BSTR);
  byRefArray.data.byref = &vector;
  EXPECT_EQ(platform::ClearVariant(&byRefArray), platform::kOk);
  EXPECT_EQ(platform::ArrayGetDim(vector), 1u);
  EXPECT_EQ(platform::ArrayDestroy(vector), platform::kOk);
}

TEST(VariantClear, ReportsALockedArray) {
  QSafeArray *vector = StringVector({u"x"});
  ASSERT_NE(vector, nullptr);
  ASSERT_EQ(platform::ArrayLock(vector), platform::kOk);
  QVariant variant = Holding(QVT_ARRAY | QVT_BSTR);
  variant.data.parray = vector;
  EXPECT_EQ(platform::ClearVariant(&variant), platform::kArrayIsLocked);
  EXPECT_EQ(variant.vt, QVT_EMPTY);
  EXPECT_EQ(vector->cLocks, 1u) << "the array is still there for its lock holder";
  ASSERT_EQ(platform::ArrayUnlock(vector), platform::kOk);
  EXPECT_EQ(platform::ArrayDestroy(vector), platform::kOk);
}

TEST(VariantCopy, CopiesOwnedStringsAndFreesTheOldValue) {
  QVariant source = Holding(QVT_BSTR);
  source.data.bstrVal = reinterpret_cast<QOleChar *>(platform::AllocByteString("odd", 3));
  QVariant dest = Holding(QVT_BSTR);
  dest.data.bstrVal = MakeWide(u"previous");  // freed by the copy, or leaked

  ASSERT_EQ(platform::CopyVariant(&dest, &source), platform::kOk);
  EXPECT_EQ(dest.vt, QVT_BSTR);
  EXPECT_NE(dest.data.bstrVal, source.data.bstrVal);
  EXPECT_EQ(platform::ByteStringLength(dest.data.bstrVal), 3u) << "byte length kept, odd or not";
  EXPECT_EQ(platform_test::BytesOf(dest.data.bstrVal), "odd");

  EXPECT_EQ(platform::ClearVariant(&source), platform::kOk);
  EXPECT_EQ(platform_test::BytesOf(dest.data.bstrVal), "odd");
  EXPECT_EQ(platform::ClearVariant(&dest), platform::kOk);
}

TEST(VariantCopy, CopiesOwnedArraysDeeply) {
  QVariant source = Holding(QVT_ARRAY | QVT_BSTR);
  source.data.parray = StringVector({u"left", u"right"});
  ASSERT_NE(source.data.parray, nullptr);
  QVariant dest = Holding(QVT_EMPTY);

  ASSERT_EQ(platform::CopyVariant(&dest, &source), platform::kOk);
  EXPECT_EQ(dest.vt, QVT_ARRAY | QVT_BSTR);
  ASSERT_NE(dest.data.parray, nullptr);
  EXPECT_NE(dest.data.parray, source.data.parray);
  EXPECT_NE(platform_test::StoredPointer(dest.data.parray, 1), platform_test::StoredPointer(source.data.parray, 1));

  EXPECT_EQ(platform::ClearVariant(&source), platform::kOk);
  const int32_t index = 1;
  QOleChar *out = nullptr;
  ASSERT_EQ(platform::ArrayGetElement(dest.data.parray, &index, &out), platform::kOk);
  EXPECT_EQ(WideOf(out), u"right");
  platform::FreeString(out);
  EXPECT_EQ(platform::ClearVariant(&dest), platform::kOk);
}

TEST(VariantCopy, ByReferenceCopiesShareTheTarget) {
  int32_t number = 5;
  QVariant source = Holding(QVT_BYREF | QVT_I4);
  source.data.byref = &number;
  QVariant dest = Holding(QVT_EMPTY);
  ASSERT_EQ(platform::CopyVariant(&dest, &source), platform::kOk);
  EXPECT_EQ(dest.vt, QVT_BYREF | QVT_I4);
  EXPECT_EQ(dest.data.byref, &number);

  QVariant value = Holding(QVT_R8);
  value.data.dblVal = 2.5;
  ASSERT_EQ(platform::CopyVariant(&dest, &value), platform::kOk);
  EXPECT_EQ(dest.vt, QVT_R8);
  EXPECT_EQ(dest.data.dblVal, 2.5);
}

TEST(VariantCopy, RefusesAnInvalidSourceAndKeepsTheDestination) {
  QVariant source = Holding(15);
  QVariant dest = Holding(QVT_BSTR);
  dest.data.bstrVal = MakeWide(u"kept");
  EXPECT_EQ(platform::CopyVariant(&dest, &source), platform::kBadVarType);
  EXPECT_EQ(dest.vt, QVT_BSTR);
  EXPECT_EQ(WideOf(dest.data.bstrVal), u"kept");
  EXPECT_EQ(platform::ClearVariant(&dest), platform::kOk);
}

}  // namespace
