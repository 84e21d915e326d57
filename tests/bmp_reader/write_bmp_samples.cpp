// Writes sample images with StringToBMP for read_bmp_samples.py, which opens
// them with a reader of its own. Data byte i of the n-byte sample is
// (i * 29 + n) mod 256; foreground 0x0000FF (red), background 0xFF0000 (blue).
#include <cstdio>
#include <string>
#include <vector>

#include "platform/automation.h"
#include "quendle.h"

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_bmp_samples DIRECTORY\n");
    return 2;
  }
  for (int n : {1, 5, 100, 128, 1000, 65536}) {
    std::vector<char> data(n);
    for (int i = 0; i < n; ++i) data[i] = static_cast<char>((i * 29 + n) & 255);
    ByteString image = nullptr;
    int32_t length = 0;
    if (StringToBMP(data.data(), n, &image, &length, 0x0000FF, 0xFF0000) != -1) {
      std::fprintf(stderr, "StringToBMP failed for %d bytes\n", n);
      return 1;
    }
    std::string path = std::string(argv[1]) + "/sample_" + std::to_string(n) + ".bmp";
    std::FILE *file = std::fopen(path.c_str(), "wb");
    bool written = file && std::fwrite(image, 1, length, file) == static_cast<size_t>(length);
    if (file) written = std::fclose(file) == 0 && written;
    platform::FreeString(image);
    if (!written) {
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
