// cipher.cpp -- EncryptString: an XOR keystream from the LCG, in a simple mode
// and a table mode whose 256-byte table is keyed by the password and an
// optional second key and shuffled as the data goes by. Both modes are their
// own inverse.
#include "codecs/cipher.h"

#include <cstring>
#include <utility>

#include "codecs/random.h"
#include "quendle.h"

namespace codecs {
namespace {

constexpr uint32_t kGoldenRatio = 2654435769u;  // 0x9E3779B9
constexpr int kTableSize = 256;

uint32_t CipherSeed(uint32_t seed) { return seed ? seed : kZeroSeedSubstitute; }

void SimpleCipher(uint8_t *data, uint32_t length, const uint8_t *password, uint32_t passwordLength) {
  uint32_t state = CipherSeed(static_cast<uint32_t>(PasswordChecksum(reinterpret_cast<const char *>(password))));
  uint32_t p = 0;
  for (uint32_t i = 0; i < length; ++i) {
    data[i] ^= static_cast<uint8_t>(LcgStep(state)) ^ password[p];
    if (++p == passwordLength) p = 0;
  }
  LcgState() = state;
}

void BuildTable(uint8_t table[kTableSize], const uint8_t *password, uint32_t passwordLength,
                const char *secondKey, uint32_t length) {
  size_t keyLength = secondKey ? std::strlen(secondKey) : 0;
  for (int i = 0; i < kTableSize; ++i) {
    table[i] = keyLength ? static_cast<uint8_t>(secondKey[i % keyLength]) : static_cast<uint8_t>(i);
  }
  uint32_t state = CipherSeed(kGoldenRatio / length);
  for (int i = 0; i < kTableSize; ++i) table[i] ^= password[i % passwordLength];
  for (int round = 0; round < kTableSize; ++round) {
    uint8_t x = static_cast<uint8_t>(LcgStep(state));
    uint8_t y = static_cast<uint8_t>(LcgStep(state));
    std::swap(table[x], table[y]);
  }
  LcgState() = state;
}

void TableCipher(uint8_t *data, uint32_t length, const uint8_t *password, uint32_t passwordLength,
                 const char *secondKey) {
  uint8_t table[kTableSize];
  BuildTable(table, password, passwordLength, secondKey, length);
  uint32_t checksum = static_cast<uint32_t>(PasswordChecksum(reinterpret_cast<const char *>(password)));
  uint32_t state = CipherSeed(checksum | (length & 0xFFFF));
  for (uint32_t i = 0; i < length; ++i) {
    uint8_t r = static_cast<uint8_t>(LcgStep(state));
    data[i] ^= table[i & 0xFF] ^ r;
    uint8_t r2 = static_cast<uint8_t>(LcgStep(state));
    std::swap(table[r], table[r2]);
  }
  LcgState() = state;
}

}  // namespace

int32_t PasswordChecksum(const char *text) {
  uint32_t sum = 0;
  for (; text && *text; ++text) sum += static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(*text)));
  return static_cast<int32_t>(sum);
}

}  // namespace codecs

QUENDLE_API int16_t QCALL EncryptString(char *data, int32_t length, const char *password, const char *secondKey,
                                        int16_t mode) {
  if (!password || !*password || length <= 0) return 0;
  auto *bytes = reinterpret_cast<uint8_t *>(data);
  auto *key = reinterpret_cast<const uint8_t *>(password);
  auto keyLength = static_cast<uint32_t>(std::strlen(password));
  if (mode == 0) {
    codecs::SimpleCipher(bytes, static_cast<uint32_t>(length), key, keyLength);
  } else {
    codecs::TableCipher(bytes, static_cast<uint32_t>(length), key, keyLength, secondKey);
  }
  return -1;
}
