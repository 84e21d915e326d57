// fuzz_check.h -- what the fuzz targets share: a check that stops the run
// with a message (libFuzzer then saves the input as a crasher), and
// ByteString helpers.
#ifndef QUENDLE_FUZZ_CHECK_H
#define QUENDLE_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/bytestring.h"
#include "platform/automation.h"
#include "quendle.h"

#define FUZZ_REQUIRE(condition)                                                          \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (0)

namespace fuzz {

inline bool SameBytes(const char *handle, const void *bytes, size_t length) {
  if (frame::ByteStringLength(handle) != length) return false;
  return length == 0 || std::memcmp(handle, bytes, length) == 0;
}

}  // namespace fuzz

#endif
