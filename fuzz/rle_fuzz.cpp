// Fuzzes the run-length reader with arbitrary streams and checks that what
// it expands, and the input itself, survive a round trip through the codec.
#include <cstddef>
#include <cstdint>

#include "codecs/rle.h"
#include "fuzz_check.h"

namespace {

// Compresses `source` (a ByteString) and expands the stream again.
void RequireRoundTrip(const char *source) {
  uint32_t n = frame::ByteStringLength(source);
  ByteString stream = nullptr;
  int32_t streamLength = -1;
  FUZZ_REQUIRE(RLECompress(source, &stream, &streamLength) == -1);
  FUZZ_REQUIRE(static_cast<uint32_t>(streamLength) == frame::ByteStringLength(stream));
  FUZZ_REQUIRE(RLECompressedByteCount(source, static_cast<int32_t>(n)) == streamLength);
  FUZZ_REQUIRE(RLEByteCount(stream) == streamLength - 8);
  ByteString back = nullptr;
  int32_t backLength = -1;
  int16_t expanded = RLEUncompress(stream, &back, &backLength);
  if (n == 0) {
    FUZZ_REQUIRE(expanded == 0 && back == nullptr);
  } else {
    FUZZ_REQUIRE(expanded == -1);
    FUZZ_REQUIRE(backLength == static_cast<int32_t>(n));
    FUZZ_REQUIRE(fuzz::SameBytes(back, source, n));
  }
  platform::FreeString(back);
  platform::FreeString(stream);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > (1u << 20)) return 0;
  const char *raw = reinterpret_cast<const char *>(data);
  auto available = static_cast<uint32_t>(size);

  // The bounded readers run on libFuzzer's own buffer, which ends exactly at
  // `size`: any read past it is an AddressSanitizer report.
  int32_t expandedLength = codecs::RLEExpandedLength(raw, available);
  FUZZ_REQUIRE(expandedLength >= 0);
  ByteString expansion = nullptr;
  int32_t length = -1;
  int16_t done = codecs::RLEExpand(raw, available, &expansion, &length);
  FUZZ_REQUIRE((done == -1) == (expandedLength > 0));
  FUZZ_REQUIRE(length == (done ? expandedLength : 0));
  FUZZ_REQUIRE(frame::ByteStringLength(expansion) == static_cast<uint32_t>(length));

  // The exports, given the same bytes as a ByteString, agree with them.
  ByteString copy = frame::NewBinaryString(data, available);
  FUZZ_REQUIRE(RLEByteCount(copy) == codecs::RLEStreamCount(raw, available));
  FUZZ_REQUIRE(RLECompressed(copy) == (RLEByteCount(copy) >= 1 ? -1 : 0));
  FUZZ_REQUIRE(RLEUncompressedByteCount(copy) == expandedLength);
  ByteString viaExport = nullptr;
  FUZZ_REQUIRE(RLEUncompress(copy, &viaExport, nullptr) == done);
  FUZZ_REQUIRE(fuzz::SameBytes(viaExport, expansion, static_cast<size_t>(length)));
  int16_t compressible = RLECompressible(copy);
  FUZZ_REQUIRE(compressible == 0 || compressible == 1);

  if (done) RequireRoundTrip(expansion);
  RequireRoundTrip(copy);

  platform::FreeString(viaExport);
  platform::FreeString(expansion);
  platform::FreeString(copy);
  return 0;
}
