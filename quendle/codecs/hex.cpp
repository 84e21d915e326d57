// hex.cpp -- hexadecimal, binary and other-base conversions, byte-order
// helpers and greatest common divisors. The readers take text from hosts and
// files as it comes: they stop at the terminator and never look past it.
#include "codecs/hex.h"

#include <cmath>
#include <cstring>

#include "frame/bytestring.h"
#include "platform/automation.h"

namespace codecs {

const char kHexDigits[17] = "0123456789ABCDEF";

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

namespace {

constexpr uint32_t kLongestString = 0x7FFFFFFF;

// Skips one leading "&h" or "0x" in either case.
const char *SkipHexPrefix(const char *text) {
  if ((text[0] == '&' && (text[1] == 'h' || text[1] == 'H')) ||
      (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')))
    return text + 2;
  return text;
}

// The two-character reader behind HexToChar and HexToStr: a leading blank
// counts as 0, an invalid second character leaves the first digit alone.
uint8_t ReadHexByte(const char *text) {
  text = SkipHexPrefix(text);
  char c0 = text[0];
  if (c0 == '\0') return 0;
  int value = HexDigitValue(c0);
  if (text[1] == '\0') return value < 0 ? 0 : static_cast<uint8_t>(value);
  if (value < 0) {
    if (c0 != ' ' && c0 != '\t') return 0;
    value = 0;
  }
  int low = HexDigitValue(text[1]);
  if (low >= 0) value = value * 16 + low;
  return static_cast<uint8_t>(value);
}

// Reads exactly the two characters at text (a copy, so the reader stops there).
uint8_t ReadHexPair(const char *text) {
  const char pair[3] = {text[0], text[1], '\0'};
  return ReadHexByte(pair);
}

// The unsigned value of 1 to 8 hexadecimal digits after an optional prefix;
// false for anything else.
bool ReadHexDigits(const char *text, uint32_t *value) {
  text = SkipHexPrefix(text);
  size_t n = strnlen(text, 9);
  if (n < 1 || n > 8) return false;
  uint32_t result = 0;
  for (size_t i = 0; i < n; ++i) {
    int digit = HexDigitValue(text[i]);
    if (digit < 0) return false;
    result = result * 16 + static_cast<uint32_t>(digit);
  }
  *value = result;
  return true;
}

double HexTextToLong(const char *text) {
  uint32_t value = 0;
  return text && ReadHexDigits(text, &value) ? static_cast<double>(value) : 0.0;
}

ByteString BinaryDigits(uint32_t value, int bits) {
  char digits[32];
  for (int i = 0; i < bits; ++i) digits[i] = (value >> (bits - 1 - i)) & 1u ? '1' : '0';
  return frame::NewBinaryString(digits, static_cast<uint32_t>(bits));
}

ByteString HexBytes(const uint8_t *bytes, uint32_t length, int32_t lineLength) {
  uint64_t breaks = lineLength >= 1 ? (uint64_t{length} - 1) / static_cast<uint32_t>(lineLength) : 0;
  uint64_t total = uint64_t{length} * 2 + breaks * 2;
  if (total > kLongestString) return nullptr;
  ByteString result = frame::NewBinaryString(nullptr, static_cast<uint32_t>(total));
  if (!result) return nullptr;
  char *out = result;
  for (uint32_t i = 0; i < length; ++i) {
    if (lineLength >= 1 && i != 0 && i % static_cast<uint32_t>(lineLength) == 0) {
      *out++ = '\r';
      *out++ = '\n';
    }
    WriteHexByte(out, bytes[i]);
    out += 2;
  }
  return result;
}

}  // namespace

uint32_t HexToDword(const char *text) {
  uint32_t value = 0;
  return text && ReadHexDigits(text, &value) ? value : 0;
}

}  // namespace codecs

// ---- hexadecimal writers -------------------------------------------------------

QUENDLE_API ByteString QCALL CharToHex(int16_t value) {
  char digits[2];
  codecs::WriteHexByte(digits, static_cast<uint8_t>(value));
  return frame::NewBinaryString(digits, 2);
}

QUENDLE_API ByteString QCALL IntToHex(int16_t value) {
  uint16_t v = static_cast<uint16_t>(value);
  char digits[4];
  codecs::WriteHexByte(digits, static_cast<uint8_t>(v >> 8));
  codecs::WriteHexByte(digits + 2, static_cast<uint8_t>(v));
  return frame::NewBinaryString(digits, 4);
}

QUENDLE_API ByteString QCALL LongToHex(double value) {
  if (value > 4294967295.0) return frame::NewTextString("0");
  // Truncation toward zero to 64 bits; what does not fit (or is no number)
  // has no low half to show and writes eight zeros.
  uint32_t low = 0;
  if (value >= -9223372036854775808.0) low = static_cast<uint32_t>(static_cast<int64_t>(value));
  char digits[8];
  for (int i = 0; i < 4; ++i) codecs::WriteHexByte(digits + 2 * i, static_cast<uint8_t>(low >> (24 - 8 * i)));
  return frame::NewBinaryString(digits, 8);
}

// ---- hexadecimal readers -------------------------------------------------------

QUENDLE_API uint8_t QCALL HexToChar(const char *text) { return text ? codecs::ReadHexByte(text) : 0; }

QUENDLE_API uint16_t QCALL HexToInt(const char *text) {
  if (!text) return 0;
  text = codecs::SkipHexPrefix(text);
  size_t n = strnlen(text, 5);
  if (n == 0 || codecs::HexDigitValue(text[0]) < 0) return 0;
  switch (n) {
    case 1:
    case 2:
      return codecs::ReadHexByte(text);
    case 3:
      return static_cast<uint16_t>(codecs::HexDigitValue(text[0]) * 256 + codecs::ReadHexPair(text + 1));
    case 4:
      return static_cast<uint16_t>(codecs::ReadHexPair(text) * 256 + codecs::ReadHexPair(text + 2));
    default:
      return 0;
  }
}

QUENDLE_API double QCALL HexToLong(const char *text) { return codecs::HexTextToLong(text); }

QUENDLE_API double QCALL HexToDouble(const char *text) {
  if (!text) return 0.0;
  size_t n = strnlen(text, 17);
  if (n == 0 || n > 16) return 0.0;
  if (n <= 8) return codecs::HexTextToLong(text);
  char high[9] = {};
  std::memcpy(high, text, n - 8);
  uint32_t highValue = 0, lowValue = 0;
  const char *lowText = text + (n - 8);
  if (!codecs::ReadHexDigits(high, &highValue)) highValue = 0;
  if (!codecs::ReadHexDigits(lowText, &lowValue)) lowValue = 0;
  // Sixteen digits with the top bit set are a negative 64-bit value.
  uint64_t bits = (uint64_t{highValue} << 32) | lowValue;
  return static_cast<double>(static_cast<int64_t>(bits));
}

// ---- byte strings and hexadecimal text ------------------------------------------

QUENDLE_API ByteString QCALL StrToHex(const char *bytes, int32_t length, int16_t lineLength) {
  if (!bytes || length < 0) return nullptr;
  uint32_t count = length == 0 ? frame::ByteStringLength(bytes) : static_cast<uint32_t>(length);
  if (count == 0) return nullptr;
  return codecs::HexBytes(reinterpret_cast<const uint8_t *>(bytes), count, lineLength);
}

QUENDLE_API ByteString QCALL StringToHex(const char *text) {
  if (!text || !*text) return nullptr;
  size_t len = std::strlen(text);
  if (len > codecs::kLongestString) return nullptr;
  return codecs::HexBytes(reinterpret_cast<const uint8_t *>(text), static_cast<uint32_t>(len), 0);
}

QUENDLE_API ByteString QCALL HexToStr(const char *hex) {
  if (!hex) return nullptr;
  size_t n = std::strlen(hex);
  if (n < 2 || n % 2 != 0 || n / 2 > codecs::kLongestString) return nullptr;
  ByteString result = frame::NewBinaryString(nullptr, static_cast<uint32_t>(n / 2));
  if (!result) return nullptr;
  for (size_t i = 0; i < n / 2; ++i) result[i] = static_cast<char>(codecs::ReadHexPair(hex + 2 * i));
  return result;
}

// ---- other bases ---------------------------------------------------------------

QUENDLE_API ByteString QCALL BaseConv(uint32_t value, int16_t base) {
  if (base < 2 || base > 16) return nullptr;
  char digits[32];
  int start = sizeof digits;
  do {
    digits[--start] = codecs::kHexDigits[value % static_cast<uint32_t>(base)];
    value /= static_cast<uint32_t>(base);
  } while (value != 0);
  return frame::NewBinaryString(digits + start, static_cast<uint32_t>(sizeof digits - start));
}

QUENDLE_API ByteString QCALL BaseConvDouble(double value, int16_t base) {
  if (base < 2 || base > 16 || value > 4503599627370495.0) return nullptr;
  // Below zero (and for no number at all) there are no digits to give.
  if (!(value > -1.0)) return nullptr;
  int64_t number = static_cast<int64_t>(value);
  char digits[64];
  int start = sizeof digits;
  do {
    digits[--start] = codecs::kHexDigits[number % base];
    number /= base;
  } while (number > 0);
  return frame::NewBinaryString(digits + start, static_cast<uint32_t>(sizeof digits - start));
}

QUENDLE_API ByteString QCALL Bin8(uint8_t value) { return codecs::BinaryDigits(value, 8); }
QUENDLE_API ByteString QCALL Bin16(int16_t value) { return codecs::BinaryDigits(static_cast<uint16_t>(value), 16); }
QUENDLE_API ByteString QCALL Bin32(int32_t value) { return codecs::BinaryDigits(static_cast<uint32_t>(value), 32); }

QUENDLE_API ByteString QCALL DecToBin(int32_t value, int16_t trim) {
  uint32_t v = static_cast<uint32_t>(value);
  int bits = v <= 0xFF ? 8 : v <= 0xFFFF ? 16 : 32;
  char digits[32];
  for (int i = 0; i < bits; ++i) digits[i] = (v >> (bits - 1 - i)) & 1u ? '1' : '0';
  int start = 0;
  if (trim != 0)
    while (start < bits && digits[start] == '0') ++start;
  return frame::NewBinaryString(digits + start, static_cast<uint32_t>(bits - start));
}

QUENDLE_API int32_t QCALL BinToDec(const char *text) {
  if (!text || !*text) return 0;
  if (strnlen(text, 3) > 2 && text[0] == '&' && (text[1] == 'b' || text[1] == 'B')) text += 2;
  // The run of binary digits is the number; with more than 32 of them the
  // result keeps its low 32 bits.
  uint32_t value = 0;
  for (const char *at = text; *at == '0' || *at == '1'; ++at) value = (value << 1) | static_cast<uint32_t>(*at - '0');
  return static_cast<int32_t>(value);
}

// ---- byte order and divisors ------------------------------------------------------

QUENDLE_API uint8_t QCALL RotateByte(uint8_t *value) {
  if (!value) return 0;
  *value = static_cast<uint8_t>((*value >> 4) | ((*value & 0x0F) << 4));
  return *value;
}

QUENDLE_API int32_t QCALL RotateInt(int16_t *value) {
  if (!value) return 0;
  uint16_t v = static_cast<uint16_t>(*value);
  *value = static_cast<int16_t>(static_cast<uint16_t>((v >> 8) | (v << 8)));
  return *value;
}

QUENDLE_API int32_t QCALL RotateLong(int32_t *value) {
  if (!value) return 0;
  uint32_t v = static_cast<uint32_t>(*value);
  v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
  *value = static_cast<int32_t>(v);
  return *value;
}

QUENDLE_API int32_t QCALL Gcd(int32_t a, int32_t b) {
  if (b < 1) return a;
  while (b > 0) {
    int32_t rest = a % b;
    a = b;
    b = rest;
  }
  return a;
}

QUENDLE_API double QCALL GcdDouble(double a, double b) {
  if (!(b > 0.0)) return a;
  while (b > 0.0) {
    double rest = std::fmod(a, b);
    a = b;
    b = rest;
  }
  return a;
}
