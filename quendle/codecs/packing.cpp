// packing.cpp -- numbers to and from their raw little-endian bytes, and the
// string builders that grow a caller's ByteString.
//
// The builders follow the host's pattern dest := AddX(dest, ...): on success
// they free the caller's old handle and leave the variable null, so the
// assignment of the result is what keeps the string; on failure the variable
// is left exactly as it was.
#include <cstdint>
#include <cstring>

#include "files/filequeries.h"
#include "frame/bytestring.h"
#include "platform/automation.h"
#include "platform/files.h"

namespace {

// The longest ByteString a host can hold: its length is a signed 32-bit value.
constexpr uint64_t kLongestString = 0x7FFFFFFF;
// Room the temporary file must leave free beyond the joined string.
constexpr uint64_t kSpareDiskBytes = 10485760;
constexpr int16_t kErrorDiskSpace = 5;

ByteString PackBytes(const void *value, uint32_t size) { return frame::NewBinaryString(value, size); }

// The first size bytes of a packed ByteString, or false when it holds fewer.
bool UnpackBytes(const char *packed, void *value, uint32_t size) {
  if (!packed || frame::ByteStringLength(packed) < size) return false;
  std::memcpy(value, packed, size);
  return true;
}

// Text length of a ByteString: up to its first zero byte, never past its end.
uint32_t TextLength(const char *handle) {
  return static_cast<uint32_t>(strnlen(handle, frame::ByteStringLength(handle)));
}

// Joins two byte runs into one new ByteString; null when too long or no memory.
ByteString Join(const char *first, uint64_t firstLen, const char *second, uint64_t secondLen) {
  if (firstLen + secondLen > kLongestString) return nullptr;
  ByteString joined = frame::NewBinaryString(nullptr, static_cast<uint32_t>(firstLen + secondLen));
  if (!joined) return nullptr;
  if (firstLen) std::memcpy(joined, first, firstLen);
  if (secondLen) std::memcpy(joined + firstLen, second, secondLen);
  return joined;
}

// The caller's variable gives up its string to the joined result.
ByteString Handover(ByteString *destination, ByteString joined) {
  if (joined) {
    platform::FreeString(*destination);
    *destination = nullptr;
  }
  return joined;
}

ByteString CopyWhole(const char *handle) {
  return handle ? frame::NewBinaryString(handle, frame::ByteStringLength(handle)) : nullptr;
}

// Writes both parts to a new file; false (file removed) when any byte is missing.
bool WriteParts(const char *path, const char *first, uint32_t firstLen, const char *second,
                uint32_t secondLen) {
  platform::OpenedFile *file = platform::CreateForWriting(path);
  bool written = file && platform::WriteBytes(file, first, firstLen) &&
                 (secondLen == 0 || platform::WriteBytes(file, second, secondLen));
  platform::CloseFile(file);
  if (!written) Unlink(path);
  return written;
}

}  // namespace

// ---- packing -------------------------------------------------------------------

QUENDLE_API ByteString QCALL Mki(int16_t value) {
  uint16_t v = static_cast<uint16_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), 0, 0};
  return PackBytes(bytes, 4);
}

QUENDLE_API ByteString QCALL Mkl(int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                            static_cast<uint8_t>(v >> 24)};
  return PackBytes(bytes, 4);
}

// The argument's own four bytes, whatever the host put in the slot.
QUENDLE_API ByteString QCALL Mkf(float value) { return PackBytes(&value, 4); }

QUENDLE_API ByteString QCALL Mkd(double value) { return PackBytes(&value, 8); }

QUENDLE_API int32_t QCALL Cvi(const char *packed) {
  uint8_t bytes[2];
  if (!UnpackBytes(packed, bytes, 2)) return 0;
  return static_cast<int8_t>(bytes[1]) * 256 + bytes[0];
}

QUENDLE_API int32_t QCALL Cvl(const char *packed) {
  uint8_t bytes[4];
  if (!UnpackBytes(packed, bytes, 4)) return 0;
  return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
                              uint32_t{bytes[3]} << 24);
}

