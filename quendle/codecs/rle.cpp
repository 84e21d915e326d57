// rle.cpp -- the run-length stream and its seven exports. Encoding and
// decoding each run the same loop twice, once to count and once to write, so
// a result is allocated once at its exact size and the two can never disagree.
#include "codecs/rle.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "codecs/little_endian.h"
#include "frame/bytestring.h"
#include "platform/automation.h"

namespace codecs {
namespace {

constexpr unsigned kRegisterStart = 0xFF;
constexpr unsigned kLongestCount = 255;
// A pair whose count byte is 255 covers its second byte and 255 copies.
constexpr size_t kLongestToken = kLongestCount + 1;

struct CountingSink {
  uint64_t total = 0;
  void Put(unsigned char) { ++total; }
  void PutMany(const unsigned char *, size_t n) { total += n; }
  void Fill(unsigned char, size_t n) { total += n; }
};

struct WritingSink {
  unsigned char *at;
  void Put(unsigned char byte) { *at++ = byte; }
  void PutMany(const unsigned char *bytes, size_t n) {
    // Stretches in text are short; a library call would cost more than them.
    if (n > 16) {
      std::memcpy(at, bytes, n);
      at += n;
      return;
    }
    while (n--) *at++ = *bytes++;
  }
  void Fill(unsigned char byte, size_t n) {
    std::memset(at, byte, n);
    at += n;
  }
};

// Index of the first j in [from, n) with d[j] == d[j - 1], or n. Every byte
// before it differs from its predecessor, so none of them can be the second
// byte of a pair: the encoder copies them as literals.
size_t EndOfLiterals(const unsigned char *d, size_t from, size_t n) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHighs = 0x8080808080808080ull;
  size_t j = from;
  // Eight positions at a time: a zero byte in (d[j..j+8) xor d[j-1..j+7))
  // marks a repeat somewhere in the word; the byte loop below finds it.
  while (j + 8 <= n) {
    uint64_t here, before;
    std::memcpy(&here, d + j, 8);
    std::memcpy(&before, d + j - 1, 8);
    uint64_t diff = here ^ before;
    if ((diff - kOnes) & ~diff & kHighs) break;
    j += 8;
  }
  while (j < n && d[j] != d[j - 1]) ++j;
  return j;
}

template <typename Sink>
void EncodeRuns(const unsigned char *d, size_t n, Sink &out) {
  unsigned prev = kRegisterStart;
  size_t i = 0;
  while (i < n) {
    unsigned char byte = d[i];
    if (byte != prev) {
      // A literal: it and every following byte that differs from the one
      // before it go out unchanged, each becoming the register in turn.
      size_t end = EndOfLiterals(d, i + 1, n);
      out.PutMany(d + i, end - i);
      prev = d[end - 1];
      i = end;
      continue;
    }
    // byte repeats the register: it is the second byte of a pair.
    out.Put(byte);
    size_t limit = std::min(n - i, kLongestToken);
    size_t m = 1;
    while (m < limit && d[i + m] == byte) ++m;
    if (m == kLongestToken) {
      out.Put(static_cast<unsigned char>(kLongestCount));
      prev = kRegisterStart;
      i += kLongestToken;
    } else if (i + m == n) {
      // A pair at the very end may leave out a zero count.
      if (m >= 2) out.Put(static_cast<unsigned char>(m - 1));
      i = n;
    } else {
      // After a count below 255 the reader takes the next byte as a literal
      // without comparing it, so the byte that ended the run follows at once.
      unsigned char ender = d[i + m];
      out.Put(static_cast<unsigned char>(m - 1));
      out.Put(ender);
      prev = ender;
      i += m + 1;
    }
  }
}

template <typename Sink>
void DecodeRuns(const unsigned char *s, size_t count, Sink &out) {
  unsigned prev = kRegisterStart;
  bool literalOnly = false;
  size_t p = 0;
  while (p < count) {
    unsigned char byte = s[p];
    if (!literalOnly && byte == prev) {
      out.Put(byte);
      unsigned copies = p + 1 < count ? s[p + 1] : 0;
      out.Fill(byte, copies);
      literalOnly = copies < kLongestCount;
      prev = kRegisterStart;
      p += 2;
    } else {
      // Byte by byte: the streams this reads are mostly text with short
      // stretches of literals, where looking ahead costs more than it saves.
      out.Put(byte);
      prev = byte;
      literalOnly = false;
      ++p;
    }
  }
}

const unsigned char *Bytes(const char *p) { return reinterpret_cast<const unsigned char *>(p); }

}  // namespace

uint64_t RLEEncodedLength(const unsigned char *data, size_t n) {
  CountingSink counter;
  EncodeRuns(data, n, counter);
  return counter.total;
}

void RLEEncode(const unsigned char *data, size_t n, unsigned char *out) {
  WritingSink writer{out};
  EncodeRuns(data, n, writer);
}

uint64_t RLEDecodedLength(const unsigned char *encoded, size_t count) {
  CountingSink counter;
  DecodeRuns(encoded, count, counter);
  return counter.total;
}

size_t RLEDecode(const unsigned char *encoded, size_t count, unsigned char *out) {
  WritingSink writer{out};
  DecodeRuns(encoded, count, writer);
  return static_cast<size_t>(writer.at - out);
}

