#include "base/Utf8Text.h"

#include <cstdint>

std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
  if (c < 0x80) return 1;
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (c >= 0xC2 && c <= 0xDF) {
    length = 2;
    minimum = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    length = 3;
    minimum = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    length = 4;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  std::uint32_t code = c & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = Utf8SequenceLength(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    const auto c = static_cast<unsigned char>(text[i++]);
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}
