#include "JsonWriter.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "base/Utf8Text.h"

namespace {

// Printable ASCII other than the quote and the backslash stands for itself.
constexpr auto PlainBytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c) plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
  return plain;
}();

bool IsPlain(unsigned char c) { return PlainBytes[c]; }

// Whether eight bytes are all plain: none below 0x20 or above 0x7E, no quote, no backslash.
bool PlainWord(std::uint64_t x) {
  constexpr std::uint64_t Ones = 0x0101010101010101ull, Highs = 0x8080808080808080ull;
  const auto hasZero = [](std::uint64_t v) { return (v - Ones) & ~v & Highs; };
  const std::uint64_t control = (x - Ones * 0x20) & ~x & Highs;  // a byte below 0x20
  const std::uint64_t high = ((x + Ones) | x) & Highs;              // a byte of 0x7F or more
  return (control | high | hasZero(x ^ (Ones * '"')) | hasZero(x ^ (Ones * '\\'))) == 0;
}

// The end of the run of plain bytes from `from` on.
std::size_t PlainRunEnd(std::string_view text, std::size_t from) {
  std::size_t i = from;
  for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
    std::memcpy(&word, text.data() + i, sizeof word);
    if (!PlainWord(word)) break;
  }
  while (i < text.size() && IsPlain(static_cast<unsigned char>(text[i]))) ++i;
  return i;
}

}  // namespace

void TJsonWriter::AppendEscaped(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
    // Runs of plain bytes are copied at once.
    const std::size_t plain = PlainRunEnd(text, i);
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
