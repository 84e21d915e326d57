/*
 * quendle.h -- the Arbolet Add-On Library (ANSI build), version 1.37.
 *
 * Every function here is exported under its plain name with the standard-call
 * convention (on 32-bit Windows), so a Basic host declares it without an alias.
 *
 * Conventions shared by all exports:
 *  - A ByteString is an automation string handle holding bytes: it points at
 *    the first byte, a 32-bit byte length sits just before it and a zero byte
 *    after it. The null handle is the empty string.
 *  - Every ByteString an export returns is new and belongs to the caller, who
 *    frees it with SysFreeString. "Text" results stop at the first zero byte;
 *    "binary" results carry their exact length and may hold zero bytes.
 *  - A "const char *" argument is a zero-terminated byte text (null counts as
 *    empty) unless its comment says the length comes from the ByteString prefix.
 *  - A "ByteString *" argument is the caller's string variable: the export may
 *    free the old handle and store a new one (or null) in its place.
 *  - Booleans are 16-bit: 0 false, -1 true, unless a comment says otherwise.
 *  - Variant results: the caller passes the VARIANT slot to fill as the first
 *    argument and gets the same address back.
 *  - No export throws or shows a message; failures come back as the results
 *    listed with each function, and GetError tells the last system error.
 */
#ifndef QUENDLE_H
#define QUENDLE_H

#include <stdint.h>

#ifdef _WIN32
#define QCALL __stdcall
#else
#define QCALL
#endif

#ifdef __cplusplus
#define QUENDLE_API extern "C"
#else
#define QUENDLE_API extern
#endif

/* ByteString handle: points at the first content byte. */
typedef char *ByteString;

/* UTF-16 code unit of automation (wide) strings. */
typedef uint16_t QOleChar;

/* Automation array descriptor, laid out as the platform's SAFEARRAY. */
typedef struct QSafeArrayBound {
  uint32_t cElements;
  int32_t lLbound;
} QSafeArrayBound;

typedef struct QSafeArray {
  uint16_t cDims;
  uint16_t fFeatures;
  uint32_t cbElements;
  uint32_t cLocks;
  void *pvData;
  QSafeArrayBound rgsabound[1]; /* one per dimension, rightmost first */
} QSafeArray;

/* Automation variant, laid out as the platform's VARIANT. */
typedef struct QVariant {
  uint16_t vt;
  uint16_t wReserved1;
  uint16_t wReserved2;
  uint16_t wReserved3;
  union {
    int64_t llVal;
    int32_t lVal;
    int16_t iVal;
    uint8_t bVal;
    double dblVal;
    float fltVal;
    int16_t boolVal;
    QOleChar *bstrVal;
    QSafeArray *parray;
    void *byref;
    struct {
      void *pvRecord;
      void *pRecInfo;
    } record;
  } data;
} QVariant;

enum {
  QVT_EMPTY = 0,
  QVT_NULL = 1,
  QVT_I2 = 2,
  QVT_I4 = 3,
  QVT_R4 = 4,
  QVT_R8 = 5,
  QVT_CY = 6,
  QVT_DATE = 7,
  QVT_BSTR = 8,
  QVT_DISPATCH = 9,
  QVT_ERROR = 10,
  QVT_BOOL = 11,
  QVT_VARIANT = 12,
  QVT_UNKNOWN = 13,
  QVT_DECIMAL = 14,
  QVT_I1 = 16,
  QVT_UI1 = 17,
  QVT_UI2 = 18,
  QVT_UI4 = 19,
  QVT_I8 = 20,
  QVT_UI8 = 21,
  QVT_INT = 22,
  QVT_UINT = 23,
  QVT_RECORD = 36,
  QVT_CLSID = 72,
  QVT_VECTOR = 0x1000,
  QVT_ARRAY = 0x2000,
  QVT_BYREF = 0x4000,
  QFADF_BSTR = 0x0100,
  QFADF_VARIANT = 0x0800
};

/* ---- frame: library identity ------------------------------------------ */

