// bytestring_support.h -- test helpers that own ByteStrings returned by the
// library and read their bytes by the recorded length.
#ifndef TESTS_QUENDLE_BYTESTRING_SUPPORT_H
#define TESTS_QUENDLE_BYTESTRING_SUPPORT_H

#include <string>

#include "frame/bytestring.h"
#include "platform/automation.h"

namespace testing_support {

// Takes ownership of a returned ByteString and gives its bytes.
inline std::string Take(ByteString str) {
  std::string bytes(str ? str : "", frame::ByteStringLength(str));
  platform::FreeString(str);
  return bytes;
}

// A ByteString variable as a host holds one, freed at scope end.
struct OwnedString {
  ByteString handle = nullptr;
  explicit OwnedString(const std::string &bytes)
      : handle(frame::NewBinaryString(bytes.data(), static_cast<uint32_t>(bytes.size()))) {}
  OwnedString() = default;
  ~OwnedString() { platform::FreeString(handle); }
  OwnedString(const OwnedString &) = delete;
  OwnedString &operator=(const OwnedString &) = delete;
  std::string Bytes() const { return std::string(handle ? handle : "", frame::ByteStringLength(handle)); }
};

}  // namespace testing_support

#endif
