#include "config/JsonText.h"

#include <cstdint>

namespace {

// Deep enough for any settings file, shallow enough that a hostile file cannot exhaust the stack.
constexpr int MaxDepth = 64;

class TJsonReader {
public:
  explicit TJsonReader(std::string_view text) : FText(text) {}

  TJsonValue ReadDocument() {
    TJsonValue value = ReadValue(0);
    SkipSpace();
    if (FPos != FText.size()) Fail("unexpected text after the end");
    return value;
  }

private:
  std::string_view FText;
  std::size_t FPos = 0;

  [[noreturn]] void Fail(const std::string& message) const { throw EJsonError(message, FPos); }

  bool AtEnd() const { return FPos >= FText.size(); }
  char Peek() const { return AtEnd() ? '\0' : FText[FPos]; }

  void SkipSpace() {
    while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++FPos;
  }

  void Expect(char c) {
    if (Peek() != c || AtEnd()) Fail(std::string("'") + c + "' expected");
    ++FPos;
  }

  bool TakeWord(std::string_view word) {
    if (FText.substr(FPos, word.size()) != word) return false;
    FPos += word.size();
    return true;
  }

  TJsonValue ReadValue(int depth) {
    if (depth > MaxDepth) Fail("nested too deeply");
    SkipSpace();
    TJsonValue value;
    const char c = Peek();
    if (AtEnd()) Fail("value expected");
    if (c == '{') {
      ReadObject(value, depth);
    } else if (c == '[') {
      ReadArray(value, depth);
    } else if (c == '"') {
      value.Kind = TJsonValue::TKind::String;
      value.Text = ReadString();
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      value.Kind = TJsonValue::TKind::Number;
      value.Text = ReadNumber();
    } else if (TakeWord("true")) {
      value.Kind = TJsonValue::TKind::Boolean;
      value.Boolean = true;
    } else if (TakeWord("false")) {
      value.Kind = TJsonValue::TKind::Boolean;
    } else if (!TakeWord("null")) {
      Fail("value expected");
    }
    return value;
  }

  void ReadObject(TJsonValue& value, int depth) {
    value.Kind = TJsonValue::TKind::Object;
    Expect('{');
    SkipSpace();
    if (Peek() == '}') {
      ++FPos;
      return;
    }
    for (;;) {
      SkipSpace();
      if (Peek() != '"') Fail("member name expected");
      std::string name = ReadString();
      SkipSpace();
      Expect(':');
      value.Members.push_back({std::move(name), ReadValue(depth + 1)});
      SkipSpace();
      if (Peek() == '}') {
        ++FPos;
        return;
      }
      Expect(',');
    }
  }

  void ReadArray(TJsonValue& value, int depth) {
    value.Kind = TJsonValue::TKind::Array;
    Expect('[');
    SkipSpace();
    if (Peek() == ']') {
      ++FPos;
      return;
    }
    for (;;) {
      value.Items.push_back(ReadValue(depth + 1));
      SkipSpace();
      if (Peek() == ']') {
        ++FPos;
        return;
      }
      Expect(',');
    }
  }

  std::string ReadNumber() {
    const std::size_t start = FPos;
    if (Peek() == '-') ++FPos;
    if (Peek() == '0') {
      ++FPos;
    } else if (!TakeDigits()) {
      Fail("digit expected");
    }
    if (Peek() == '.') {
      ++FPos;
      if (!TakeDigits()) Fail("digit expected");
    }
    if ((Peek() == 'e' || Peek() == 'E')) {
      ++FPos;
      if (Peek() == '+' || Peek() == '-') ++FPos;
      if (!TakeDigits()) Fail("digit expected");
    }
    return std::string(FText.substr(start, FPos - start));
  }

  bool TakeDigits() {
    const std::size_t start = FPos;
    while (!AtEnd() && Peek() >= '0' && Peek() <= '9') ++FPos;
    return FPos > start;
  }

  std::string ReadString() {
    Expect('"');
    std::string text;
    for (;;) {
      if (AtEnd()) Fail("unterminated string");
      const char c = FText[FPos];
      if (c == '"') {
        ++FPos;
        return text;
      }
      if (static_cast<unsigned char>(c) < 0x20) Fail("control character in string");
      if (c == '\\') {
        ReadEscape(text);
      } else {
        text += c;
        ++FPos;
      }
    }
  }

  void ReadEscape(std::string& text) {
    ++FPos;  // the backslash
    if (AtEnd()) Fail("unterminated string");
    const char c = FText[FPos++];
    switch (c) {
      case '"': text += '"'; break;
      case '\\': text += '\\'; break;
      case '/': text += '/'; break;
      case 'b': text += '\b'; break;
      case 'f': text += '\f'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      case 't': text += '\t'; break;
      case 'u': AppendUtf8(text, ReadCodePoint()); break;
      default: --FPos; Fail("unknown escape");
    }
  }

  std::uint32_t ReadHex4() {
    if (FPos + 4 > FText.size()) Fail("four hexadecimal digits expected");
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = FText[FPos];
      v <<= 4;
      if (c >= '0' && c <= '9') v |= static_cast<std::uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') v |= static_cast<std::uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') v |= static_cast<std::uint32_t>(c - 'A' + 10);
      else Fail("four hexadecimal digits expected");
      ++FPos;
    }
    return v;
  }

  std::uint32_t ReadCodePoint() {
    const std::uint32_t first = ReadHex4();
    if (first >= 0xDC00 && first <= 0xDFFF) Fail("unpaired surrogate");
    if (first < 0xD800 || first > 0xDBFF) return first;
    if (!TakeWord("\\u")) Fail("unpaired surrogate");
    const std::uint32_t second = ReadHex4();
    if (second < 0xDC00 || second > 0xDFFF) Fail("unpaired surrogate");
    return 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
  }

  static void AppendUtf8(std::string& text, std::uint32_t cp) {
    if (cp < 0x80) {
      text += static_cast<char>(cp);
    } else if (cp < 0x800) {
      text += static_cast<char>(0xC0 | (cp >> 6));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      text += static_cast<char>(0xE0 | (cp >> 12));
      text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (cp >> 18));
      text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
};

}  // namespace

TJsonValue ParseJson(std::string_view text) { return TJsonReader(text).ReadDocument(); }

void AppendJsonString(std::string& out, std::string_view text) {
  static const char* const hex = "0123456789abcdef";
  out += '"';
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (b < 0x20) {
          out += "\\u00";
          out += hex[b >> 4];
          out += hex[b & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
}
