// cipher_bench -- EncryptString against the straightforward byte-at-a-time
// cipher loop, in the same run, over one large buffer (256 MiB unless a size
// in MiB is given). Each round times the baseline and the library back to
// back on fresh copies of the same data; the best round of each is reported,
// and the two outputs must be identical byte for byte.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codecs/cipher.h"
#include "quendle.h"

namespace {

constexpr int kRounds = 5;
constexpr const char *kPassword = "bench password";
constexpr const char *kSecondKey = "bench table key";

// ---- Baseline: the cipher written the straightforward way, one LCG draw at
// a time, so each byte waits for the previous multiply.
struct BaselineLcg {
  uint32_t state;
  uint32_t Draw() {
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFF;
  }
};

uint32_t BaselineSeed(uint32_t seed) { return seed ? seed : codecs::kZeroSeedSubstitute; }

uint32_t BaselineChecksum(const char *password) {
  uint32_t sum = 0;
  for (; *password; ++password) sum += static_cast<uint32_t>(static_cast<int8_t>(*password));
  return sum;
}

void BaselineSimpleCipher(uint8_t *data, uint32_t length, const char *password) {
  const uint32_t p = static_cast<uint32_t>(std::strlen(password));
  BaselineLcg lcg{BaselineSeed(BaselineChecksum(password))};
  for (uint32_t i = 0; i < length; ++i) data[i] ^= static_cast<uint8_t>(lcg.Draw() & 0xFF) ^ password[i % p];
}

void BaselineTableCipher(uint8_t *data, uint32_t length, const char *password, const char *secondKey) {
  const uint32_t p = static_cast<uint32_t>(std::strlen(password));
  const uint32_t k = static_cast<uint32_t>(std::strlen(secondKey));
  uint8_t table[256];
  for (uint32_t i = 0; i < 256; ++i) table[i] = k ? static_cast<uint8_t>(secondKey[i % k]) : static_cast<uint8_t>(i);
  BaselineLcg lcg{BaselineSeed(2654435769u / length)};
  for (uint32_t i = 0; i < 256; ++i) table[i] ^= static_cast<uint8_t>(password[i % p]);
  for (int i = 0; i < 256; ++i) {
    uint32_t a = lcg.Draw(), b = lcg.Draw();
    std::swap(table[a & 0xFF], table[b & 0xFF]);
  }
  lcg.state = BaselineSeed(BaselineChecksum(password) | (length & 0xFFFF));
  for (uint32_t i = 0; i < length; ++i) {
    uint32_t r = lcg.Draw();
    data[i] ^= table[i & 0xFF] ^ static_cast<uint8_t>(r & 0xFF);
    uint32_t r2 = lcg.Draw();
    std::swap(table[r & 0xFF], table[r2 & 0xFF]);
  }
}

// ---- Harness

template <class Run>
double TimeSeconds(Run run) {
  auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double MegabytesPerSecond(size_t bytes, double seconds) { return seconds > 0 ? bytes / seconds / 1e6 : 0.0; }

// Returns false when the library's output differs from the baseline's or
// does not decipher back to the input.
bool Compare(const char *name, int16_t mode, const std::vector<uint8_t> &input) {
  const uint32_t length = static_cast<uint32_t>(input.size());
  std::vector<uint8_t> baseline(input.size()), library(input.size());
  double bestBaseline = 1e30, bestLibrary = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    std::memcpy(baseline.data(), input.data(), length);
    std::memcpy(library.data(), input.data(), length);
    bestBaseline = std::min(bestBaseline, TimeSeconds([&] {
      if (mode == 0) {
        BaselineSimpleCipher(baseline.data(), length, kPassword);
      } else {
        BaselineTableCipher(baseline.data(), length, kPassword, kSecondKey);
      }
    }));
    bestLibrary = std::min(bestLibrary, TimeSeconds([&] {
      EncryptString(reinterpret_cast<char *>(library.data()), static_cast<int32_t>(length), kPassword, kSecondKey,
                    mode);
    }));
    if (library != baseline) {
      std::printf("%s: MISMATCH between EncryptString and the baseline in round %d\n", name, round + 1);
      return false;
    }
  }
  EncryptString(reinterpret_cast<char *>(library.data()), static_cast<int32_t>(length), kPassword, kSecondKey, mode);
  if (library != input) {
    std::printf("%s: enciphering twice did not restore the input\n", name);
    return false;
  }
  const double baselineRate = MegabytesPerSecond(length, bestBaseline);
  const double libraryRate = MegabytesPerSecond(length, bestLibrary);
  std::printf("%-11s baseline loop %8.1f MB/s   EncryptString %8.1f MB/s   ratio %.2fx   outputs identical\n", name,
              baselineRate, libraryRate, libraryRate / baselineRate);
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  long mib = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 256;
  if (mib < 1 || mib > 2047) {
    std::fprintf(stderr, "usage: %s [size in MiB, 1..2047]\n", argv[0]);
    return 2;
  }
  std::vector<uint8_t> input(static_cast<size_t>(mib) << 20);
  uint32_t x = 0x12345678u;  // xorshift32: any data will do, but not all zeros
  for (auto &byte : input) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    byte = static_cast<uint8_t>(x);
  }
  std::printf("EncryptString over %ld MiB, best of %d rounds each (MB = 10^6 bytes)\n", mib, kRounds);
  bool ok = Compare("table mode", 1, input);
  ok = Compare("simple mode", 0, input) && ok;
  return ok ? 0 : 1;
}
