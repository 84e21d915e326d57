// rle.h -- the library's run-length stream: "RZ" 1 0, a 32-bit little-endian
// count, then count encoded bytes. A byte equal to the one before it (the
// "previous" register starts at 0xFF) is the second byte of a pair and is
// followed by a count byte c meaning c more copies; after a count byte below
// 255 the next byte is taken as a plain literal.
//
// Everything here works on an explicit number of bytes that really exist, so
// a stream whose count field claims more than the buffer holds is refused
// instead of read past its end. The exports pass a ByteString's own length;
// the pixveil tool reaches the same code through those exports, so it must
// hand them genuine ByteStrings (a payload cut out of a larger buffer needs a
// ByteString of its own).
#ifndef QUENDLE_CODECS_RLE_H
#define QUENDLE_CODECS_RLE_H

#include <cstddef>
#include <cstdint>

#include "quendle.h"

namespace codecs {

constexpr uint32_t kRLEHeaderSize = 8;
constexpr unsigned char kRLEMagic[4] = {0x52, 0x5A, 0x01, 0x00};

// Encoded bytes (header not included) that RLEEncode writes for n input bytes.
uint64_t RLEEncodedLength(const unsigned char *data, size_t n);
// Writes exactly RLEEncodedLength(data, n) encoded bytes to out.
void RLEEncode(const unsigned char *data, size_t n, unsigned char *out);

// Bytes that decoding count encoded bytes gives. Only encoded[0..count) is read.
uint64_t RLEDecodedLength(const unsigned char *encoded, size_t count);
// Writes the expansion of encoded[0..count) to out, which must hold
// RLEDecodedLength(encoded, count) bytes; returns the number written.
size_t RLEDecode(const unsigned char *encoded, size_t count, unsigned char *out);

// The count field of a stream held in `available` bytes, as stored (it may be
// negative or zero); 0 when fewer than 8 bytes exist or the magic is wrong.
int32_t RLEStreamCount(const char *stream, uint32_t available);

// Encoded bytes of a usable stream: its count when it is at least 1 and all
// those bytes lie inside `available`; otherwise 0.
uint32_t RLEUsableCount(const char *stream, uint32_t available);

// What a well-formed stream in `available` bytes expands to, 1 to INT32_MAX;
// 0 for no stream, an empty one, one whose count runs past `available`, or an
// expansion too long for a ByteString length.
int32_t RLEExpandedLength(const char *stream, uint32_t available);

// RLEUncompress on a stream of `available` real bytes: -1 with the expansion
// in *result (the old handle freed) and its length in *resultLength; 0 with
// *result untouched on any failure. resultLength may be null.
int16_t RLEExpand(const char *stream, uint32_t available, ByteString *result, int32_t *resultLength);

}  // namespace codecs

#endif
