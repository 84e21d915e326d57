// Throughput of the run-length codec and the bitmap codec on 256 MiB of
// text-like data and 256 MiB of random data. Figures are MB/s (10^6 bytes per
// second) of uncompressed / payload bytes, the best of several runs.
//
// usage: bench_rle_bmp_bench [MiB]   (default 256)
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "frame/bytestring.h"
#include "platform/automation.h"
#include "quendle.h"

namespace {

constexpr int kRuns = 3;

struct XorShift {
  uint64_t state;
  uint64_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
};

// Prose lines from a small vocabulary (short runs: "ll", "ee", two spaces
// after a full stop), indented lines, ruler lines, and blocks of report rows
// whose columns are padded with spaces, where the long runs are.
void FillTextLike(char *out, size_t n) {
  static const char *const kWords[] = {
      "the",     "of",      "and",      "to",     "in",     "that",   "is",       "was",     "for",
      "will",    "all",     "letter",   "access", "offer",  "needed", "success",  "address", "committee",
      "between", "through", "following", "process", "carry", "balloon", "bookkeeper", "coffee", "street",
      "small",   "programme", "assessment", "setting", "apple", "summer", "really", "good", "free"};
  constexpr size_t kWordCount = sizeof kWords / sizeof kWords[0];
  XorShift rng{0x9E3779B97F4A7C15ull};
  size_t at = 0;
  size_t column = 0;
  auto put = [&](char c) {
    if (at < n) out[at++] = c;
  };
  while (at < n) {
    uint64_t r = rng.Next();
    if (column == 0 && r % 5 == 0) {
      // A report row: four fields padded to 16 columns each.
      for (int field = 0; field < 4; ++field) {
        const char *word = kWords[(r >> (8 * field + 8)) % kWordCount];
        size_t length = std::strlen(word);
        for (const char *c = word; *c; ++c) put(*c);
        for (size_t k = length; k < 16; ++k) put(' ');
      }
      put('\r');
      put('\n');
      continue;
    }
    if (column == 0 && r % 23 == 0) {
      for (int k = 0; k < 40; ++k) put('-');
      put('\r');
      put('\n');
      continue;
    }
    if (column == 0 && r % 7 == 0) {
      for (int k = 0; k < 8; ++k) put(' ');
      column = 8;
    }
    const char *word = kWords[(r >> 8) % kWordCount];
    for (const char *c = word; *c; ++c) put(*c);
    column += std::strlen(word);
    switch ((r >> 20) % 16) {
      case 0:
        put(',');
        break;
      case 1:
        put('.');
        put(' ');  // two spaces after a full stop
        break;
      default:
        break;
    }
    if (column > 70) {
      put('\r');
      put('\n');
      column = 0;
    } else {
      put(' ');
      ++column;
    }
  }
}

void FillRandom(char *out, size_t n) {
  XorShift rng{0x2545F4914F6CDD1Dull};
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t r = rng.Next();
    std::memcpy(out + i, &r, 8);
  }
  for (; i < n; ++i) out[i] = static_cast<char>(rng.Next());
}

double BestSeconds(const std::function<void()> &work) {
  double best = 1e30;
  for (int run = 0; run < kRuns; ++run) {
    auto start = std::chrono::steady_clock::now();
    work();
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (took.count() < best) best = took.count();
  }
  return best;
}

double MBPerSecond(size_t bytes, double seconds) { return bytes / 1e6 / seconds; }

bool SameBytes(const char *a, const char *b, size_t n) {
  return frame::ByteStringLength(a) == n && std::memcmp(a, b, n) == 0;
}

bool BenchRLE(const char *label, const char *data, size_t n) {
  ByteString stream = nullptr;
  int32_t streamLength = 0;
  double compress = BestSeconds([&] {
    if (RLECompress(data, &stream, &streamLength) != -1) std::abort();
  });
  double judge = BestSeconds([&] { (void)RLECompressible(data); });
  ByteString back = nullptr;
  double expand = BestSeconds([&] {
    if (RLEUncompress(stream, &back, nullptr) != -1) std::abort();
  });
  bool exact = SameBytes(back, data, n);
  std::printf("%-10s RLE  stream %6.2f%% of input  compress %8.1f MB/s  expand %8.1f MB/s  "
              "RLECompressible %8.1f MB/s  %s\n",
              label, 100.0 * static_cast<uint32_t>(streamLength) / n, MBPerSecond(n, compress),
              MBPerSecond(n, expand), MBPerSecond(n, judge), exact ? "round trip ok" : "ROUND TRIP FAILED");
  platform::FreeString(back);
  platform::FreeString(stream);
  return exact;
}

bool BenchBMP(const char *label, const char *data, size_t n) {
  ByteString image = nullptr;
  int32_t imageLength = 0;
  double toImage = BestSeconds([&] {
    if (StringToBMP(data, static_cast<int32_t>(n), &image, &imageLength, 0, 0xFFFFFF) != -1) std::abort();
  });
  ByteString back = nullptr;
  double fromImage = BestSeconds([&] {
    if (BMPToString(image, &back, nullptr) != -1) std::abort();
  });
  bool exact = SameBytes(back, data, n);
  int32_t width = 0, height = 0;
  BMPInfo(image, &width, &height, nullptr, nullptr);
  std::printf("%-10s BMP  %d x %d  StringToBMP %8.1f MB/s  BMPToString %8.1f MB/s  %s\n", label, width, height,
              MBPerSecond(n, toImage), MBPerSecond(n, fromImage), exact ? "round trip ok" : "ROUND TRIP FAILED");
  platform::FreeString(back);
  platform::FreeString(image);
  return exact;
}

}  // namespace

int main(int argc, char **argv) {
  size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  if (mib == 0 || mib > 2047) {
    std::fprintf(stderr, "usage: %s [MiB, 1..2047]\n", argv[0]);
    return 2;
  }
  size_t n = mib << 20;
  std::printf("%zu MiB per data set, best of %d runs\n", mib, kRuns);
  bool ok = true;
  ByteString data = frame::NewBinaryString(nullptr, static_cast<uint32_t>(n));
  if (!data) return 1;
  FillTextLike(data, n);
  ok = BenchRLE("text-like", data, n) && ok;
  ok = BenchBMP("text-like", data, n) && ok;
  FillRandom(data, n);
  ok = BenchRLE("random", data, n) && ok;
  ok = BenchBMP("random", data, n) && ok;
  platform::FreeString(data);
  return ok ? 0 : 1;
}
