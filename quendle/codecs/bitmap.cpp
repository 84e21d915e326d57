// bitmap.cpp -- byte strings as two-colour BMP images and back, and the
// header queries that go with them.
#include "codecs/bitmap.h"

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "codecs/little_endian.h"
#include "frame/bytestring.h"
#include "platform/automation.h"

namespace codecs {
namespace {

// Field offsets of the file and info headers.
constexpr uint32_t kType = 0;
constexpr uint32_t kFileSize = 2;
constexpr uint32_t kPixelOffset = 10;
constexpr uint32_t kInfoSize = 14;
constexpr uint32_t kWidth = 18;
constexpr uint32_t kHeight = 22;
constexpr uint32_t kPlanes = 26;
constexpr uint32_t kBitCount = 28;
constexpr uint32_t kImageSize = 34;
constexpr uint32_t kPalette = 54;

// The decoder wants at least one byte past the two headers; the information
// queries also accept an image without a palette.
constexpr uint32_t kLeastDataOffset = kBMPHeadersSize + 1;

// Palette entries are stored blue, green, red, 0 from a 0x00BBGGRR colour.
void WritePaletteEntry(char *at, int32_t colour) {
  auto c = static_cast<uint32_t>(colour);
  at[0] = static_cast<char>((c >> 16) & 255);
  at[1] = static_cast<char>((c >> 8) & 255);
  at[2] = static_cast<char>(c & 255);
  at[3] = 0;
}

// "BM" and a 40-byte info header, in at least `least` bytes, with the pixels
// no earlier than leastOffset.
bool HeadersPass(const char *image, uint32_t available, uint32_t least, uint32_t leastOffset) {
  if (!image || available < least) return false;
  if (image[kType] != 'B' || image[kType + 1] != 'M') return false;
  if (ReadLittleEndian32(image + kInfoSize) != kBMPInfoHeaderSize) return false;
  return ReadLittleEndian32(image + kPixelOffset) >= leastOffset;
}

// Frees the caller's old handle now, unless `keep` points into it; then it is
// handed back to be freed once the new result has been made from it.
ByteString ReleaseResult(ByteString *result, const char *keep) {
  ByteString old = *result;
  *result = nullptr;
  if (frame::PointsInto(keep, old)) return old;
  platform::FreeString(old);
  return nullptr;
}

}  // namespace

BMPGeometry BMPGeometryFor(uint32_t n) {
  uint64_t bits = uint64_t{8} * n;
  uint64_t width;
  if (bits >= 1024) {
    // The largest multiple of 32 whose square does not exceed the bit count;
    // the square root only gives a start and the search settles it exactly.
    auto w = static_cast<uint64_t>(std::floor(std::sqrt(static_cast<double>(bits)) / 32));
    while (w > 1 && 1024 * w * w > bits) --w;
    while (1024 * (w + 1) * (w + 1) <= bits) ++w;
    width = 32 * w;
  } else {
    width = (bits + 31) / 32;
  }
  uint64_t height = bits / width + 1;
  if (width < 32) {
    width = 32;
    height = (uint64_t{n} + 3) / 4;
    if (height < 1) height = 1;
  }
  BMPGeometry g;
  g.width = static_cast<uint32_t>(width);
  g.height = static_cast<uint32_t>(height);
  g.imageBytes = height * width / 8;
  g.fileBytes = g.imageBytes + kBMPPixelOffset;
  return g;
}

void BMPWrite(const char *data, uint32_t n, int32_t foreground, int32_t background, char *out) {
  BMPGeometry g = BMPGeometryFor(n);
  std::memset(out, 0, kBMPPixelOffset);
  out[kType] = 'B';
  out[kType + 1] = 'M';
  // bfSize has always held the data length plus the headers, not the padded
  // file size; readers of existing files expect it that way.
  WriteLittleEndian32(out + kFileSize, n + kBMPPixelOffset);
  WriteLittleEndian32(out + kPixelOffset, kBMPPixelOffset);
  WriteLittleEndian32(out + kInfoSize, kBMPInfoHeaderSize);
  WriteLittleEndian32(out + kWidth, g.width);
  WriteLittleEndian32(out + kHeight, g.height);
  WriteLittleEndian16(out + kPlanes, 1);
  WriteLittleEndian16(out + kBitCount, 1);
  WriteLittleEndian32(out + kImageSize, n);
  WritePaletteEntry(out + kPalette, background);
  WritePaletteEntry(out + kPalette + 4, foreground);
  std::memcpy(out + kBMPPixelOffset, data, n);
  std::memset(out + kBMPPixelOffset + n, 0, static_cast<size_t>(g.imageBytes - n));
}

bool BMPLocateData(const char *image, uint32_t available, uint32_t *offset, uint32_t *length) {
  if (!HeadersPass(image, available, kLeastDataOffset, kLeastDataOffset)) return false;
  if (ReadLittleEndian32(image + kWidth) == 0 || ReadLittleEndian32(image + kHeight) == 0) return false;
  auto recorded = static_cast<int32_t>(ReadLittleEndian32(image + kImageSize));
  if (recorded < 1) return false;
  uint32_t start = ReadLittleEndian32(image + kPixelOffset);
  if (uint64_t{start} + static_cast<uint32_t>(recorded) > available) return false;
  *offset = start;
  *length = static_cast<uint32_t>(recorded);
  return true;
}

int16_t BMPExtract(const char *image, uint32_t available, ByteString *result, int32_t *resultLength) {
  if (!image) return 0;
  ByteString old = result ? ReleaseResult(result, image) : nullptr;
  if (resultLength) *resultLength = 0;
  int16_t done = 0;
  uint32_t offset = 0;
  uint32_t length = 0;
  if (result && BMPLocateData(image, available, &offset, &length)) {
    ByteString data = frame::NewBinaryString(image + offset, length);
    if (data) {
      *result = data;
      if (resultLength) *resultLength = static_cast<int32_t>(length);
      done = -1;
    }
  }
  platform::FreeString(old);
  return done;
}

int32_t BMPRecordedSize(const char *image, uint32_t available) {
  if (!HeadersPass(image, available, kBMPHeadersSize, kLeastDataOffset)) return 0;
  return static_cast<int32_t>(ReadLittleEndian32(image + kImageSize));
}

}  // namespace codecs

