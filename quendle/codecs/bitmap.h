// bitmap.h -- byte strings stored as the pixels of a two-colour (1 bit per
// pixel) bottom-up BMP: a 14-byte file header, a 40-byte info header, two
// palette entries, then the data bytes running through the rows in order and
// zero bytes to the end of the last row. biSizeImage records the data length
// itself, so padding never comes back out.
//
// The readers take the number of bytes that really exist and check every
// offset and length against it in 64-bit arithmetic.
#ifndef QUENDLE_CODECS_BITMAP_H
#define QUENDLE_CODECS_BITMAP_H

#include <cstdint>

#include "quendle.h"

namespace codecs {

constexpr uint32_t kBMPFileHeaderSize = 14;
constexpr uint32_t kBMPInfoHeaderSize = 40;
constexpr uint32_t kBMPHeadersSize = kBMPFileHeaderSize + kBMPInfoHeaderSize;  // 54
constexpr uint32_t kBMPPixelOffset = kBMPHeadersSize + 2 * 4;                  // 62

struct BMPGeometry {
  uint32_t width;       // pixels, a multiple of 32
  uint32_t height;      // rows
  uint64_t imageBytes;  // height * width / 8
  uint64_t fileBytes;   // imageBytes + 62
};

// The image StringToBMP makes for n data bytes (n >= 1). Rows are 32 pixels
// wide up to 127 bytes; from 128 bytes on the width is the largest multiple of
// 32 not above the square root of the bit count, and the rows are the bit
// count divided by the width, plus one.
BMPGeometry BMPGeometryFor(uint32_t n);

// Writes the whole image for data[0..n) into out, which holds
// BMPGeometryFor(n).fileBytes bytes. Colours are 0x00BBGGRR values.
void BMPWrite(const char *data, uint32_t n, int32_t foreground, int32_t background, char *out);

// Finds the data of an image held in `available` bytes: true with its offset
// and length when the headers pass BMPToString's checks and the recorded data
// lies wholly inside the buffer.
bool BMPLocateData(const char *image, uint32_t available, uint32_t *offset, uint32_t *length);

// BMPToString on an image of `available` real bytes. Frees *result first
// (after the copy when *result is the image itself); -1 with the data in
// *result and its length in *resultLength, else 0 with *result null and
// *resultLength 0. resultLength may be null.
int16_t BMPExtract(const char *image, uint32_t available, ByteString *result, int32_t *resultLength);

// BMPDataSize on `available` bytes: biSizeImage, or 0 when the headers fail
// its checks.
int32_t BMPRecordedSize(const char *image, uint32_t available);

}  // namespace codecs

#endif
