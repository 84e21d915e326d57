// rtf.cpp -- the RTF document around a container image, and finding the
// image again in a document (ours or the editor's).
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "container.h"
#include "owned_string.h"

namespace pixveil {
namespace {

const char kRtfHeader[] = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}";
const char kGeneratorTag[] = "\r\n{\\*\\generator Pixveil v1.08;}";
const char kViewKind[] = "\r\n\\viewkind4\\uc1\\pard\\fs28 \r\n";
const char kColourTable[] = "{\\colortbl;\\red255\\green0\\blue0;}\r\n";
const char kWarningStart[] = "\\par\\qc\\cf1\\b ";
const char kWarningText[] = "Encrypted Data\\par Decrypt in Notewell or Pixveil only\\par Do Not Edit or Re-Save";
const char kFallbackGuid[] = "3E8106BD-9978-4B07-ACAD-E04A24210D41";
const char kWarningEnd[] = "\\par\\par\r\n";
// "wbmbitspixe1" is the keyword as the editor writes it.
const char kPictureStart[] = "{\\pict\\brdrth\\wbitmap0\\wbmbitspixe1\\wbmplanes1\\picw";
const char kPictureEnd[] = "\r\n}";
const char kDocumentEnd[] = "}";

// Beyond this size the pieces are joined through a temporary file.
constexpr uint32_t kHugeJoin = 104857600;

// The string-building join's errors, as the tool's own codes: 4 is memory,
// the others (disk space, the temporary file) a failed write.
int JoinErrorCode(int16_t error) {
  if (error == 0 || error == 4) return kOutOfMemory;
  return kWriteFailed;
}

// dest := dest + source, through a temporary file when huge, so the two
// parts and the joined copy are never all in memory at once.
bool Join(OwnedString &dest, OwnedString &source, bool huge, int *code) {
  if (huge) {
    int16_t error = 0;
    ByteString joined = AddHugeBinaryString(dest.ref(), source.ref(), 0, &error);
    if (!joined) {
      *code = JoinErrorCode(error);
      return false;
    }
    dest.reset(joined);
    return true;
  }
  ByteString joined = AddBinaryString(dest.ref(), source.get(), 0);
  if (!joined) {
    *code = kOutOfMemory;
    return false;
  }
  dest.reset(joined);
  return true;
}

bool AppendText(OwnedString &dest, const char *text) {
  ByteString joined = AddString(dest.ref(), text);
  if (!joined) return false;
  dest.reset(joined);
  return true;
}

// Case-insensitive search (ASCII letters folded) in text[from, end).
long FindNoCase(const char *text, size_t end, size_t from, const char *needle) {
  size_t n = std::strlen(needle);
  for (size_t i = from; i + n <= end; ++i) {
    size_t k = 0;
    while (k < n && std::toupper(static_cast<unsigned char>(text[i + k])) ==
                        std::toupper(static_cast<unsigned char>(needle[k])))
      ++k;
    if (k == n) return static_cast<long>(i);
  }
  return -1;
}

// The runtime's decimal conversion (leading blanks, a sign, digits), kept
// within 32 bits so every build reads the same number.
int32_t DecimalValue(const char *text, size_t length) {
  size_t i = 0;
  while (i < length && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < length && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < length && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

ByteString WriteRtfDocument(const char *image, int32_t imageLength, bool warningText, int *code) {
  *code = kOk;
  if (!image || imageLength < 1) {
    *code = kBitmapFailed;
    return nullptr;
  }
  // The picture's nominal size derives from the byte count, as the editor
  // computes it.
  const double bits = 8.0 * imageLength;
  const long width = static_cast<long>(std::ceil(std::sqrt(bits)));
  const long height = static_cast<long>(std::floor(bits / width));
  char dimensions[160];
  std::snprintf(dimensions, sizeof dimensions, "%ld\\pich%ld\\picwgoal%ld\\pichgoal%ld\\bin%ld ", width,
                height, 15 * width, 15 * height, static_cast<long>(imageLength));

  OwnedString group(os::NewByteString(kPictureStart, sizeof kPictureStart - 1));
  if (!group || !AppendText(group, dimensions)) {
    *code = kOutOfMemory;
    return nullptr;
  }
  ByteString joined = AddBinaryString(group.ref(), image, imageLength);
  if (!joined) {
    *code = kOutOfMemory;
    return nullptr;
  }
  group.reset(joined);
  OwnedString pictureEnd(os::NewByteString(kPictureEnd, sizeof kPictureEnd - 1));
  if (!pictureEnd || !Join(group, pictureEnd, group.size() > kHugeJoin, code)) {
    if (*code == kOk) *code = kOutOfMemory;
    return nullptr;
  }

  OwnedString document(os::NewByteString(kRtfHeader, sizeof kRtfHeader - 1));
  OwnedString guid;
  const char *shown = kWarningText;
  if (!warningText) {
    guid.reset(CreateGUID(1));
    shown = guid.size() > 0 ? guid.get() : kFallbackGuid;
  }
  const char *pieces[] = {kGeneratorTag, kViewKind, kColourTable, kWarningStart, shown, kWarningEnd};
  for (const char *piece : pieces) {
    if (!document || !AppendText(document, piece)) {
      *code = kOutOfMemory;
      return nullptr;
    }
  }
  if (!Join(document, group, group.size() > kHugeJoin, code)) return nullptr;
  group.reset();

  OwnedString documentEnd(os::NewByteString(kDocumentEnd, 1));
  if (!documentEnd || !Join(document, documentEnd, document.size() > kHugeJoin, code)) {
    if (*code == kOk) *code = kOutOfMemory;
    return nullptr;
  }
  ByteString result = document.get();
  *document.ref() = nullptr;
  return result;
}

int FindRtfPicture(const char *text, size_t length, long *offset, int32_t *count) {
  *offset = 0;
  *count = 0;
  if (!text) return 0;
  const void *zero = std::memchr(text, 0, length);
  const size_t end = zero ? static_cast<size_t>(static_cast<const char *>(zero) - text) : length;
  if (end < 5 || FindNoCase(text, 5, 0, "{\\rtf") != 0) return 0;
  long picture = FindNoCase(text, end, 5, "{\\pict");
  if (picture < 0) return 0;
  long bitmap = FindNoCase(text, end, static_cast<size_t>(picture), "\\wbitmap0");
  if (bitmap < 0) return 0;
  long bin = FindNoCase(text, end, static_cast<size_t>(bitmap), "\\bin");
  if (bin < 0) return 0;
  const size_t digits = static_cast<size_t>(bin) + 4;
  const void *space = std::memchr(text + digits, ' ', end - digits);
  if (!space) return 0;
  const size_t spaceAt = static_cast<size_t>(static_cast<const char *>(space) - text);
  size_t span = spaceAt - digits + 1;
  if (span > 256) span = 256;
  *count = DecimalValue(text + digits, span);
  *offset = static_cast<long>(spaceAt + 1);
  return 1;
}

}  // namespace pixveil
