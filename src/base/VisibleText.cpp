#include "base/VisibleText.h"

#include <utf8proc.h>

#include <cstdio>

#include "base/Utf8Text.h"

namespace {

enum class TStyle { Escapes, Symbols };

// The code of the valid UTF-8 sequence of `length` bytes at text[i].
char32_t CodeAt(std::string_view text, std::size_t i, std::size_t length) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  if (length == 1) return byte(0);
  char32_t code = byte(0) & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (byte(k) & 0x3F);
  return code;
}

bool IsBidiControl(char32_t c) {
  return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F) || IsBidiControl(c); }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendEscape(std::string& out, const char* format, unsigned code) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, format, code);
  out += buffer;
}

void AppendVisible(std::string& out, char32_t c, TStyle style) {
  if (style == TStyle::Symbols && c < 0x20) return AppendUtf8(out, 0x2400 + c);
  if (style == TStyle::Symbols && c == 0x7F) return AppendUtf8(out, 0x2421);
  switch (c) {
    case '\t': out += "\\t"; return;
    case '\r': out += "\\r"; return;
    case '\n': out += "\\n"; return;
    default: break;
  }
  AppendEscape(out, c <= 0x7F ? "\\x%02X" : "\\u%04X", static_cast<unsigned>(c));
}

std::string MakeVisible(std::string_view text, TStyle style) {
  std::string out;
  std::size_t copied = 0;  // text before this is in out or needs no change
  std::size_t i = 0;
  const auto flush = [&](std::size_t upTo) {
    if (out.empty() && copied == 0) out.reserve(text.size() + 16);
    out.append(text.substr(copied, upTo - copied));
  };
  while (i < text.size()) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      ++i;
      continue;
    }
    std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {
      // No UTF-8: the byte alone, escaped or read as Latin-1.
      flush(i);
      if (style == TStyle::Escapes)
        AppendEscape(out, "\\x%02X", byte);
      else if (IsControl(byte))
        AppendVisible(out, byte, style);
      else
        AppendUtf8(out, byte);
      copied = ++i;
      continue;
    }
    const char32_t code = CodeAt(text, i, length);
    if (IsControl(code)) {
      flush(i);
      AppendVisible(out, code, style);
      copied = i + length;
    }
    i += length;
  }
  if (copied == 0) return std::string(text);
  flush(text.size());
  return out;
}

}  // namespace

std::string EscapeControls(std::string_view text) { return MakeVisible(text, TStyle::Escapes); }

std::string ShowControls(std::string_view text) { return MakeVisible(text, TStyle::Symbols); }

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = Utf8SequenceLength(text, i);
    if (length == 0) {  // not expected; counted as one column
      ++width;
      ++i;
      continue;
    }
    if (length == 1) {
      ++width;
    } else {
      width += static_cast<std::size_t>(utf8proc_charwidth(static_cast<utf8proc_int32_t>(CodeAt(text, i, length))));
    }
    i += length;
  }
  return width;
}
