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

/* The RLE stream: "RZ" 1 0, a 32-bit little-endian count, then count encoded
   bytes. Every source here is a genuine ByteString: its prefix length bounds
   what is read, and a stream whose count runs past it is refused. */

/* Encodes the whole ByteString source into a new binary ByteString in *result
   (the old one freed unless it is source itself), even when that is longer;
   its length in *resultLength (may be null). -1 done; 0 for a null source or
   reference, or no memory. */
QUENDLE_API int16_t QCALL RLECompress(const char *source, ByteString *result, int32_t *resultLength);
/* Expands the stream source into a new binary ByteString in *result (the old
   one freed), its length in *resultLength (may be null). -1 done; 0 with
   *result untouched for no stream, an empty or cut-short one, or no memory. */
QUENDLE_API int16_t QCALL RLEUncompress(const char *source, ByteString *result, int32_t *resultLength);
/* 1 when the stream would be shorter than source's text up to its first zero
   byte, else 0 (also for null or a leading zero byte). */
QUENDLE_API int16_t QCALL RLECompressible(const char *source);
/* -1 when source is a stream with a count of at least 1, else 0. */
QUENDLE_API int16_t QCALL RLECompressed(const char *source);
/* The stream's count field as stored; 0 when source is no stream. */
QUENDLE_API int32_t QCALL RLEByteCount(const char *source);
/* Bytes the stream expands to; 0 for no stream, an empty or cut-short one. */
QUENDLE_API int32_t QCALL RLEUncompressedByteCount(const char *source);
/* Size of the whole stream (header included) that RLECompress makes from the
   first length bytes of source (a plain buffer of at least that many bytes):
   8 for length < 1, 0 for a null source. Read it as unsigned. */
QUENDLE_API int32_t QCALL RLECompressedByteCount(const char *source, int32_t length);

/* ---- codecs: two-colour bitmap and colours ----------------------------- */

/* Colours are 0x00BBGGRR values (red in the low byte); bits 24..31 ignored. */

/* Stores length bytes of data as the pixels of a new 1-bit BMP in *result (the
   caller's old image freed), its file length in *resultLength (may be null;
   read as unsigned above 2 GiB). Palette entry 0 is background, 1 foreground.
   -1 done; 0 with *result null for length <= 0, null data or reference, or no
   memory. */
QUENDLE_API int16_t QCALL StringToBMP(const char *data, int32_t length, ByteString *result,
                                      int32_t *resultLength, int32_t foreground, int32_t background);
/* The data bytes (biSizeImage of them from bfOffBits) of the ByteString image
   as a new binary ByteString in *result (the old one freed), their length in
   *resultLength (may be null). -1 done; 0 with *result null when the headers
   fail or the recorded data does not lie inside the image. */
QUENDLE_API int16_t QCALL BMPToString(const char *image, ByteString *result, int32_t *resultLength);
/* biSizeImage of the ByteString image; 0 unless it starts "BM", has a 40-byte
   info header and bfOffBits of at least 55. */
QUENDLE_API int32_t QCALL BMPDataSize(const char *image);
/* Width, height, biSizeImage and bit count of the ByteString image (each
   pointer may be null; all set to 0 first). -1 when it starts "BM", has a
   40-byte info header and bfOffBits of at least 54; else 0. */
QUENDLE_API int16_t QCALL BMPInfo(const char *image, int32_t *width, int32_t *height, int32_t *dataSize,
                                  int32_t *bitCount);
/* BMPInfo without the outputs. */
QUENDLE_API int16_t QCALL IsBMP(const char *image);
/* Hex colour text "[#]RRGGBB" (up to 6 digits; pairs missing at the end are 0)
   as red * 65536 + green * 256 + blue; 0 for empty or over-long text. */
QUENDLE_API int32_t QCALL RGBVal(const char *text);
/* Splits a 0xRRGGBB value into the given components; returns blue when its
   pointer is given, else value. */
QUENDLE_API int32_t QCALL RGBSplit(int32_t value, int16_t *red, int16_t *green, int16_t *blue);
/* Splits a 0x00BBGGRR colour into the given components; returns red when its
   pointer is given, else value. */
QUENDLE_API int32_t QCALL BGRSplit(int32_t value, int16_t *red, int16_t *green, int16_t *blue);
/* Bytes 0 and 2 exchanged, byte 3 cleared. */
QUENDLE_API int32_t QCALL BGRToRGB(int32_t value);

/* ---- codecs: packing and string building ------------------------------- */