/* 137 (version 1.37). */
QUENDLE_API int32_t QCALL LibVersion(void);
/* New ByteString "quendle.dll" (the fixed name, not the loaded file's). */
QUENDLE_API ByteString QCALL LibName(void);
/* New ByteString "20110401". */
QUENDLE_API ByteString QCALL LibDate(void);
/* New ByteString "21:55:32". */
QUENDLE_API ByteString QCALL LibTime(void);
/* 0: this is the ANSI build. */
QUENDLE_API int32_t QCALL LibUnicode(void);
/* Always 0. */
QUENDLE_API int32_t QCALL CheckNull(void);
/* New ByteString: full file name the library was loaded from; null on failure. */
QUENDLE_API ByteString QCALL GetDLLFileName(void);
/* New ByteString: full file name of a module (0 = the program); null on failure. */
QUENDLE_API ByteString QCALL GetAppFileName(int32_t module);

/* ---- frame: conventions ----------------------------------------------- */

/* Byte length from a ByteString's prefix; 0 for the null handle. */
QUENDLE_API int32_t QCALL SysLen(const char *byteString);
/* New ByteString of length bytes set to fill (1..127; other fills leave the
   bytes unspecified); null when length < 1 or memory runs out. */
QUENDLE_API ByteString QCALL AllocString(int32_t length, uint8_t fill);
/* Removes the first count bytes of *str (by length, zero bytes kept): -1 done,
   0 refused (null reference, count < 1, nothing would remain, no memory). */
QUENDLE_API int32_t QCALL SliceLeft(ByteString *str, int32_t count);
/* Bits 16..31, 0..65535. */
QUENDLE_API int32_t QCALL HiWord(int32_t value);
/* Bits 8..15 of a 16-bit value, 0..255. */
QUENDLE_API int32_t QCALL HiByte(int16_t value);
/* Bits 0..15. */
QUENDLE_API int16_t QCALL LoWord(int32_t value);
/* Bits 0..7, 0..255. */
QUENDLE_API int32_t QCALL LoByte(int16_t value);
/* -1 when the variant's type word is valid (null pointer counts valid), else 0. */
QUENDLE_API int16_t QCALL IsValidVariant(const QVariant *variant);
/* Elements of the array a variant holds (rightmost dimension); 0 otherwise. */
QUENDLE_API int32_t QCALL ElementCount(const QVariant *variant);
/* The calling thread's last system error code. */
QUENDLE_API uint32_t QCALL GetError(void);
/* Strips one leading double quote from *str in place (its recorded length is
   kept) and returns a new text ByteString of the result; null for a null *str. */
QUENDLE_API ByteString QCALL Crash(ByteString *str);
/* Calls callback("Oh hai!", "I can haz BSTR?") with two automation strings and
   frees them afterwards. */
typedef void(QCALL *QFooCallback)(QOleChar *first, QOleChar *second);
QUENDLE_API void QCALL Foo(QFooCallback callback);

/* ---- codecs: password cipher and random numbers ----------------------- */

/* Enciphers length bytes of data in place; applying it twice restores them.
   mode 0 is the simple cipher, any other value the table cipher (keyed by
   password and the optional secondKey). -1 done, 0 refused (empty password,
   length <= 0). */
QUENDLE_API int16_t QCALL EncryptString(char *data, int32_t length, const char *password,
                                        const char *secondKey, int16_t mode);
/* Seeds the per-thread LCG (0 seeds from the clock's milliseconds). */
QUENDLE_API void QCALL Randomise(int16_t seed);
/* LCG draw in [low, high] (bounds swapped when reversed; low == high draws nothing). */
QUENDLE_API int32_t QCALL Random(int32_t low, int32_t high);
/* New ByteString of length random characters (modes 0..11, see GenerateRandomText;
   mode 5 is binary and may hold zero bytes); null when length < 1. */
QUENDLE_API ByteString QCALL RandomStr(int32_t length, int16_t mode);
/* Seeds the process-wide MT19937 (0 seeds from the clock's milliseconds). */
QUENDLE_API void QCALL MTRandomise(uint32_t seed);
/* MT19937 draw in [low, high]. */
QUENDLE_API int32_t QCALL MTRnd(int32_t low, int32_t high);
/* low + fmod(u / 4294967295, high - low + 1) for an MT19937 word u. */
QUENDLE_API double QCALL MTRndDouble(double low, double high);
/* As RandomStr, drawn from MT19937; null when length < 1. */
QUENDLE_API ByteString QCALL MTRandomStr(int32_t length, int16_t mode);

/* ---- codecs: run-length codec ------------------------------------------ */

/* ---- codecs: two-colour bitmap and colours ----------------------------- */