int32_t RLEStreamCount(const char *stream, uint32_t available) {
  if (!stream || available < kRLEHeaderSize) return 0;
  if (std::memcmp(stream, kRLEMagic, sizeof kRLEMagic) != 0) return 0;
  return static_cast<int32_t>(ReadLittleEndian32(stream + 4));
}

uint32_t RLEUsableCount(const char *stream, uint32_t available) {
  int32_t count = RLEStreamCount(stream, available);
  if (count < 1) return 0;
  // A count reaching past the real end means a cut or forged stream; decoding
  // what is there would hand back damaged data as if it were whole.
  if (static_cast<uint32_t>(count) > available - kRLEHeaderSize) return 0;
  return static_cast<uint32_t>(count);
}

int32_t RLEExpandedLength(const char *stream, uint32_t available) {
  uint32_t count = RLEUsableCount(stream, available);
  if (count == 0) return 0;
  uint64_t length = RLEDecodedLength(Bytes(stream) + kRLEHeaderSize, count);
  if (length > static_cast<uint64_t>(INT32_MAX)) return 0;
  return static_cast<int32_t>(length);
}

int16_t RLEExpand(const char *stream, uint32_t available, ByteString *result, int32_t *resultLength) {
  if (!result) return 0;
  if (resultLength) *resultLength = 0;
  int32_t length = RLEExpandedLength(stream, available);
  if (length < 1) return 0;
  ByteString expanded = frame::NewBinaryString(nullptr, static_cast<uint32_t>(length));
  if (!expanded) return 0;
  size_t written = RLEDecode(Bytes(stream) + kRLEHeaderSize, RLEUsableCount(stream, available),
                             reinterpret_cast<unsigned char *>(expanded));
  if (resultLength) *resultLength = static_cast<int32_t>(written);
  // Freed only now: the caller may have passed the stream's own variable.
  platform::FreeString(*result);
  *result = expanded;
  return -1;
}

}  // namespace codecs

using codecs::kRLEHeaderSize;

QUENDLE_API int16_t QCALL RLECompress(const char *source, ByteString *result, int32_t *resultLength) {
  // The caller's old result goes first, unless it is the very string being
  // compressed (or holds it).
  if (result && *result && !frame::PointsInto(source, *result)) {
    platform::FreeString(*result);
    *result = nullptr;
  }
  if (resultLength) *resultLength = 0;
  if (!source || !result) return 0;
  uint32_t n = frame::ByteStringLength(source);
  const auto *data = reinterpret_cast<const unsigned char *>(source);
  uint64_t total = kRLEHeaderSize + codecs::RLEEncodedLength(data, n);
  // The count field is read back as a signed 32-bit value; a longer stream
  // could never be expanded again.
  if (total > static_cast<uint64_t>(INT32_MAX)) return 0;
  ByteString stream = frame::NewBinaryString(nullptr, static_cast<uint32_t>(total));
  if (!stream) return 0;
  std::memcpy(stream, codecs::kRLEMagic, sizeof codecs::kRLEMagic);
  codecs::WriteLittleEndian32(stream + 4, static_cast<uint32_t>(total - kRLEHeaderSize));
  codecs::RLEEncode(data, n, reinterpret_cast<unsigned char *>(stream) + kRLEHeaderSize);
  if (resultLength) *resultLength = static_cast<int32_t>(total);
  *result = stream;
  return -1;
}

QUENDLE_API int16_t QCALL RLEUncompress(const char *source, ByteString *result, int32_t *resultLength) {
  return codecs::RLEExpand(source, frame::ByteStringLength(source), result, resultLength);
}

QUENDLE_API int16_t QCALL RLECompressible(const char *source) {
  uint32_t n = frame::ByteStringLength(source);
  if (!source || n == 0 || source[0] == 0) return 0;
  // Judged against the text length: data with an early zero byte is compared
  // with its short text and so is almost never found worth compressing.
  const void *firstZero = std::memchr(source, 0, n);
  uint64_t textLength = firstZero ? static_cast<uint64_t>(static_cast<const char *>(firstZero) - source) : n;
  uint64_t streamLength = kRLEHeaderSize + codecs::RLEEncodedLength(codecs::Bytes(source), n);
  return streamLength < textLength ? 1 : 0;
}

QUENDLE_API int16_t QCALL RLECompressed(const char *source) { return RLEByteCount(source) >= 1 ? -1 : 0; }

QUENDLE_API int32_t QCALL RLEByteCount(const char *source) {
  return codecs::RLEStreamCount(source, frame::ByteStringLength(source));
}

QUENDLE_API int32_t QCALL RLEUncompressedByteCount(const char *source) {
  return codecs::RLEExpandedLength(source, frame::ByteStringLength(source));
}

QUENDLE_API int32_t QCALL RLECompressedByteCount(const char *source, int32_t length) {
  if (!source) return 0;
  if (length < 1) return static_cast<int32_t>(kRLEHeaderSize);
  uint64_t total = kRLEHeaderSize + codecs::RLEEncodedLength(codecs::Bytes(source), static_cast<size_t>(length));
  // At most 1.5 bytes per input byte, so this stays below 2^32; hosts read it
  // as an unsigned size.
  return static_cast<int32_t>(static_cast<uint32_t>(total));
}
