#pragma once
// Just enough JSON reading for the report tool's output: objects, arrays, strings with the
// escapes the tool writes, integers, true, false and null.
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace minijson {

struct TValue;
using TObject = std::map<std::string, TValue>;
using TArray = std::vector<TValue>;

struct TValue {
  std::variant<std::nullptr_t, bool, std::int64_t, std::string, std::shared_ptr<TArray>, std::shared_ptr<TObject>> V;

  bool IsNull() const { return std::holds_alternative<std::nullptr_t>(V); }
  bool Bool() const { return std::get<bool>(V); }
  std::int64_t Int() const { return std::get<std::int64_t>(V); }
  const std::string& Str() const { return std::get<std::string>(V); }
  const TArray& Array() const { return *std::get<std::shared_ptr<TArray>>(V); }
  const TObject& Object() const { return *std::get<std::shared_ptr<TObject>>(V); }
  const TValue& operator[](const std::string& key) const {
    auto it = Object().find(key);
    if (it == Object().end()) throw std::out_of_range("no key " + key);
    return it->second;
  }
  const TValue& operator[](std::size_t i) const { return Array().at(i); }
};

class TReader {
public:
  explicit TReader(std::string_view text) : FText(text) {}

  TValue Document() {
    TValue value = Value();
    Blanks();
    if (FPos != FText.size()) Fail("text after the document");
    return value;
  }

private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw std::runtime_error("JSON: " + what + " at " + std::to_string(FPos));
  }
  void Blanks() {
    while (FPos < FText.size() && std::string_view(" \t\r\n").find(FText[FPos]) != std::string_view::npos) ++FPos;
  }
  bool Take(char c) {
    Blanks();
    if (FPos < FText.size() && FText[FPos] == c) return ++FPos, true;
    return false;
  }
  void Expect(char c) {
    if (!Take(c)) Fail(std::string("expected ") + c);
  }
  bool Word(std::string_view word) {
    if (FText.substr(FPos, word.size()) != word) return false;
    FPos += word.size();
    return true;
  }

  TValue Value() {
    Blanks();
    if (Take('{')) {
      auto object = std::make_shared<TObject>();
      if (!Take('}')) {
        do {
          Blanks();
          std::string key = String();
          Expect(':');
          (*object)[key] = Value();
        } while (Take(','));
        Expect('}');
      }
      return {object};
    }
    if (Take('[')) {
      auto array = std::make_shared<TArray>();
      if (!Take(']')) {
        do array->push_back(Value());
        while (Take(','));
        Expect(']');
      }
      return {array};
    }
    if (FPos < FText.size() && FText[FPos] == '"') return {String()};
    if (Word("true")) return {true};
    if (Word("false")) return {false};
    if (Word("null")) return {nullptr};
    const std::size_t start = FPos;
    if (FPos < FText.size() && FText[FPos] == '-') ++FPos;
    while (FPos < FText.size() && FText[FPos] >= '0' && FText[FPos] <= '9') ++FPos;
    if (FPos == start) Fail("unexpected character");
    return {std::int64_t{std::stoll(std::string(FText.substr(start, FPos - start)))}};
  }

  std::string String() {
    if (FPos >= FText.size() || FText[FPos] != '"') Fail("expected a string");
    ++FPos;
    std::string result;
    while (FPos < FText.size() && FText[FPos] != '"') {
      char c = FText[FPos++];
      if (c == '\\' && FPos < FText.size()) {
        c = FText[FPos++];
        if (c == 'n') c = '\n';
        else if (c == 'r') c = '\r';
        else if (c == 't') c = '\t';
        else if (c == 'u') {
          c = static_cast<char>(std::stoi(std::string(FText.substr(FPos, 4)), nullptr, 16));
          FPos += 4;
        }
      }
      result += c;
    }
    Expect('"');
    return result;
  }

  std::string_view FText;
  std::size_t FPos = 0;
};

inline TValue Parse(std::string_view text) { return TReader(text).Document(); }

}  // namespace minijson