/* ---- codecs: packing and string building ------------------------------- */

/* ---- codecs: GUIDs and whole-file reading ------------------------------ */

/* ---- codecs: hex and number bases -------------------------------------- */

/* ---- files: existence, counting, temporary names, free space ----------- */

#ifndef _WIN32
/* ---- Linux only: the automation services Windows has in oleaut32 -------- */

/* New ByteString holding len bytes copied from src (left unset when src is
   null), zero-terminated; null when memory runs out or len is above
   0x7FFFFFF0. */
QUENDLE_API ByteString SysAllocStringByteLen(const char *src, uint32_t len);
/* Byte length of any automation string; 0 for null. */
QUENDLE_API uint32_t SysStringByteLen(const void *str);
/* Frees any automation string; null does nothing. */
QUENDLE_API void SysFreeString(void *str);
/* New UTF-16 string copied from a zero-terminated one; null for null. */
QUENDLE_API QOleChar *SysAllocString(const QOleChar *src);
/* New UTF-16 string of len units (left unset when src is null). */
QUENDLE_API QOleChar *SysAllocStringLen(const QOleChar *src, uint32_t len);
/* Length in UTF-16 units; 0 for null. */
QUENDLE_API uint32_t SysStringLen(const QOleChar *str);

/* SAFEARRAY services; results are 0 (S_OK) or a negative HRESULT:
   E_INVALIDARG 0x80070057, DISP_E_BADINDEX 0x8002000B (index or dimension out
   of range), DISP_E_ARRAYISLOCKED 0x8002000D (destroy while locked),
   E_UNEXPECTED 0x8000FFFF (lock count at 65535, or unlock at 0),
   E_OUTOFMEMORY 0x8007000E. Dimensions count from 1, the leftmost, whose
   bounds are the last pair in rgsabound; an index array holds one index per
   dimension in that order. A string array (QFADF_BSTR) stores copies: Put
   copies the string it is given, Get hands out a new copy the caller frees,
   Destroy frees them all; a variant array (QFADF_VARIANT) likewise. */
/* New descriptor of dims (1..65535) zeroed bound pairs, in *out. */
QUENDLE_API int32_t SafeArrayAllocDescriptor(uint32_t dims, QSafeArray **out);
/* Zeroed data for the element size and bounds set in the descriptor. */
QUENDLE_API int32_t SafeArrayAllocData(QSafeArray *array);
/* New one-dimensional array of count zeroed elements of type vt with the given
   lower bound; null for a type that cannot be an element or no memory. */
QUENDLE_API QSafeArray *SafeArrayCreateVector(uint16_t vt, int32_t lowerBound, uint32_t count);
/* Frees the array, its data and the strings or variants it holds; null does
   nothing. Refused while the array is locked. */
QUENDLE_API int32_t SafeArrayDestroy(QSafeArray *array);
/* Counts locks up (at most 65535) and down; a locked array cannot be destroyed. */
QUENDLE_API int32_t SafeArrayLock(QSafeArray *array);
QUENDLE_API int32_t SafeArrayUnlock(QSafeArray *array);
/* Number of dimensions; 0 for null. */
QUENDLE_API uint32_t SafeArrayGetDim(QSafeArray *array);
/* Lower and upper bound of dimension dim (1 = leftmost). */
QUENDLE_API int32_t SafeArrayGetLBound(QSafeArray *array, uint32_t dim, int32_t *bound);
QUENDLE_API int32_t SafeArrayGetUBound(QSafeArray *array, uint32_t dim, int32_t *bound);
/* Copies one element out (strings and variants as new copies) or in (value is
   the string itself for a string array, else the address of the value). */
QUENDLE_API int32_t SafeArrayGetElement(QSafeArray *array, const int32_t *indices, void *out);
QUENDLE_API int32_t SafeArrayPutElement(QSafeArray *array, const int32_t *indices, void *value);

/* VARIANT services. */
/* Makes the variant Empty (all of it zeroed); does not free what it held. */
QUENDLE_API void VariantInit(QVariant *variant);
/* Frees what the variant owns (a string, an array; nothing held by reference)
   and makes it Empty; DISP_E_BADVARTYPE 0x80020008 for an invalid type word,
   which leaves it as it was. */
QUENDLE_API int32_t VariantClear(QVariant *variant);
#endif

#endif /* QUENDLE_H */
