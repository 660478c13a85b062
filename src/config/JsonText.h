#pragma once
// A small JSON reader and writer for the settings file. Texts are byte strings: bytes of 128
// and above pass through unchanged, "\u" escapes are read as UTF-8.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class EJsonError : public std::runtime_error {
public:
  EJsonError(const std::string& message, std::size_t offset)
      : std::runtime_error(message + " at byte " + std::to_string(offset)), Offset(offset) {}
  std::size_t Offset;
};

struct TJsonMember;

struct TJsonValue {
  enum class TKind { Null, Boolean, Number, String, Array, Object };
  TKind Kind = TKind::Null;
  bool Boolean = false;
  std::string Text;  // a string's bytes, or a number exactly as written
  std::vector<TJsonValue> Items;
  std::vector<TJsonMember> Members;  // in document order
};

// A member of an object. A struct rather than a pair: a pair may not hold the incomplete
// TJsonValue, which only some compilers let pass.
struct TJsonMember {
  std::string Name;
  TJsonValue Value;
};

// The whole text must be one JSON value, with nothing but white space around it.
TJsonValue ParseJson(std::string_view text);

// The text in double quotes with the escapes JSON requires.
void AppendJsonString(std::string& out, std::string_view text);