/* New 4-byte ByteString: the value's low byte, high byte, 0, 0. */
QUENDLE_API ByteString QCALL Mki(int16_t value);
/* New 4-byte ByteString: the value's bytes, least significant first. */
QUENDLE_API ByteString QCALL Mkl(int32_t value);
/* New 4-byte ByteString: the IEEE single-precision bytes of the value. */
QUENDLE_API ByteString QCALL Mkf(float value);
/* New 8-byte ByteString: the IEEE double-precision bytes of the value. */
QUENDLE_API ByteString QCALL Mkd(double value);
/* Inverse of Mki: byte 1 (signed) * 256 + byte 0; 0 when null or shorter than 2
   bytes by its length prefix. */
QUENDLE_API int32_t QCALL Cvi(const char *packed);
/* Inverse of Mkl; 0 when null or shorter than 4 bytes. */
QUENDLE_API int32_t QCALL Cvl(const char *packed);
/* Inverse of Mkf; 0.0 when null or shorter than 4 bytes. */
QUENDLE_API float QCALL Cvf(const char *packed);
/* Inverse of Mkd; 0.0 when null or shorter than 8 bytes. */
QUENDLE_API double QCALL Cvd(const char *packed);

/* The Add functions are called as dest = AddX(&dest, ...). On success they
   free *destination, set it to null and return the new joined string, which
   the caller assigns back; on failure they return null and leave
   *destination as it was. */

/* Appends text (up to its first zero byte) to the text in *destination (up to
   its first zero byte). A null text returns a copy of *destination's whole
   ByteString and leaves it alone; a null *destination gives null. */
QUENDLE_API ByteString QCALL AddString(ByteString *destination, const char *text);
/* Appends count bytes of source (0 = source's length prefix) to all bytes of
   *destination. A null source returns a copy of *destination and leaves it
   alone; a null *destination or a negative count gives null. */
QUENDLE_API ByteString QCALL AddBinaryString(ByteString *destination, const char *source, int32_t count);
/* As AddBinaryString, joining through a temporary file so the two inputs and
   the result never coexist in memory; on success both *destination and
   *source are freed and set to null. count (0 = all of *source) beyond
   *source's length gives null. *error (when given): 5 = the drive lacks the
   joined size + 10 MB, 1..4 = ReadFileToString's codes; not reset on success.
   After a failed read-back both inputs are already gone. */
QUENDLE_API ByteString QCALL AddHugeBinaryString(ByteString *destination, ByteString *source, int32_t count,
                                                 int16_t *error);
/* New text ByteString: insertion put into text so that position - 1 bytes of
   text stay in front (0 and 1 insert in front, past the end appends). Null
   for a null text, a negative position or an empty result. */
QUENDLE_API ByteString QCALL InsertString(const char *text, const char *insertion, int32_t position);

/* ---- codecs: GUIDs and whole-file reading ------------------------------ */

/* New text ByteString: a new GUID in upper-case hex, 32 digits for format 0,
   otherwise 36 characters grouped 8-4-4-4-12 with dashes, no braces; null on
   failure. */
QUENDLE_API ByteString QCALL CreateGUID(int16_t format);
/* New binary ByteString with the file's bytes, at most maximum of them
   (maximum < 1: the whole file); null for an empty file (error 0) or on
   failure. *error (when given): 0 ok, 1 no name, 2 not found, 3 cannot be
   opened or read, 4 out of memory (also for a file too large for a string). */
QUENDLE_API ByteString QCALL ReadFileToString(const char *name, int32_t maximum, int16_t *error);
/* Size in bytes of the first entry a path or wildcard pattern finds: 0 when
   nothing matches or for a directory; sizes of 2 GB and more read negative
   (-1 from 4 GB on). */
QUENDLE_API int32_t QCALL FileLength(const char *path);

/* ---- codecs: hex and number bases -------------------------------------- */

/* Hex writers return new ByteStrings in upper case; hex readers accept an
   optional "&h" or "0x" prefix (either case) and give 0 for invalid text. */

/* Two hex digits of the value's low byte. */
QUENDLE_API ByteString QCALL CharToHex(int16_t value);
/* Four hex digits of the 16-bit value. */
QUENDLE_API ByteString QCALL IntToHex(int16_t value);
/* Eight hex digits of the value truncated to an integer (two's complement for
   negative values); "0" above 4294967295. */
QUENDLE_API ByteString QCALL LongToHex(double value);
/* Byte from the first two characters (a leading blank counts as 0, an invalid
   second character is ignored); 0 for null, empty or an invalid first one. */
