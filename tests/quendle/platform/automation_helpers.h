// automation_helpers.h -- small conveniences for the platform tests: UTF-16
// strings and reading any automation string or stored element in place,
// through the platform interface, so the same test source runs against
// oleaut32 on Windows and the library's own services on Linux.
#ifndef QUENDLE_TESTS_PLATFORM_AUTOMATION_HELPERS_H
#define QUENDLE_TESTS_PLATFORM_AUTOMATION_HELPERS_H

#include <cstring>
#include <string>

#include "platform/automation.h"

namespace platform_test {

inline QOleChar *MakeWide(const std::u16string &text) {
  return platform::AllocWideString(reinterpret_cast<const QOleChar *>(text.data()),
                                   static_cast<uint32_t>(text.size()));
}

// Content of any automation string by its recorded byte length.
inline std::string BytesOf(const void *str) {
  if (!str) return std::string();
  return std::string(static_cast<const char *>(str), platform::ByteStringLength(str));
}

inline std::u16string WideOf(const QOleChar *str) {
  if (!str) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t *>(str), platform::WideStringLength(str));
}

// The pointer stored in slot index of an array's data.
inline void *StoredPointer(const QSafeArray *array, size_t index) {
  void *value;
  std::memcpy(&value, static_cast<const char *>(array->pvData) + index * sizeof(void *), sizeof value);
  return value;
}

}  // namespace platform_test

#endif
