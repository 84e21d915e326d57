// guidfile.cpp -- new GUIDs as text, whole-file reading and file sizes.
#include <cstdint>
#include <cstdio>

#include "frame/bytestring.h"
#include "platform/automation.h"
#include "platform/files.h"

namespace {

enum ReadError : int16_t {
  kReadOk = 0,
  kReadNoName = 1,
  kReadNotFound = 2,
  kReadCannotOpen = 3,
  kReadNoMemory = 4,
};

// The longest ByteString a host can hold: its length is a signed 32-bit value.
constexpr uint64_t kLongestString = 0x7FFFFFFF;
// One read call asks for at most this much, well inside every platform's limit.
constexpr uint32_t kReadChunk = 1u << 30;

void SetError(int16_t *error, int16_t code) {
  if (error) *error = code;
}

// Reads up to size bytes into buf, going on after short reads until the size
// is reached or the file ends. The count read, or -1 when a read failed.
int64_t ReadFully(platform::OpenedFile *file, char *buf, uint32_t size) {
  uint32_t total = 0;
  while (total < size) {
    uint32_t want = size - total < kReadChunk ? size - total : kReadChunk;
    int64_t got = platform::ReadBytes(file, buf + total, want);
    if (got < 0) return -1;
    if (got == 0) break;
    total += static_cast<uint32_t>(got);
  }
  return total;
}

}  // namespace

QUENDLE_API ByteString QCALL CreateGUID(int16_t format) {
  platform::Guid guid;
  if (!platform::NewGuid(&guid)) return nullptr;
  const char *layout = format == 0 ? "%08X%04X%04X%02X%02X%02X%02X%02X%02X%02X%02X"
                                   : "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X";
  char text[40];
  std::snprintf(text, sizeof text, layout, static_cast<unsigned>(guid.data1), unsigned{guid.data2},
                unsigned{guid.data3}, unsigned{guid.data4[0]}, unsigned{guid.data4[1]},
                unsigned{guid.data4[2]}, unsigned{guid.data4[3]}, unsigned{guid.data4[4]},
                unsigned{guid.data4[5]}, unsigned{guid.data4[6]}, unsigned{guid.data4[7]});
  return frame::NewTextString(text);
}

QUENDLE_API ByteString QCALL ReadFileToString(const char *name, int32_t maximum, int16_t *error) {
  SetError(error, kReadOk);
  if (!name || !*name) {
    SetError(error, kReadNoName);
    return nullptr;
  }
  if (!platform::PathExists(name)) {
    SetError(error, kReadNotFound);
    return nullptr;
  }
  platform::OpenedFile *file = platform::OpenForReading(name);
  if (!file) {
    SetError(error, kReadCannotOpen);
    return nullptr;
  }
  uint64_t size = 0;
  if (!platform::FileSize(file, &size)) {
    platform::CloseFile(file);
    SetError(error, kReadCannotOpen);
    return nullptr;
  }
  if (maximum >= 1 && static_cast<uint64_t>(maximum) < size) size = static_cast<uint64_t>(maximum);
  if (size == 0) {
    // An empty file is no error.
    platform::CloseFile(file);
    return nullptr;
  }
  // The whole size is judged, not its low 32 bits: a file too large for a
  // ByteString is refused rather than read in part.
  ByteString data = size <= kLongestString ? frame::NewBinaryString(nullptr, static_cast<uint32_t>(size))
                                           : nullptr;
  if (!data) {
    platform::CloseFile(file);
    SetError(error, kReadNoMemory);
    return nullptr;
  }
  int64_t got = ReadFully(file, data, static_cast<uint32_t>(size));
  platform::CloseFile(file);
  if (got < 0) {
    platform::FreeString(data);
    SetError(error, kReadCannotOpen);
    return nullptr;
  }
  if (static_cast<uint64_t>(got) == size) return data;
  // The file shrank while it was read: hand back what it held, no more.
  ByteString shorter = got > 0 ? frame::NewBinaryString(data, static_cast<uint32_t>(got)) : nullptr;
  platform::FreeString(data);
  if (got > 0 && !shorter) SetError(error, kReadNoMemory);
  return shorter;
}

QUENDLE_API int32_t QCALL FileLength(const char *path) {
  platform::FoundEntry entry;
  platform::FileSearch *search = platform::FindFirstEntry(frame::TextOrEmpty(path), &entry);
  if (!search) return 0;
  platform::EndSearch(search);
  if (entry.attributes & platform::kAttributeDirectory) return 0;
  // Sizes of 2 GB and more read as negative to a caller holding a signed
  // 32-bit value; from 4 GB on the low half alone could look small and
  // plausible, so those give -1.
  if (entry.size > 0xFFFFFFFFu) return -1;
  return static_cast<int32_t>(static_cast<uint32_t>(entry.size));
}
