#pragma once
// A small streaming JSON writer. Texts from logs may hold bytes that are no valid UTF-8;
// each such byte is written as the character of the same code (\u00XX), so output stays valid.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TJsonWriter {
public:
  explicit TJsonWriter(std::string& out) : FOut(out) {}

  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view key);
  void String(std::string_view value);
  void Integer(std::int64_t value);
  void Boolean(bool value);
  void Null();

  static void AppendEscaped(std::string& out, std::string_view text);

private:
  void BeforeValue();
  void Indent();

  std::string& FOut;
  struct TLevel {
    bool Object;
    bool Empty;
  };
  std::vector<TLevel> FLevels;
  bool FAfterKey = false;
};
