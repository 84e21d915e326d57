// random.cpp -- the LCG and MT19937 generators, their range draws, random
// texts, and the exports built on them.
#include "codecs/random.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "frame/bytestring.h"
#include "platform/system.h"

namespace codecs {
namespace {

thread_local uint32_t tLcgState = 1;

// MT19937 as published: 624 words, tempering constants below.
constexpr int kMtWords = 624;
constexpr int kMtShift = 397;
constexpr uint32_t kMtMatrix = 0x9908B0DFu;
constexpr uint32_t kMtUpper = 0x80000000u;
constexpr uint32_t kMtLower = 0x7FFFFFFFu;
constexpr uint32_t kMtDefaultSeed = 5489;
constexpr int kMtUninitialised = kMtWords + 1;

struct Mersenne {
  uint32_t words[kMtWords];
  int index = kMtUninitialised;
  bool seeded = false;
};
Mersenne gMersenne;

void InitMersenne(uint32_t seed) {
  gMersenne.words[0] = seed;
  for (int i = 1; i < kMtWords; ++i) {
    uint32_t prev = gMersenne.words[i - 1];
    gMersenne.words[i] = 1812433253u * (prev ^ (prev >> 30)) + static_cast<uint32_t>(i);
  }
  gMersenne.index = kMtWords;
  gMersenne.seeded = true;
}

void RegenerateMersenne() {
  uint32_t *mt = gMersenne.words;
  for (int i = 0; i < kMtWords; ++i) {
    uint32_t y = (mt[i] & kMtUpper) | (mt[(i + 1) % kMtWords] & kMtLower);
    mt[i] = mt[(i + kMtShift) % kMtWords] ^ (y >> 1) ^ ((y & 1) ? kMtMatrix : 0);
  }
  gMersenne.index = 0;
}

constexpr char kUpperHex[] = "0123456789ABCDEF";
constexpr char kLowerHex[] = "0123456789abcdef";

char RandomCharacter(int32_t mode, bool useMersenne) {
  auto rnd = [useMersenne](int32_t low, int32_t high) {
    return useMersenne ? MersenneRange(low, high) : LcgRange(low, high);
  };
  switch (mode) {
    case 0: {
      int32_t letter = rnd(65, 90);
      int32_t lowerCase = rnd(0, 1);
      return static_cast<char>(letter | (lowerCase * 32));
    }
    case 1: return static_cast<char>(rnd(97, 122));
    case 2: return static_cast<char>(rnd(65, 90));
    case 3: return static_cast<char>(rnd(48, 57));
    case 5: return static_cast<char>(rnd(0, 255));
    case 6: return kUpperHex[rnd(0, 15)];
    case 7: return static_cast<char>(rnd(48, 49));
    case 8: {
      int32_t top = rnd(48, 49);
      return static_cast<char>(rnd(48, top));
    }
    case 9: {
      int32_t bottom = rnd(48, 49);
      return static_cast<char>(rnd(49, bottom));
    }
    case 10: return kLowerHex[rnd(0, 15)];
    default: {
      // The letter-or-digit choice always comes from the LCG, whichever
      // generator draws the character itself.
      int32_t kind = LcgRange(0, 2);
      if (kind == 2) return static_cast<char>(rnd(48, 57));
      return static_cast<char>(rnd(65, 90) | (kind * 32));
    }
  }
}

ByteString RandomText(int32_t length, int16_t mode, bool useMersenne) {
  if (length < 1) return nullptr;
  auto *buffer = static_cast<char *>(std::calloc(static_cast<size_t>(length) + 1, 1));
  if (!buffer) return nullptr;
  if (mode < 0 || mode > 11) mode = 0;
  GenerateRandomText(buffer, length, mode, useMersenne);
  ByteString result = frame::NewBinaryString(buffer, static_cast<uint32_t>(length));
  std::free(buffer);
  return result;
}

}  // namespace

uint32_t &LcgState() { return tLcgState; }

void SeedLcg(uint32_t seed) { tLcgState = seed ? seed : platform::UtcMilliseconds(); }

void SeedMersenne(uint32_t seed) { InitMersenne(seed ? seed : platform::UtcMilliseconds()); }

uint32_t MersenneWord() {
  if (gMersenne.index == kMtUninitialised) InitMersenne(kMtDefaultSeed);
  if (gMersenne.index >= kMtWords) RegenerateMersenne();
  uint32_t y = gMersenne.words[gMersenne.index++];
  y ^= y >> 11;
  y ^= (y << 7) & 0x9D2C5680u;
  y ^= (y << 15) & 0xEFC60000u;
  y ^= y >> 18;
  return y;
}

int32_t LcgRange(int32_t low, int32_t high) {
  if (low == high) return low;
  if (low > high) std::swap(low, high);
  int32_t draw = LcgDraw();
  // The span wraps in 32 bits; only the full 2^32 range makes it 0, and then
  // the raw draw is the answer.
  auto span = static_cast<int32_t>(static_cast<uint32_t>(high) - static_cast<uint32_t>(low) + 1u);
  if (span == 0) return draw;
  return static_cast<int32_t>(static_cast<uint32_t>(draw % span) + static_cast<uint32_t>(low));
}

int32_t MersenneRange(int32_t low, int32_t high) {
  if (low == high) return low;
  if (low > high) std::swap(low, high);
  if (!gMersenne.seeded) SeedMersenne(0);
  uint32_t word = MersenneWord();
  uint32_t span = static_cast<uint32_t>(high) - static_cast<uint32_t>(low) + 1u;
  if (span == 0) return static_cast<int32_t>(word);
  return static_cast<int32_t>(word % span + static_cast<uint32_t>(low));
}

void GenerateRandomText(char *buffer, int32_t count, int32_t mode, bool useMersenne) {
  if (count < 1) {
    buffer[0] = '\0';
    return;
  }
  std::memset(buffer, 0, static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) buffer[i] = RandomCharacter(mode, useMersenne);
  buffer[count] = '\0';
}

}  // namespace codecs

QUENDLE_API void QCALL Randomise(int16_t seed) {
  codecs::SeedLcg(static_cast<uint32_t>(static_cast<int32_t>(seed)));
}

QUENDLE_API int32_t QCALL Random(int32_t low, int32_t high) { return codecs::LcgRange(low, high); }

QUENDLE_API ByteString QCALL RandomStr(int32_t length, int16_t mode) {
  if (length < 1) return nullptr;
  // Reseeding the other generator here is long-standing behaviour that hosts
  // may observe through MTRnd; the text itself comes from the LCG.
  codecs::SeedMersenne(0);
  return codecs::RandomText(length, mode, false);
}

QUENDLE_API void QCALL MTRandomise(uint32_t seed) { codecs::SeedMersenne(seed); }

QUENDLE_API int32_t QCALL MTRnd(int32_t low, int32_t high) { return codecs::MersenneRange(low, high); }

QUENDLE_API double QCALL MTRndDouble(double low, double high) {
  double unit = codecs::MersenneWord() * (1.0 / 4294967295.0);
  // A span of exactly -1 divides by zero and yields NaN, which is what the
  // host then sees.
  return low + std::fmod(unit, (high - low) + 1.0);
}

QUENDLE_API ByteString QCALL MTRandomStr(int32_t length, int16_t mode) {
  return codecs::RandomText(length, mode, true);
}
