// little_endian.h -- reading and writing the little-endian integers of the
// stored formats byte by byte, so alignment and the host's byte order never
// matter.
#ifndef QUENDLE_CODECS_LITTLE_ENDIAN_H
#define QUENDLE_CODECS_LITTLE_ENDIAN_H

#include <cstdint>

namespace codecs {

inline uint32_t ReadLittleEndian32(const char *at) {
  const auto *b = reinterpret_cast<const unsigned char *>(at);
  return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

inline uint16_t ReadLittleEndian16(const char *at) {
  const auto *b = reinterpret_cast<const unsigned char *>(at);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

inline void WriteLittleEndian32(char *at, uint32_t value) {
  for (int k = 0; k < 4; ++k) at[k] = static_cast<char>(value >> (8 * k));
}

inline void WriteLittleEndian16(char *at, uint16_t value) {
  at[0] = static_cast<char>(value);
  at[1] = static_cast<char>(value >> 8);
}

}  // namespace codecs

#endif
