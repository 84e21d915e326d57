// container_builder.cpp -- containers assembled byte by byte from the layout.
#include "container_builder.h"

#include <cmath>
#include <cstring>

#include "quendle.h"

namespace tooltest {
namespace {

const char kMarker[] = ".D9Yc3Batg19q";
const char kTableKey[] = "580764105573";

void PutLe32(std::string *bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Le32(uint32_t value) {
  std::string bytes(4, '\0');
  PutLe32(&bytes, 0, value);
  return bytes;
}

}  // namespace

uint32_t ReadLe32(const std::string &bytes, size_t at) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

void HeaderCipher(std::string *field, const std::string &password) {
  if (field->empty()) return;
  EncryptString(&(*field)[0], static_cast<int32_t>(field->size()), password.c_str(), nullptr, 1);
}

void PayloadCipher(std::string *payload, const std::string &password) {
  if (payload->empty()) return;
  EncryptString(&(*payload)[0], static_cast<int32_t>(payload->size()), password.c_str(), kTableKey, -1);
}

std::string BuildPixelData(const ContainerSpec &spec, size_t *) {
  std::string payload = spec.payload;
  PayloadCipher(&payload, spec.password);
  std::string name = spec.name;
  HeaderCipher(&name, spec.password);
  std::string header(kMarker, 13);
  header += std::string(4, '\0');  // recorded size, set once the image exists
  header.push_back(1);
  header.push_back(static_cast<char>(spec.compression));
  header.push_back(static_cast<char>(spec.format));
  header.push_back(static_cast<char>(spec.nameLengthField >= 0 ? spec.nameLengthField : static_cast<int>(name.size())));
  header += spec.filler.substr(0, 4);
  return header + name + payload;
}

std::string BuildBitmap(const std::string &data, uint32_t foreground, uint32_t background) {
  const int64_t n = static_cast<int64_t>(data.size());
  const int64_t bits = 8 * n;
  int64_t width;
  if (bits >= 1024)
    width = 32 * static_cast<int64_t>(std::floor(std::sqrt(static_cast<double>(bits)) / 32));
  else
    width = (bits + 31) / 32;
  int64_t height = bits / (width ? width : 1) + 1;
  if (width < 32) {
    width = 32;
    height = (n + 3) / 4;
    if (height < 1) height = 1;
  }
  const int64_t imageBytes = height * width / 8;
  std::string bmp(static_cast<size_t>(62 + imageBytes), '\0');
  bmp[0] = 'B';
  bmp[1] = 'M';
  PutLe32(&bmp, 2, static_cast<uint32_t>(n + 62));
  PutLe32(&bmp, 10, 62);
  PutLe32(&bmp, 14, 40);
  PutLe32(&bmp, 18, static_cast<uint32_t>(width));
  PutLe32(&bmp, 22, static_cast<uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 1;
  PutLe32(&bmp, 34, static_cast<uint32_t>(n));
  const uint32_t palette[2] = {background, foreground};
  for (int i = 0; i < 2; ++i) {
    bmp[54 + 4 * i] = static_cast<char>((palette[i] >> 16) & 255);
    bmp[55 + 4 * i] = static_cast<char>((palette[i] >> 8) & 255);
    bmp[56 + 4 * i] = static_cast<char>(palette[i] & 255);
  }
  std::memcpy(&bmp[62], data.data(), data.size());
  return bmp;
}

std::string BuildBmpContainer(const ContainerSpec &spec) {
  std::string image = BuildBitmap(BuildPixelData(spec));
  std::string size = Le32(static_cast<uint32_t>(static_cast<int64_t>(image.size()) + spec.recordedSizeDelta));
  HeaderCipher(&size, spec.password);
  image.replace(62 + 13, 4, size);
  return image;
}

std::string WrapInRtf(const std::string &image, const std::string &shownText) {
  const double bits = 8.0 * image.size();
  const long a = static_cast<long>(std::ceil(std::sqrt(bits)));
  const long b = static_cast<long>(std::floor(bits / a));
  std::string rtf =
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
      "\r\n{\\*\\generator Pixveil v1.08;}"
      "\r\n\\viewkind4\\uc1\\pard\\fs28 \r\n"
      "{\\colortbl;\\red255\\green0\\blue0;}\r\n"
      "\\par\\qc\\cf1\\b ";
  rtf += shownText;
  rtf += "\\par\\par\r\n{\\pict\\brdrth\\wbitmap0\\wbmbitspixe1\\wbmplanes1\\picw";
  rtf += std::to_string(a) + "\\pich" + std::to_string(b) + "\\picwgoal" + std::to_string(15 * a) + "\\pichgoal" +
         std::to_string(15 * b) + "\\bin" + std::to_string(image.size()) + " ";
  rtf += image;
  rtf += "\r\n}}";
  return rtf;
}

std::string RleStream(const std::string &data) {
  std::string encoded;
  unsigned prev = 0xFF;
  size_t i = 0;
  const size_t n = data.size();
  while (i < n) {
    const unsigned char c = static_cast<unsigned char>(data[i]);
    encoded.push_back(static_cast<char>(c));
    if (c != prev) {
      prev = c;
      ++i;
      continue;
    }
    size_t m = 0;
    while (i + m < n && static_cast<unsigned char>(data[i + m]) == prev) ++m;
    if (m >= 256) {
      encoded.push_back(static_cast<char>(255));
      prev = 0xFF;
      i += 256;
    } else if (i + m == n) {
      if (m >= 2) encoded.push_back(static_cast<char>(m - 1));
      i = n;
    } else {
      encoded.push_back(static_cast<char>(m - 1));
      const unsigned char b = static_cast<unsigned char>(data[i + m]);
      encoded.push_back(static_cast<char>(b));
      if (i + m + 1 < n) prev = b;
      i += m + 1;
    }
  }
  return std::string("RZ\x01\x00", 4) + Le32(static_cast<uint32_t>(encoded.size())) + encoded;
}

}  // namespace tooltest