QUENDLE_API float QCALL Cvf(const char *packed) {
  float value = 0.0f;
  return UnpackBytes(packed, &value, 4) ? value : 0.0f;
}

QUENDLE_API double QCALL Cvd(const char *packed) {
  double value = 0.0;
  return UnpackBytes(packed, &value, 8) ? value : 0.0;
}

// ---- building -------------------------------------------------------------------

QUENDLE_API ByteString QCALL AddString(ByteString *destination, const char *text) {
  if (!destination) return nullptr;
  if (!text) return CopyWhole(*destination);
  if (!*destination) return nullptr;
  return Handover(destination, Join(*destination, TextLength(*destination), text, std::strlen(text)));
}

QUENDLE_API ByteString QCALL AddBinaryString(ByteString *destination, const char *source, int32_t count) {
  if (!destination) return nullptr;
  if (!source) return CopyWhole(*destination);
  if (!*destination || count < 0) return nullptr;
  uint32_t b = count != 0 ? static_cast<uint32_t>(count) : frame::ByteStringLength(source);
  return Handover(destination, Join(*destination, frame::ByteStringLength(*destination), source, b));
}

QUENDLE_API ByteString QCALL AddHugeBinaryString(ByteString *destination, ByteString *source, int32_t count,
                                                 int16_t *error) {
  if (!destination || !source || !*destination || count < 0) return nullptr;
  uint64_t a = frame::ByteStringLength(*destination);
  uint64_t sourceLen = frame::ByteStringLength(*source);
  uint64_t b = count != 0 ? static_cast<uint64_t>(count) : sourceLen;
  // The source is a real ByteString, so a count beyond its end is refused
  // rather than read past it.
  if (b > sourceLen || a + b > kLongestString) return nullptr;

  ByteString tempName = MKTempName(nullptr, ".tmp", 8, 0);
  if (!tempName) return nullptr;
  char drive = files::DriveOf(tempName);
  if (drive) {
    const char driveText[] = {drive, '\0'};
    if (static_cast<double>(a + b + kSpareDiskBytes) > files::FreeSpace(driveText)) {
      if (error) *error = kErrorDiskSpace;
      platform::FreeString(tempName);
      return nullptr;
    }
  }
  if (!WriteParts(tempName, *destination, static_cast<uint32_t>(a), *source, static_cast<uint32_t>(b))) {
    platform::FreeString(tempName);
    return nullptr;
  }

  // From here on only the file holds the data: both strings go before it is
  // read back, so the two inputs and the joined copy never coexist.
  if (*source != *destination) platform::FreeString(*source);
  platform::FreeString(*destination);
  *source = nullptr;
  *destination = nullptr;

  int16_t readError = 0;
  ByteString joined = ReadFileToString(tempName, static_cast<int32_t>(a + b), &readError);
  Unlink(tempName);
  platform::FreeString(tempName);
  if (joined && readError == 0) return joined;
  if (error) *error = readError;
  platform::FreeString(joined);
  return nullptr;
}

QUENDLE_API ByteString QCALL InsertString(const char *text, const char *insertion, int32_t position) {
  if (!text || position < 0) return nullptr;
  insertion = frame::TextOrEmpty(insertion);
  uint64_t t = std::strlen(text);
  uint64_t i = std::strlen(insertion);
  if (t == 0 && i == 0) return nullptr;
  if (t + i > kLongestString) return nullptr;
  uint64_t kept = static_cast<uint64_t>(position < 1 ? 1 : position);
  if (kept > t + 1) kept = t + 1;
  kept -= 1;
  ByteString result = frame::NewBinaryString(nullptr, static_cast<uint32_t>(t + i));
  if (!result) return nullptr;
  std::memcpy(result, text, kept);
  std::memcpy(result + kept, insertion, i);
  std::memcpy(result + kept + i, text + kept, t - kept);
  return result;
}
