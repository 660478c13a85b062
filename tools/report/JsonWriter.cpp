#include "JsonWriter.h"

#include <cstdio>

#include "config/Utf8Text.h"

void TJsonWriter::AppendEscaped(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t i = 0; i < text.size();) {
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