QUENDLE_API int16_t QCALL StringToBMP(const char *data, int32_t length, ByteString *result,
                                      int32_t *resultLength, int32_t foreground, int32_t background) {
  if (resultLength) *resultLength = 0;
  ByteString old = result ? codecs::ReleaseResult(result, data) : nullptr;
  int16_t done = 0;
  if (result && data && length > 0) {
    auto n = static_cast<uint32_t>(length);
    codecs::BMPGeometry g = codecs::BMPGeometryFor(n);
    // Every positive length fits: the largest image is just over 2 GiB.
    ByteString image = frame::NewBinaryString(nullptr, static_cast<uint32_t>(g.fileBytes));
    if (image) {
      codecs::BMPWrite(data, n, foreground, background, image);
      *result = image;
      // Above 2 GiB the host reads the length as an unsigned 32-bit value.
      if (resultLength) *resultLength = static_cast<int32_t>(static_cast<uint32_t>(g.fileBytes));
      done = -1;
    }
  }
  platform::FreeString(old);
  return done;
}

QUENDLE_API int16_t QCALL BMPToString(const char *image, ByteString *result, int32_t *resultLength) {
  return codecs::BMPExtract(image, frame::ByteStringLength(image), result, resultLength);
}

QUENDLE_API int32_t QCALL BMPDataSize(const char *image) {
  return codecs::BMPRecordedSize(image, frame::ByteStringLength(image));
}

QUENDLE_API int16_t QCALL BMPInfo(const char *image, int32_t *width, int32_t *height, int32_t *dataSize,
                                  int32_t *bitCount) {
  for (int32_t *target : {width, height, dataSize, bitCount}) {
    if (target) *target = 0;
  }
  // Also accepts an image without a palette (pixels straight after the headers).
  if (!codecs::HeadersPass(image, frame::ByteStringLength(image), codecs::kBMPHeadersSize,
                           codecs::kBMPHeadersSize)) {
    return 0;
  }
  if (width) *width = static_cast<int32_t>(codecs::ReadLittleEndian32(image + codecs::kWidth));
  if (height) *height = static_cast<int32_t>(codecs::ReadLittleEndian32(image + codecs::kHeight));
  if (dataSize) *dataSize = static_cast<int32_t>(codecs::ReadLittleEndian32(image + codecs::kImageSize));
  if (bitCount) *bitCount = codecs::ReadLittleEndian16(image + codecs::kBitCount);
  return -1;
}

QUENDLE_API int16_t QCALL IsBMP(const char *image) { return BMPInfo(image, nullptr, nullptr, nullptr, nullptr); }
