#include "JsonWriter.h"

#include <array>
#include <cstdio>

#include "config/Utf8Text.h"

namespace {

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
