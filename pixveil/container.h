// container.h -- the encrypted container shared with the Notewell editor: a
// two-colour bitmap whose pixel data is the Notewell header followed by the
// enciphered payload, stored as a .bmp file or inside an RTF document.
#ifndef PIXVEIL_CONTAINER_H
#define PIXVEIL_CONTAINER_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "quendle.h"

namespace pixveil {

// Header layout, offsets from the first byte of the bitmap's pixel data.
constexpr char kHeaderMarker[] = ".D9Yc3Batg19q";
constexpr size_t kMarkerLength = 13;
constexpr size_t kRecordedSizeOffset = 13;
constexpr size_t kVersionOffset = 17;
constexpr size_t kCompressionOffset = 18;
constexpr size_t kFormatOffset = 19;
constexpr size_t kNameLengthOffset = 20;
constexpr size_t kFillerOffset = 21;
constexpr size_t kNameOffset = 25;
constexpr size_t kFixedHeaderLength = 25;
constexpr size_t kMaxNameLength = 255;

constexpr uint8_t kHeaderVersion = 1;
constexpr uint8_t kCompressionNone = 0;
constexpr uint8_t kCompressionRle = 1;
constexpr uint8_t kFormatInSituRtf = 1;
constexpr uint8_t kFormatAttachment = 2;

// The tool's fixed key for the payload cipher's table.
constexpr char kTableKey[] = "580764105573";

// Files above this size get progress lines.
constexpr int32_t kLargeFileSize = 10485760;
// The bitmap's headers and palette in front of the pixel data.
constexpr size_t kBitmapDataOffset = 62;
// How much of a file is read to find and check the header.
constexpr size_t kProbeSize = 10240;

// Error codes, with the messages the driver prints for them.
enum ErrorCode : int {
  kOk = 0,
  kNothingDone = 1,
  kFileNotFound = 2,
  kOpenInputFailed = 3,
  kWriteFailed = 7,
  kOutOfMemory = 8,
  kUserCancelled = 10,
  kNotEncrypted = 11,
  kDecryptionFailure = 13,
  kHeaderFailed = 14,
  kBitmapFailed = 15,
  kWrongPassword = 16,
  kBadAttachmentName = 17,
  kNotCompressed = 18,
  kReadMismatch = 19,
  kDecompressionFailed = 20,
};

// Header cipher: one field enciphered (or deciphered) in place by itself.
bool HeaderCipher(char *field, int32_t length, const char *password);
// Payload cipher: the whole payload with the table key.
bool PayloadCipher(char *payload, int32_t length, const char *password, const char *tableKey);

// Position of the first header marker that starts within length bytes
// (positions 0 to length - 14), or -1.
long FindHeaderMarker(const char *data, size_t length);
// The recorded size field (4 bytes) deciphered and read little-endian; 0
// for an empty password.
int32_t DecipherRecordedSize(const char *field, const char *password);
// The stored name: deciphered, up to its first zero byte.
std::string DecipherName(const char *field, size_t length, const char *password);

// The header for a payload of n bytes: marker, recorded size (a placeholder
// until PatchRecordedSize), version, compression, format, name length,
// filler and enciphered name. Null for n < 1, an empty name or password.
ByteString BuildHeader(int32_t n, uint8_t version, uint8_t compression, uint8_t format,
                       int *nameLengthOut, const char *fileName, const char *password);
// Writes the enciphered image length into the header inside a finished image.
void PatchRecordedSize(char *image, int32_t imageLength, const char *password);

// Writes count bytes to path. Replacing goes through a temporary file in the
// same directory that is moved over the target once complete, so a failure
// never leaves a partial file or destroys the old one. 1 on success, else 0.
int WriteFileBytes(const char *path, const char *bytes, size_t count, bool replace);

// Makes an interrupt (Ctrl-C, termination) remove a half-written output.
void InstallInterruptCleanup();

// The decimal digits of n grouped by "," in threes.
std::string GroupDigits(long long n);

// The RTF wrapper. Null with an error code (one of the codes above) when
// the document cannot be built.
ByteString WriteRtfDocument(const char *image, int32_t imageLength, bool warningText, int *code);
// Finds the embedded bitmap in the first length bytes of an RTF text (or up
// to a zero byte): its offset and the \bin count. 1 when found, else 0.
int FindRtfPicture(const char *text, size_t length, long *offset, int32_t *count);

// The pipelines. confirm may be turned off by the overwrite question.
int EncryptFile(const char *inputPath, const char *fileName, const char *outputPath,
                const char *password, const char *tableKey, bool compress, bool bmpOutput,
                bool warningText, int32_t foreground, int32_t background, bool quiet, bool *confirm,
                uint32_t attributeA, uint32_t attributeB);
int DecryptFile(const char *inputPath, const char *outputDirectory, const char *password,
                const char *tableKey, bool *confirm, uint32_t attributeA, uint32_t attributeB,
                bool quiet);
int ShowFileInfo(const char *inputPath, const char *fileName, const char *password,
                 uint32_t attributeA, uint32_t attributeB);
// The header part of the report; data is the bitmap's first byte.
void ShowHeaderInfo(const char *data, long available, long long imageSize, const char *password,
                    uint32_t attributeA, uint32_t attributeB);

// The file's name without directory and last extension.
std::string BaseName(const std::string &path);

}  // namespace pixveil

#endif