QUENDLE_API uint8_t QCALL HexToChar(const char *text);
/* 0..65535 from 1 to 4 hex characters; 0 otherwise. */
QUENDLE_API uint16_t QCALL HexToInt(const char *text);
/* 0..4294967295 from 1 to 8 hex digits; 0 otherwise. */
QUENDLE_API double QCALL HexToLong(const char *text);
/* Signed 64-bit value of up to 16 characters (prefix included), as a double;
   sixteen digits with the top bit set are negative; 0 otherwise. */
QUENDLE_API double QCALL HexToDouble(const char *text);
/* Hex text of length bytes (0 = the ByteString's length prefix), with "\r\n"
   between every lineLength bytes when lineLength >= 1; null for null bytes,
   a negative length or nothing to write. */
QUENDLE_API ByteString QCALL StrToHex(const char *bytes, int32_t length, int16_t lineLength);
/* Hex text of a text up to its first zero byte; null for null or empty. */
QUENDLE_API ByteString QCALL StringToHex(const char *text);
/* Binary ByteString of the bytes that pairs of hex characters give (each pair
   read as HexToChar reads it); null for null or an odd or short length. */
QUENDLE_API ByteString QCALL HexToStr(const char *hex);
/* Digits of the unsigned value in base 2..16 (upper case); null for another base. */
QUENDLE_API ByteString QCALL BaseConv(uint32_t value, int16_t base);
/* As BaseConv for 0 <= value <= 2^52 - 1 (truncated); null otherwise. */
QUENDLE_API ByteString QCALL BaseConvDouble(double value, int16_t base);
/* Value of the leading run of "0"/"1" characters after an optional "&b"; with
   more than 32 digits, its low 32 bits. */
QUENDLE_API int32_t QCALL BinToDec(const char *text);
/* 8, 16 or 32 binary digits of the value, most significant first. */
QUENDLE_API ByteString QCALL Bin8(uint8_t value);
QUENDLE_API ByteString QCALL Bin16(int16_t value);
QUENDLE_API ByteString QCALL Bin32(int32_t value);
/* 8, 16 or 32 binary digits, the fewest that hold the value (negative values
   take 32); leading zeros dropped when trim is non-zero (0 then gives an
   empty ByteString). */
QUENDLE_API ByteString QCALL DecToBin(int32_t value, int16_t trim);
/* Swap the byte's halves / the 16-bit value's bytes / reverse the 32-bit
   value's bytes, in place; return the new value (0 for a null pointer). */
QUENDLE_API uint8_t QCALL RotateByte(uint8_t *value);
QUENDLE_API int32_t QCALL RotateInt(int16_t *value);
QUENDLE_API int32_t QCALL RotateLong(int32_t *value);
/* Greatest common divisor by Euclid's remainders; a when b < 1. */
QUENDLE_API int32_t QCALL Gcd(int32_t a, int32_t b);
/* The same with fmod; a when b is not above 0. */
QUENDLE_API double QCALL GcdDouble(double a, double b);

/* ---- files: existence, counting, temporary names, free space ----------- */

/* 1 when the path (a trailing separator allowed) names an existing directory,
   else 0; a wildcard pattern answers for its first match. */
QUENDLE_API int16_t QCALL DirExists(const char *path);
/* 1 when the path or pattern finds any file or directory, else 0. */
QUENDLE_API int16_t QCALL FileExists(const char *path);
/* 1 when the drive named by the text's first letter exists, else 0 (always 0
   on Linux, which has no drive letters). */
QUENDLE_API int16_t QCALL DriveExists(const char *text);
/* Number of files (not directories) the pattern matches; a path ending in a
   separator (or empty) lists that directory (the current one). */
QUENDLE_API int32_t QCALL FileCount(const char *path);
/* New text ByteString: a full path in directory (empty: the TEMP or TMP
   directory) of a file that does not exist yet, made of length random
   characters of charset (0 mixed-case letters, 1 lower, 2 upper, 3 digits,
   4 letters and digits, 6 hex; others 0) and the extension; the file is not
   created. Null for a bad length (1..260), a missing directory or when 500
   tries all exist. */
QUENDLE_API ByteString QCALL MKTempName(const char *directory, const char *extension, int16_t length,
                                        int16_t charset);
/* Deletes a file: 0 done, 123 for an empty path, else the system error code. */
QUENDLE_API int32_t QCALL Unlink(const char *path);
/* Free bytes available to the caller on the drive named by the first letter:
   -1.0 when it is no letter, 0.0 for an empty text or a failed query (always
   on Linux). */
QUENDLE_API double QCALL DiskFree(const char *drive);
/* DiskFree in MiB / GiB; 0.0 when DiskFree gives 0 or less. */
QUENDLE_API double QCALL DiskFreeMeg(const char *drive);
QUENDLE_API double QCALL DiskFreeGig(const char *drive);

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
