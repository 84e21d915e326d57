// decrypt.cpp -- a container (bare bitmap or RTF document, ours or the
// editor's) back into the file it holds. Every size the file states is held
// against what the file really holds before anything is allocated or read.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "container.h"
#include "dialogue.h"
#include "output.h"
#include "owned_string.h"
#include "platform/files.h"

namespace pixveil {
namespace {

struct FileCloser {
  void operator()(FILE *file) const { std::fclose(file); }
};
using InputFile = std::unique_ptr<FILE, FileCloser>;

uint32_t ReadLittleEndian32(const unsigned char *p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Bytes [offset, offset + count) of the file: from the probe buffer when it
// holds them, else read from the file. False when the file is shorter.
bool BytesAt(FILE *file, const char *probe, size_t got, size_t offset, size_t count, std::string *out) {
  if (offset + count <= got) {
    out->assign(probe + offset, count);
    return true;
  }
  out->assign(count, '\0');
  if (count == 0) return true;
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(&(*out)[0], 1, count, file) == count;
}

// The bitmap headers as the codec will read them: the recorded data must lie
// inside the image, so a lying size field is refused before it is used.
bool ImageHoldsItsData(const unsigned char *image, int32_t length) {
  if (length < 55 || image[0] != 'B' || image[1] != 'M') return false;
  const uint32_t offBits = ReadLittleEndian32(image + 10);
  const uint32_t headerSize = ReadLittleEndian32(image + 14);
  const int32_t width = static_cast<int32_t>(ReadLittleEndian32(image + 18));
  const int32_t height = static_cast<int32_t>(ReadLittleEndian32(image + 22));
  const int32_t dataSize = static_cast<int32_t>(ReadLittleEndian32(image + 34));
  if (headerSize != 40 || offBits < 55 || width == 0 || height == 0 || dataSize <= 0) return false;
  return static_cast<uint64_t>(offBits) + static_cast<uint64_t>(dataSize) <= static_cast<uint64_t>(length);
}

bool EndsInSeparator(const std::string &path) {
  if (path.empty()) return true;
  char last = path.back();
  if (last == '\\' || last == '/') return true;
  return path.size() == 2 && path[1] == ':';
}

}  // namespace

int DecryptFile(const char *inputPath, const char *outputDirectory, const char *password,
                const char *tableKey, bool *confirm, uint32_t attributeA, uint32_t attributeB,
                bool quiet) {
  if (!os::PathExists(inputPath)) return kFileNotFound;
  const int32_t size = FileLength(inputPath);
  if (size <= 0) return kNothingDone;
  const bool progress = size > kLargeFileSize && !quiet;

  InputFile file(std::fopen(inputPath, "rb"));
  if (!file) return kOpenInputFailed;

  std::unique_ptr<char[]> probe(new (std::nothrow) char[kProbeSize + 1]);
  if (!probe) return kOutOfMemory;
  if (progress) Print("\xFE Analysing file ...\n");
  const size_t got = std::fread(probe.get(), 1, kProbeSize, file.get());
  if (got == 0) return kNothingDone;
  probe[got] = '\0';

  long pictureOffset = 0;
  int32_t pictureCount = 0;
  const bool rtf = FindRtfPicture(probe.get(), got, &pictureOffset, &pictureCount) != 0;
  if (!rtf && !(got >= 2 && (probe[0] == 'B' || probe[0] == 'b') && (probe[1] == 'M' || probe[1] == 'm')))
    return kNotEncrypted;

  const long marker = FindHeaderMarker(probe.get(), got);
  if (marker < 0) return kNothingDone;
  const size_t h = static_cast<size_t>(marker);
  std::string header;
  if (!BytesAt(file.get(), probe.get(), got, h, kFixedHeaderLength, &header)) return kNothingDone;

  const int32_t recorded = DecipherRecordedSize(&header[kRecordedSizeOffset], password);
  const uint8_t compression = static_cast<uint8_t>(header[kCompressionOffset]);
  const uint8_t format = static_cast<uint8_t>(header[kFormatOffset]);
  const size_t nameLength = static_cast<uint8_t>(header[kNameLengthOffset]);

  if (recorded != (rtf ? pictureCount : size)) return kWrongPassword;

  std::string name;
  if (password && *password && nameLength > 0) {
    std::string field;
    if (BytesAt(file.get(), probe.get(), got, h + kNameOffset, nameLength, &field))
      name = DecipherName(field.data(), nameLength, password);
  }

  std::string outputPath = outputDirectory ? outputDirectory : "";
  if (!EndsInSeparator(outputPath)) outputPath.push_back(os::kPathSeparator);
  bool attachment = false;
  if (format == kFormatInSituRtf) {
    outputPath += BaseName(inputPath) + "-Decrypted.rtf";
  } else if (format == kFormatAttachment) {
    // The stored name comes from the file: only a plain name is used, so no
    // container can place its output outside the output directory.
    if (!os::IsPlainFileName(name)) return kBadAttachmentName;
    outputPath += name;
    attachment = true;
  } else {
    return kWriteFailed;
  }

  if (*confirm && os::PathExists(outputPath.c_str())) {
    SetAttribute(kError);
    Print("\xFE Overwrite: \"%s\" ?", outputPath.c_str());
    SetAttribute(attributeA | attributeB);
    int key = AskKey("YNAQ", nullptr, true, false, 0, attributeA, attributeB);
    // Nothing was written, so a declined overwrite is not counted as done.
    if (key == 'N') return kUserCancelled;
    if (key == 27 || key == 'Q') {
      SetAttribute(kError);
      Print("* Cancelled *\n");
      SetAttribute(attributeA | attributeB);
      ExitTool(10);
    }
    if (key == 'A')
      *confirm = false;
    else if (key != 'Y')
      return kNothingDone;
  }

  if (recorded <= 0) return kNothingDone;
  const long imageOffset = rtf ? pictureOffset : 0;
  if (static_cast<long long>(imageOffset) + recorded > size) return kReadMismatch;
  probe.reset();

  OwnedString image(os::NewByteString(nullptr, static_cast<uint32_t>(recorded)));
  if (!image) return kOutOfMemory;
  if (progress) Print("\xFE Reading file ...\n");
  if (std::fseek(file.get(), imageOffset, SEEK_SET) != 0) return kNothingDone;
  const size_t read = std::fread(image.get(), 1, static_cast<size_t>(recorded), file.get());
  if (read == 0) return kNothingDone;
  if (read < static_cast<size_t>(recorded)) return kReadMismatch;

  if (!ImageHoldsItsData(reinterpret_cast<const unsigned char *>(image.get()), recorded))
    return kDecryptionFailure;
  OwnedString data;
  int32_t dataLength = 0;
  if (BMPToString(image.get(), data.ref(), &dataLength) == 0 || !data) return kDecryptionFailure;
  image.reset();

  if (progress) Print("\xFE Decrypting ...\n");
  const long long payloadLength = static_cast<long long>(dataLength) - static_cast<long long>(kNameOffset + nameLength);
  if (payloadLength <= 0 || dataLength > static_cast<int32_t>(data.size())) return kDecryptionFailure;
  char *payload = data.get() + kNameOffset + nameLength;
  if (!PayloadCipher(payload, static_cast<int32_t>(payloadLength), password, tableKey)) return kDecryptionFailure;

  OwnedString expanded;
  const char *output = payload;
  size_t outputLength = static_cast<size_t>(payloadLength);
  if (compression == kCompressionRle) {
    if (payloadLength < 8) return kNotCompressed;
    // The library's stream readers bound themselves by the string's length
    // prefix, so the stream needs a string of its own: in the middle of the
    // image the bytes in front of it are the stored name, not a length.
    OwnedString stream(os::NewByteString(payload, static_cast<uint32_t>(payloadLength)));
    if (!stream) return kOutOfMemory;
    data.reset();
    if (RLECompressed(stream.get()) == 0) return kNotCompressed;
    // The stream's own count must lie within the payload it came in.
    const uint32_t count = ReadLittleEndian32(reinterpret_cast<const unsigned char *>(stream.get()) + 4);
    if (count > static_cast<uint64_t>(payloadLength) - 8) return kDecompressionFailed;
    int32_t expandedLength = 0;
    if (RLEUncompress(stream.get(), expanded.ref(), &expandedLength) == 0 || !expanded) return kDecompressionFailed;
    output = expanded.get();
    outputLength = static_cast<size_t>(expandedLength);
  }

  if (progress) Print("\xFE Saving file \"%s\" ...\n", outputPath.c_str());
  if (!WriteFileBytes(outputPath.c_str(), output, outputLength, true)) return kWriteFailed;

  if (!quiet) {
    SetAttribute(kSuccess);
    Print("\xFE Successfully wrote%s:\n  \"%s\" (%.2f Mb)\n", attachment ? " attachment" : "", outputPath.c_str(),
          static_cast<double>(outputLength) / 1048576.0);
    SetAttribute(attributeA | attributeB);
  }
  return kOk;
}

}  // namespace pixveil
