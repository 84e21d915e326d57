// cipher.cpp -- EncryptString: an XOR keystream from the LCG, in a simple mode
// and a table mode whose 256-byte table is keyed by the password and an
// optional second key and shuffled as the data goes by. Both modes are their
// own inverse.
//
// A byte-at-a-time loop waits on two dependent LCG multiplies per byte in
// table mode. The draws depend only on the seed, so they are computed ahead in
// blocks (see DrawBlock) and the byte loops only look them up; the table
// exchanges stay strictly in order, since each one changes the table the next
// byte reads.
#include "codecs/cipher.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "codecs/random.h"
#include "quendle.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace codecs {
namespace {

constexpr uint32_t kGoldenRatio = 2654435769u;  // 0x9E3779B9
constexpr int kTableSize = 256;
// A block feeds kBlockDraws / 2 table-mode bytes (two draws each), a whole
// fraction of the table, so a block never wraps round the table.
constexpr uint32_t kTableBlockBytes = kBlockDraws / 2;
static_assert(kTableSize % kTableBlockBytes == 0, "table-mode blocks line up with the table");

constexpr LcgJump kRoundJump = LcgJumpAhead(kDrawChains);

uint32_t CipherSeed(uint32_t seed) { return seed ? seed : kZeroSeedSubstitute; }

DrawChains StartChains(uint32_t seed) {
  DrawChains chains;
  uint32_t state = seed;
  for (uint32_t &chain : chains.state) chain = state = LcgAdvance(state, LcgJumpAhead(1));
  return chains;
}

void FillScalar(DrawChains &chains, DrawBlock &block) {
  uint32_t state[kDrawChains];
  std::memcpy(state, chains.state, sizeof state);
  for (int round = 0; round < kBlockDraws; round += kDrawChains) {
    uint8_t *slot = block.slots + round * kDrawSlotBytes + kDrawByteOffset;
    for (int j = 0; j < kDrawChains; ++j) {
      slot[j * kDrawSlotBytes] = static_cast<uint8_t>(state[j] >> 16);
      state[j] = LcgAdvance(state[j], kRoundJump);
    }
  }
  std::memcpy(chains.state, state, sizeof state);
}

#if defined(__SSE2__)
// Two chains per register, each in the low half of a 64-bit lane:
// _mm_mul_epu32 multiplies exactly those halves, and the lane is stored
// whole, which on this little-endian target puts state bits 16..23 at byte 2
// of the draw's slot.
static_assert(kDrawSlotBytes == 8 && kDrawByteOffset == 2, "slot layout of the vector filler");
void FillBlock(DrawChains &chains, DrawBlock &block) {
  constexpr int kRegisters = kDrawChains / 2;
  const __m128i multiplier = _mm_set1_epi64x(kRoundJump.multiplier);
  const __m128i increment = _mm_set1_epi64x(kRoundJump.increment);
  __m128i lanes[kRegisters];
  for (int q = 0; q < kRegisters; ++q) {
    lanes[q] = _mm_set_epi64x(chains.state[2 * q + 1], chains.state[2 * q]);
  }
  for (int round = 0; round < kBlockDraws; round += kDrawChains) {
    auto *out = reinterpret_cast<__m128i *>(block.slots + round * kDrawSlotBytes);
    for (int q = 0; q < kRegisters; ++q) {
      _mm_store_si128(out + q, lanes[q]);
      lanes[q] = _mm_add_epi32(_mm_mul_epu32(lanes[q], multiplier), increment);
    }
  }
  for (int q = 0; q < kRegisters; ++q) {
    chains.state[2 * q] = static_cast<uint32_t>(_mm_cvtsi128_si32(lanes[q]));
    chains.state[2 * q + 1] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(lanes[q], 8)));
  }
}
#else
void FillBlock(DrawChains &chains, DrawBlock &block) { FillScalar(chains, block); }
#endif

void SimpleCipher(uint8_t *data, uint32_t length, const uint8_t *password, uint32_t passwordLength) {
  const uint32_t seed = CipherSeed(static_cast<uint32_t>(PasswordChecksum(reinterpret_cast<const char *>(password))));
  DrawChains chains = StartChains(seed);
  DrawBlock block;
  uint32_t p = 0;
  for (uint32_t done = 0; done < length; done += kBlockDraws) {
    const uint32_t count = std::min<uint32_t>(length - done, kBlockDraws);
    FillBlock(chains, block);
    uint8_t *out = data + done;
    for (uint32_t k = 0; k < count; ++k) {
      out[k] ^= DrawByte(block, static_cast<int>(k)) ^ password[p];
      if (++p == passwordLength) p = 0;
    }
  }
  // The LCG carries on from the last draw, as if drawn one by one.
  LcgState() = LcgAdvance(seed, LcgJumpAhead(length));
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
  const uint32_t checksum = static_cast<uint32_t>(PasswordChecksum(reinterpret_cast<const char *>(password)));
  const uint32_t seed = CipherSeed(checksum | (length & 0xFFFF));
  DrawChains chains = StartChains(seed);
  DrawBlock block;
  for (uint32_t done = 0; done < length; done += kTableBlockBytes) {
    const uint32_t count = std::min(length - done, kTableBlockBytes);
    FillBlock(chains, block);
    uint8_t *out = data + done;
    const uint8_t *position = table + (done & 0xFF);  // byte done + k reads table[(done + k) & 0xFF]
    for (uint32_t k = 0; k < count; ++k) {
      const uint8_t r = DrawByte(block, static_cast<int>(2 * k));
      const uint8_t r2 = DrawByte(block, static_cast<int>(2 * k + 1));
      out[k] ^= position[k] ^ r;
      const uint8_t a = table[r];
      table[r] = table[r2];
      table[r2] = a;
    }
  }
  // Two draws per byte; 2 * length fits in 32 bits for any positive length.
  LcgState() = LcgAdvance(seed, LcgJumpAhead(2 * length));
}

}  // namespace

// The cipher calls the fillers above directly: in a position-independent
// build a call to a name with external linkage may be interposed, so the
// compiler would not inline it into the byte loops.
DrawChains StartDrawChains(uint32_t seed) { return StartChains(seed); }
void FillDrawsPortable(DrawChains &chains, DrawBlock &block) { FillScalar(chains, block); }
void FillDraws(DrawChains &chains, DrawBlock &block) { FillBlock(chains, block); }

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
