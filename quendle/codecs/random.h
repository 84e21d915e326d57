// random.h -- the library's two generators: the classic-runtime LCG (per
// thread, part of the stored cipher format) and MT19937 (process-wide).
#ifndef QUENDLE_CODECS_RANDOM_H
#define QUENDLE_CODECS_RANDOM_H

#include <cstdint>

namespace codecs {

constexpr uint32_t kLcgMultiplier = 214013;
constexpr uint32_t kLcgIncrement = 2531011;

// The calling thread's LCG state (1 before the thread seeds it).
uint32_t &LcgState();

// Seeds the LCG with s, or from the clock's milliseconds when s is 0.
void SeedLcg(uint32_t seed);

// One LCG step; the draw is bits 16..30 of the new state, 0..32767.
inline uint32_t LcgStep(uint32_t &state) {
  state = state * kLcgMultiplier + kLcgIncrement;
  return (state >> 16) & 0x7FFF;
}
inline int32_t LcgDraw() { return static_cast<int32_t>(LcgStep(LcgState())); }

// Any number of LCG steps is itself one affine step modulo 2^32:
// state after n steps = multiplier * state + increment. This lets a keystream
// be computed on several independent chains, or resumed far ahead.
struct LcgJump {
  uint32_t multiplier;
  uint32_t increment;
};
constexpr LcgJump LcgJumpAhead(uint32_t steps) {
  // Square-and-multiply over the affine maps; the LCG's period is 2^32, so a
  // 32-bit step count covers every distance.
  LcgJump result{1, 0};
  LcgJump power{kLcgMultiplier, kLcgIncrement};
  while (steps) {
    if (steps & 1) result = {result.multiplier * power.multiplier, result.increment * power.multiplier + power.increment};
    power = {power.multiplier * power.multiplier, power.increment * power.multiplier + power.increment};
    steps >>= 1;
  }
  return result;
}
inline uint32_t LcgAdvance(uint32_t state, LcgJump jump) { return state * jump.multiplier + jump.increment; }

// Seeds MT19937 with seed, or from the clock's milliseconds when it is 0.
void SeedMersenne(uint32_t seed);
// The next tempered MT19937 word (an unseeded generator starts from 5489).
uint32_t MersenneWord();

// Range draws with the exports' rules: equal bounds draw nothing, reversed
// bounds are exchanged.
int32_t LcgRange(int32_t low, int32_t high);
int32_t MersenneRange(int32_t low, int32_t high);

// Fills buffer[0..count) with random characters of the given mode and puts a
// zero byte after them (at buffer[0] when count < 1, so the buffer needs
// count + 1 bytes, at least 1). Modes: 0 mixed-case letters, 1 lower, 2 upper,
// 3 digits, 5 any byte, 6 upper hex, 7 binary digits, 8 mostly "0", 9 mostly
// "1", 10 lower hex, anything else letters and digits.
void GenerateRandomText(char *buffer, int32_t count, int32_t mode, bool useMersenne);

}  // namespace codecs

#endif
