#include "JsonWriter.h"

#include <array>
#include <cstdio>

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when it is not one.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto c = static_cast<unsigned char>(text[i]);
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

// Printable ASCII other than the quote and the backslash stands for itself.
constexpr auto PlainBytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c) plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  return plain;
}();

bool IsPlain(unsigned char c) { return PlainBytes[c]; }

}  // namespace

void TJsonWriter::AppendEscaped(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    // Runs of plain bytes are copied at once.
    std::size_t plain = i;
    while (plain < text.size() && IsPlain(static_cast<unsigned char>(text[plain]))) ++plain;
    if (plain > i) {
      out.append(text.data() + i, plain - i);
      i = plain;
      if (i == text.size()) break;
    }
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = Utf8SequenceLength(text, i);
      if (length > 0) {
        out.append(text.substr(i, length));
        i += length;
        continue;
      }
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
}

void TJsonWriter::Indent() {
  FOut += '\n';
  FOut.append(FLevels.size() * 2, ' ');
}

void TJsonWriter::BeforeValue() {
  if (FAfterKey) {
    FAfterKey = false;
    return;
  }
  if (!FLevels.empty()) {
    if (!FLevels.back().Empty) FOut += ',';
    FLevels.back().Empty = false;
    Indent();
  }
}

void TJsonWriter::BeginObject() {
  BeforeValue();
  FOut += '{';
  FLevels.push_back({true, true});
}

void TJsonWriter::EndObject() {
  const bool empty = FLevels.back().Empty;
  FLevels.pop_back();
  if (!empty) Indent();
  FOut += '}';
  if (FLevels.empty()) FOut += '\n';
}

void TJsonWriter::BeginArray() {
  BeforeValue();
  FOut += '[';
  FLevels.push_back({false, true});
}

void TJsonWriter::EndArray() {
  const bool empty = FLevels.back().Empty;
  FLevels.pop_back();
  if (!empty) Indent();
  FOut += ']';
}

void TJsonWriter::Key(std::string_view key) {
  BeforeValue();
  AppendEscaped(FOut, key);
  FOut += ": ";
  FAfterKey = true;
}

void TJsonWriter::String(std::string_view value) {
  BeforeValue();
  AppendEscaped(FOut, value);
}

void TJsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  FOut += std::to_string(value);
}

void TJsonWriter::Boolean(bool value) {
  BeforeValue();
  FOut += value ? "true" : "false";
}

void TJsonWriter::Null() {
  BeforeValue();
  FOut += "null";
}
