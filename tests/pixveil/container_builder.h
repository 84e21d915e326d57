// container_builder.h -- builds containers by hand from the stored layout
// (header, bitmap, RTF wrapper), independently of the tool, so the tool can
// be fed editor documents and hostile files.
#ifndef TESTS_PIXVEIL_CONTAINER_BUILDER_H
#define TESTS_PIXVEIL_CONTAINER_BUILDER_H

#include <cstdint>
#include <string>

namespace tooltest {

struct ContainerSpec {
  std::string payload;          // the bytes after the header, before enciphering
  std::string name;             // stored name, enciphered as it is
  int nameLengthField = -1;     // the name length byte; -1 = name's length
  uint8_t compression = 0;
  uint8_t format = 2;
  std::string password = "secret1";
  int32_t recordedSizeDelta = 0;  // added to the true image size (a lie)
  std::string filler = std::string("\x11\x22\x33\x44", 4);  // never checked by readers
};

// The header and enciphered payload: the bitmap's pixel data.
std::string BuildPixelData(const ContainerSpec &spec, size_t *headerOffsetInImage = nullptr);
// A two-colour bitmap holding data, laid out as the codec writes it.
std::string BuildBitmap(const std::string &data, uint32_t foreground = 0xFF0000, uint32_t background = 0x0000FF);
// A whole .bmp container with its recorded size set.
std::string BuildBmpContainer(const ContainerSpec &spec);
// The container image wrapped in the RTF document the editor writes.
std::string WrapInRtf(const std::string &image, const std::string &shownText);
// The RLE stream of data, encoded by the documented rules.
std::string RleStream(const std::string &data);

// Header and payload ciphers through the library.
void HeaderCipher(std::string *field, const std::string &password);
void PayloadCipher(std::string *payload, const std::string &password);

uint32_t ReadLe32(const std::string &bytes, size_t at);

}  // namespace tooltest

#endif
