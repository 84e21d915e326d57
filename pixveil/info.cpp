// info.cpp -- the /I report: what a file's container header says, with the
// protected fields shown only when a password is given. It reads nothing
// beyond the first bytes it took from the file.
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "container.h"
#include "output.h"
#include "owned_string.h"
#include "platform/files.h"

namespace pixveil {
namespace {

// What the bitmap header records as its data length, read with the
// codec's own checks on a copy of exactly the header bytes that were read.
int32_t RecordedDataSize(const char *data, long available) {
  if (available < 54) return 0;
  OwnedString headerBytes(os::NewByteString(data, static_cast<uint32_t>(available < 62 ? available : 62)));
  return headerBytes ? BMPDataSize(headerBytes.get()) : 0;
}

const char *CompressionName(uint8_t type) {
  switch (type) {
    case 0: return "None";
    case 1: return "RLE";
    case 2: return "ZLIB";
    default: return "Unknown";
  }
}

const char *FormatName(uint8_t format) {
  switch (format) {
    case 0: return "None";
    case 1: return "In-Situ RTF Edit";
    case 2: return "Attachment File";
    default: return "Unknown";
  }
}

}  // namespace

void ShowHeaderInfo(const char *data, long available, long long imageSize, const char *password,
                    uint32_t attributeA, uint32_t attributeB) {
  if (available < 0) available = 0;
  const int32_t dataSize = RecordedDataSize(data, available);
  Print("\xFE Actual payload size:    %s byte(s) (including header)\n", GroupDigits(dataSize).c_str());

  // Only a marker whose fixed fields were read counts.
  long h = FindHeaderMarker(data, static_cast<size_t>(available));
  if (h >= 0 && static_cast<size_t>(h) + kFixedHeaderLength > static_cast<size_t>(available)) h = -1;
  if (h < 0) {
    Print("\n");
    return;
  }
  const char *header = data + h;
  const bool havePassword = password && *password;

  bool ok = false;
  int32_t recorded = 0;
  if (!havePassword) {
    Print("\xFE No password given:      Can't decode payload checksum\n");
  } else {
    const int32_t rc = DecipherRecordedSize(header + kRecordedSizeOffset, password);
    Print("\xFE Password valid?:        ");
    if (rc > 0) {
      Print("Possibly OK\n");
      ok = true;
    } else {
      SetAttribute(kError);
      Print("* INVALID PASSWORD *\n");
      SetAttribute(attributeA | attributeB);
    }
    recorded = rc > 0 ? rc : 0;
    Print("\xFE Recorded payload:       ");
    if (recorded > 0) {
      Print("%s byte(s)\n", GroupDigits(recorded).c_str());
    } else {
      SetAttribute(kError);
      Print("%s byte(s)\n", GroupDigits(recorded).c_str());
      SetAttribute(attributeA | attributeB);
    }
  }

  Print("\xFE Notewell encrypted?:     ");
  SetAttribute(kSuccess);
  Print("YES\n");
  SetAttribute(attributeA | attributeB);
  Print("\xFE Compression type:       %s\n", CompressionName(static_cast<uint8_t>(header[kCompressionOffset])));
  const uint8_t format = static_cast<uint8_t>(header[kFormatOffset]);
  Print("\xFE Document format:        %s\n", FormatName(format));

  if (format == kFormatAttachment) {
    const size_t nameLength = static_cast<uint8_t>(header[kNameLengthOffset]);
    if (nameLength == 0) {
      Print("\xFE Attachment file?:       NO\n");
      Print("\xFE Notewell Header length:  %i byte(s)\n", static_cast<int>(kFixedHeaderLength));
    } else {
      Print("\xFE Attachment name length: %i character(s)\n", static_cast<int>(nameLength));
      Print("\xFE Notewell Header length:  %i byte(s)\n", static_cast<int>(nameLength + kFixedHeaderLength));
      // Without a password there is no recorded size to judge the payload
      // by; the line would only claim a password was wrong that was never given.
      if (havePassword) {
        Print("\xFE Attachment file size:   ");
        if (imageSize == recorded) {
          const long long stored = static_cast<long long>(dataSize) - static_cast<long long>(nameLength + kFixedHeaderLength);
          Print("%s byte(s)\n", GroupDigits(stored).c_str());
        } else {
          SetAttribute(kError);
          Print(" * INVALID PASSWORD *\n");
          SetAttribute(attributeA | attributeB);
          ok = false;
        }
      }
    }
    if (ok) {
      Print("\xFE Attachment filename:    ");
      if (nameLength == 0) {
        Print("No filename\n");
      } else if (static_cast<size_t>(h) + kNameOffset + nameLength <= static_cast<size_t>(available)) {
        std::string field(header + kNameOffset, nameLength);
        HeaderCipher(&field[0], static_cast<int32_t>(nameLength), password);
        if (field[0] != '\0') {
          if (std::strlen(field.c_str()) == nameLength) {
            SetAttribute(kSuccess);
            Print("%s\n", field.c_str());
            SetAttribute(attributeA | attributeB);
          } else {
            Print("\xFE Password confirmation:   INVALID PASSWORD\n");
          }
        }
      }
    }
  }
  Print("\n");
}

int ShowFileInfo(const char *inputPath, const char *fileName, const char *password, uint32_t attributeA,
                 uint32_t attributeB) {
  if (!os::PathExists(inputPath)) {
    Print("File: \"%s\" was not found\n", inputPath);
    return kFileNotFound;
  }
  const int32_t size = FileLength(inputPath);
  if (size <= 0) return kNothingDone;
  FILE *file = std::fopen(inputPath, "rb");
  if (!file) return kOpenInputFailed;
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[kProbeSize + 1]);
  if (!buffer) {
    std::fclose(file);
    return kOutOfMemory;
  }
  const size_t got = std::fread(buffer.get(), 1, kProbeSize, file);
  std::fclose(file);
  if (got == 0) return kNothingDone;
  buffer[got] = '\0';

  Print("\n\xFE File Information for: \"%s\"\n", fileName);
  Print("-------------------------------------------------------------\n");
  if (password && *password) Print("\xFE Attempting to get protected info with given password\n");

  long offset = 0;
  int32_t count = 0;
  if (got >= 2 && (buffer[0] == 'B' || buffer[0] == 'b') && (buffer[1] == 'M' || buffer[1] == 'm')) {
    Print("\xFE BMP size:               %s byte(s) (including header)\n", GroupDigits(size).c_str());
    ShowHeaderInfo(buffer.get(), static_cast<long>(got), size, password, attributeA, attributeB);
  } else if (!FindRtfPicture(buffer.get(), got, &offset, &count)) {
    Print("\xFE This is not an Notewell encrypted file\n\n");
  } else {
    Print("\xFE This is an RTF format file with embedded Windows BMP image\n");
    Print("\xFE File length:            %s byte(s)\n", GroupDigits(size).c_str());
    Print("\xFE RTF BMP block size:     %s byte(s)\n", GroupDigits(count).c_str());
    Print("\xFE BMP-filesize diff:      %s byte(s)\n", GroupDigits(static_cast<long long>(size) - count).c_str());
    const long available = offset < static_cast<long>(got) ? static_cast<long>(got) - offset : 0;
    ShowHeaderInfo(buffer.get() + (available > 0 ? offset : 0), available, count, password, attributeA, attributeB);
  }
  return kOk;
}

}  // namespace pixveil
