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

}  // namespace codecs

#endif
