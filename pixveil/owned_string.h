// owned_string.h -- holds a ByteString the library returned and frees it when
// the holder goes, so every return path of a pipeline releases its strings.
#ifndef PIXVEIL_OWNED_STRING_H
#define PIXVEIL_OWNED_STRING_H

#include "platform/strings.h"

namespace pixveil {

class OwnedString {
 public:
  OwnedString() = default;
  explicit OwnedString(ByteString str) : str_(str) {}
  ~OwnedString() { os::FreeByteString(str_); }
  OwnedString(const OwnedString &) = delete;
  OwnedString &operator=(const OwnedString &) = delete;

  ByteString get() const { return str_; }
  // The variable an export may free and replace through a reference.
  ByteString *ref() { return &str_; }
  // Takes a new string, freeing the one held.
  void reset(ByteString str = nullptr) {
    if (str != str_) os::FreeByteString(str_);
    str_ = str;
  }
  uint32_t size() const { return str_ ? static_cast<uint32_t>(SysLen(str_)) : 0; }
  explicit operator bool() const { return str_ != nullptr; }

 private:
  ByteString str_ = nullptr;
};

}  // namespace pixveil

#endif
