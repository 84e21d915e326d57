// container.cpp -- the Notewell header: building it, patching the recorded
// size, reading its enciphered fields, and writing finished files.
#include "container.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "owned_string.h"
#include "platform/files.h"

namespace pixveil {

bool HeaderCipher(char *field, int32_t length, const char *password) {
  return EncryptString(field, length, password, nullptr, 1) != 0;
}

bool PayloadCipher(char *payload, int32_t length, const char *password, const char *tableKey) {
  return EncryptString(payload, length, password, tableKey, -1) != 0;
}

long FindHeaderMarker(const char *data, size_t length) {
  if (!data || length < kMarkerLength + 1) return -1;
  for (size_t i = 0; i + kMarkerLength < length; ++i)
    if (std::memcmp(data + i, kHeaderMarker, kMarkerLength) == 0) return static_cast<long>(i);
  return -1;
}

int32_t DecipherRecordedSize(const char *field, const char *password) {
  if (!password || !*password) return 0;
  char copy[4];
  std::memcpy(copy, field, 4);
  HeaderCipher(copy, 4, password);
  uint32_t value = static_cast<uint32_t>(static_cast<unsigned char>(copy[0])) |
                   static_cast<uint32_t>(static_cast<unsigned char>(copy[1])) << 8 |
                   static_cast<uint32_t>(static_cast<unsigned char>(copy[2])) << 16 |
                   static_cast<uint32_t>(static_cast<unsigned char>(copy[3])) << 24;
  return static_cast<int32_t>(value);
}

std::string DecipherName(const char *field, size_t length, const char *password) {
  if (!password || !*password || length == 0) return std::string();
  std::string name(field, length);
  HeaderCipher(&name[0], static_cast<int32_t>(length), password);
  return std::string(name.c_str());
}

ByteString BuildHeader(int32_t n, uint8_t version, uint8_t compression, uint8_t format,
                       int *nameLengthOut, const char *fileName, const char *password) {
  *nameLengthOut = 0;
  if (n < 1 || !fileName || !*fileName || !password || !*password) return nullptr;

  OwnedString header(os::NewByteString(kHeaderMarker, kMarkerLength));
  if (!header) return nullptr;

  // The size field only reserves its four bytes here; PatchRecordedSize
  // writes the real value once the image exists.
  OwnedString size(Mkl(n));
  if (size.size() != 4) return nullptr;
  HeaderCipher(size.get(), 4, password);
  header.reset(AddBinaryString(header.ref(), size.get(), 4));
  if (!header) return nullptr;

  std::string name(fileName);
  size_t cut = name.find_last_of("\\/");
  if (cut != std::string::npos) name.erase(0, cut + 1);
  if (name == "." || name == "..") name.clear();
  if (name.size() > kMaxNameLength) name.resize(kMaxNameLength);
  const uint8_t nameLength = static_cast<uint8_t>(name.size());
  if (nameLength > 0) HeaderCipher(&name[0], nameLength, password);

  const char fields[4] = {static_cast<char>(version), static_cast<char>(compression),
                          static_cast<char>(format), static_cast<char>(nameLength)};
  header.reset(AddBinaryString(header.ref(), fields, 4));
  if (!header) return nullptr;

  const int32_t fillerLength = static_cast<int32_t>(kFixedHeaderLength) - static_cast<int32_t>(header.size());
  OwnedString filler(RandomStr(fillerLength, 5));
  if (!filler) return nullptr;
  header.reset(AddBinaryString(header.ref(), filler.get(), fillerLength));
  if (!header) return nullptr;

  if (nameLength > 0) {
    header.reset(AddBinaryString(header.ref(), name.data(), nameLength));
    if (!header) return nullptr;
  }
  *nameLengthOut = nameLength;
  ByteString result = header.get();
  *header.ref() = nullptr;
  return result;
}

void PatchRecordedSize(char *image, int32_t imageLength, const char *password) {
  if (!image || imageLength < 1) return;
  long at = FindHeaderMarker(image, static_cast<size_t>(imageLength));
  if (at < 0 || static_cast<size_t>(at) + kFixedHeaderLength > static_cast<size_t>(imageLength)) return;
  OwnedString size(Mkl(imageLength));
  if (size.size() != 4) return;
  HeaderCipher(size.get(), 4, password);
  std::memcpy(image + at + kRecordedSizeOffset, size.get(), 4);
}

namespace {

// The temporary file being written, so an interrupted run removes it rather
// than leave half a file behind.
char gPendingTemp[4096];

extern "C" void RemovePendingTempAndStop(int signal) {
  if (gPendingTemp[0]) std::remove(gPendingTemp);
  std::_Exit(128 + signal);
}

}  // namespace

void InstallInterruptCleanup() {
  std::signal(SIGINT, RemovePendingTempAndStop);
  std::signal(SIGTERM, RemovePendingTempAndStop);
}

int WriteFileBytes(const char *path, const char *bytes, size_t count, bool replace) {
  if (!path || !*path || !bytes) return 0;
  if (!replace) {
    FILE *file = std::fopen(path, "ab+");
    if (!file) return 0;
    bool ok = std::fwrite(bytes, 1, count, file) == count;
    ok = std::fclose(file) == 0 && ok;
    return ok ? 1 : 0;
  }
  // A short hidden name beside the target, so the final move stays on one
  // file system and works for names as long as the file system allows.
  static unsigned serial = 0;
  const std::string target(path);
  const size_t cut = target.find_last_of("\\/:");
  const std::string directory = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
  std::string temp;
  FILE *file = nullptr;
  for (int attempt = 0; attempt < 100 && !file; ++attempt) {
    char name[48];
    std::snprintf(name, sizeof name, ".pv%lu-%u.tmp", os::ProcessId(), ++serial);
    temp = directory + name;
    file = os::CreateNewFile(temp.c_str());
  }
  if (!file) return 0;
  if (temp.size() < sizeof gPendingTemp) std::memcpy(gPendingTemp, temp.c_str(), temp.size() + 1);
  bool ok = count == 0 || std::fwrite(bytes, 1, count, file) == count;
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok) ok = os::MoveOverTarget(temp.c_str(), path);
  if (!ok) os::RemoveFile(temp.c_str());
  gPendingTemp[0] = '\0';
  return ok ? 1 : 0;
}

std::string GroupDigits(long long n) {
  unsigned long long magnitude = n < 0 ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  std::string digits = std::to_string(magnitude);
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped.push_back(',');
    grouped.push_back(digits[i]);
  }
  return n < 0 ? "-" + grouped : grouped;
}

std::string BaseName(const std::string &path) {
  if (path.empty() || path.back() == '\\' || path.back() == ':' || path.back() == '/') return std::string();
  size_t cut = path.find_last_of("\\:/");
  std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace pixveil
