// Fuzzes the bitmap reader with arbitrary images, and checks that any input
// stored with StringToBMP comes back exactly.
#include <cstddef>
#include <cstdint>

#include "codecs/bitmap.h"
#include "fuzz_check.h"

namespace {

int32_t ColourFrom(const uint8_t *data, size_t size, size_t at) {
  int32_t colour = 0;
  for (size_t k = 0; k < 3; ++k) colour = colour << 8 | (at + k < size ? data[at + k] : 0);
  return colour;
}

void RequireRoundTrip(const uint8_t *data, size_t size) {
  ByteString image = nullptr;
  int32_t imageLength = -1;
  auto n = static_cast<int32_t>(size);
  int16_t made = StringToBMP(reinterpret_cast<const char *>(data), n, &image, &imageLength,
                             ColourFrom(data, size, 0), ColourFrom(data, size, 3));
  if (size == 0) {
    FUZZ_REQUIRE(made == 0 && image == nullptr && imageLength == 0);
    return;
  }
  FUZZ_REQUIRE(made == -1);
  codecs::BMPGeometry g = codecs::BMPGeometryFor(static_cast<uint32_t>(size));
  FUZZ_REQUIRE(static_cast<uint64_t>(imageLength) == g.fileBytes);
  FUZZ_REQUIRE(g.imageBytes >= size && g.width % 32 == 0);
  int32_t width = 0, height = 0, recorded = 0, bits = 0;
  FUZZ_REQUIRE(BMPInfo(image, &width, &height, &recorded, &bits) == -1);
  FUZZ_REQUIRE(width == static_cast<int32_t>(g.width) && height == static_cast<int32_t>(g.height));
  FUZZ_REQUIRE(recorded == n && bits == 1);
  FUZZ_REQUIRE(BMPDataSize(image) == n);
  ByteString back = nullptr;
  int32_t backLength = -1;
  FUZZ_REQUIRE(BMPToString(image, &back, &backLength) == -1);
  FUZZ_REQUIRE(backLength == n);
  FUZZ_REQUIRE(fuzz::SameBytes(back, data, size));
  platform::FreeString(back);
  platform::FreeString(image);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > (1u << 20)) return 0;
  const char *raw = reinterpret_cast<const char *>(data);
  auto available = static_cast<uint32_t>(size);

  // The bounded readers on libFuzzer's exact-size buffer.
  uint32_t offset = 0, length = 0;
  bool located = codecs::BMPLocateData(raw, available, &offset, &length);
  if (located) FUZZ_REQUIRE(length >= 1 && uint64_t{offset} + length <= size);
  ByteString extracted = frame::NewBinaryString("old", 3);
  int32_t extractedLength = -1;
  int16_t done = codecs::BMPExtract(raw, available, &extracted, &extractedLength);
  FUZZ_REQUIRE((done == -1) == located);
  if (done) {
    FUZZ_REQUIRE(extractedLength == static_cast<int32_t>(length));
    FUZZ_REQUIRE(fuzz::SameBytes(extracted, raw + offset, length));
    FUZZ_REQUIRE(codecs::BMPRecordedSize(raw, available) == static_cast<int32_t>(length));
  } else {
    FUZZ_REQUIRE(extracted == nullptr && extractedLength == 0);
  }

  // The exports on the same bytes as a ByteString agree with them.
  ByteString copy = frame::NewBinaryString(data, available);
  ByteString viaExport = nullptr;
  FUZZ_REQUIRE(BMPToString(copy, &viaExport, nullptr) == done);
  FUZZ_REQUIRE(fuzz::SameBytes(viaExport, extracted, frame::ByteStringLength(extracted)));
  FUZZ_REQUIRE(BMPDataSize(copy) == codecs::BMPRecordedSize(raw, available));
  int32_t width = 0, height = 0, recorded = 0, bits = 0;
  int16_t info = BMPInfo(copy, &width, &height, &recorded, &bits);
  FUZZ_REQUIRE(IsBMP(copy) == info);
  if (!info) FUZZ_REQUIRE((width | height | recorded | bits) == 0);

  RequireRoundTrip(data, size);

  platform::FreeString(viaExport);
  platform::FreeString(extracted);
  platform::FreeString(copy);
  return 0;
}
