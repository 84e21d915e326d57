// encrypt.cpp -- one file into a container: read, compress when it pays,
// encipher, add the header, wrap in a bitmap and save as .bmp or .rtf.
#include <cstdio>

#include "container.h"
#include "dialogue.h"
#include "output.h"
#include "owned_string.h"
#include "platform/files.h"

namespace pixveil {

int EncryptFile(const char *inputPath, const char *fileName, const char *outputPath,
                const char *password, const char *tableKey, bool compress, bool bmpOutput,
                bool warningText, int32_t foreground, int32_t background, bool quiet, bool *confirm,
                uint32_t attributeA, uint32_t attributeB) {
  if (!os::PathExists(inputPath)) return kFileNotFound;

  if (*confirm && os::PathExists(outputPath)) {
    SetAttribute(kError);
    Print("\xFE Overwrite: \"%s\" ?", outputPath);
    SetAttribute(attributeA | attributeB);
    int key = AskKey("YNAQ", nullptr, true, false, 0, attributeA, attributeB);
    if (key == 'N') return kUserCancelled;
    if (key == 'A') *confirm = false;
    if (key == 27 || key == 'Q') {
      SetAttribute(kError);
      Print("* Cancelled *\n");
      SetAttribute(attributeA | attributeB);
      ExitTool(12);
    }
  }

  const int32_t size = FileLength(inputPath);
  if (size <= 0) return kNothingDone;
  const bool progress = size > kLargeFileSize && !quiet;

  if (progress) Print("\xFE Reading file ...\n");
  OwnedString data(ReadFileToString(inputPath, 0, nullptr));
  if (!data) return kNothingDone;
  int32_t n = static_cast<int32_t>(data.size());

  if (progress) Print("\xFE Encrypting ...\n");
  uint8_t compression = kCompressionNone;
  if (compress && RLECompressible(data.get()) != 0) {
    ByteString stream = nullptr;
    int32_t streamLength = 0;
    if (RLECompress(data.get(), &stream, &streamLength) == -1) {
      if (!stream) return kDecompressionFailed;
      n = streamLength;
      compression = kCompressionRle;
      data.reset(stream);
    }
  }

  if (!PayloadCipher(data.get(), n, password, tableKey)) return kNothingDone;

  int nameLength = 0;
  OwnedString joined(BuildHeader(n, kHeaderVersion, compression, kFormatAttachment, &nameLength, fileName, password));
  if (!joined) return kHeaderFailed;
  ByteString withPayload = AddBinaryString(joined.ref(), data.get(), 0);
  if (!withPayload) return kOutOfMemory;
  joined.reset(withPayload);
  data.reset();

  OwnedString image;
  int32_t imageLength = 0;
  if (StringToBMP(joined.get(), static_cast<int32_t>(joined.size()), image.ref(), &imageLength, foreground,
                  background) == 0 ||
      !image)
    return kBitmapFailed;
  joined.reset();
  PatchRecordedSize(image.get(), imageLength, password);

  if (bmpOutput) {
    if (progress) Print("\xFE Saving BMP file %s ...\n", outputPath);
    if (!WriteFileBytes(outputPath, image.get(), static_cast<size_t>(imageLength), true)) return kWriteFailed;
    return kOk;
  }

  int code = kOk;
  OwnedString document(WriteRtfDocument(image.get(), imageLength, warningText, &code));
  if (!document) return code != kOk ? code : kOutOfMemory;
  image.reset();
  if (progress) Print("\xFE Saving RTF file %s ...\n", outputPath);
  if (!WriteFileBytes(outputPath, document.get(), document.size(), true)) return kWriteFailed;
  return kOk;
}

}  // namespace pixveil
