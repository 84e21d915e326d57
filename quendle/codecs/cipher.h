// cipher.h -- the password stream cipher behind EncryptString. Its keystream
// (the LCG seeds and the order of draws) is part of the stored container
// format, so it must stay bit for bit as it is.
#ifndef QUENDLE_CODECS_CIPHER_H
#define QUENDLE_CODECS_CIPHER_H

#include <cstdint>

namespace codecs {

// Sum of the text's bytes as signed 8-bit values, in 32-bit two's complement.
int32_t PasswordChecksum(const char *text);

// Seed used instead of a computed seed of 0, which would otherwise mean "seed
// from the clock" and make the data impossible to decipher.
constexpr uint32_t kZeroSeedSubstitute = 1;

// The cipher's draws do not depend on the data, so they are computed ahead a
// block at a time on independent LCG chains (each chain jumps kDrawChains
// steps per draw), which removes the one-multiply-at-a-time latency from the
// byte loop. Each draw gets a slot of kDrawSlotBytes bytes; the byte the
// cipher uses, bits 16..23 of the state, sits at kDrawByteOffset in its slot
// (the vector filler stores whole 64-bit lanes, the portable one that byte).
constexpr int kDrawChains = 8;
// Small blocks keep the filling and the byte loop close enough together for
// the processor to overlap them (measured: 128 draws beat 256 and 512).
constexpr int kBlockDraws = 128;
constexpr int kDrawSlotBytes = 8;
constexpr int kDrawByteOffset = 2;
static_assert(kBlockDraws % kDrawChains == 0, "blocks hold whole rounds of the chains");

struct DrawChains {
  uint32_t state[kDrawChains];  // state[j]: the state of draw j of the next round
};
struct DrawBlock {
  alignas(16) uint8_t slots[kBlockDraws * kDrawSlotBytes];
};

// The chains for the draws that follow seeding the LCG with seed.
DrawChains StartDrawChains(uint32_t seed);
// Writes the next kBlockDraws draws into block and moves the chains past them.
// The last block of a run may hold draws the cipher does not use.
void FillDrawsPortable(DrawChains &chains, DrawBlock &block);
// The same with the widest arithmetic the target has; identical results.
void FillDraws(DrawChains &chains, DrawBlock &block);
inline uint8_t DrawByte(const DrawBlock &block, int n) {
  return block.slots[n * kDrawSlotBytes + kDrawByteOffset];
}

}  // namespace codecs

#endif
