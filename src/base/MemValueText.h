#pragma once
// Values of memory tables as texts: a text read as a value of a field's type (integers,
// booleans, ISO date-times and times), and a string cut to its field's size. Used by the table
// itself (setting a field from a text, filters, Locate) and by the table file reader.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/MemTable.h"

// A value of any field type, as the edit buffer holds it and as filters and Locate look for it.
struct TFieldValue {
  bool Null = true;
  bool Changed = false;  // in the edit buffer: set since the record's Append, Insert or Edit
  std::int32_t Int = 0;
  double Float = 0;
  bool Bool = false;
  std::string Text;
};

// Integer text as tables read it: optional blanks around, an optional sign, decimal digits,
// within 32 bits.
bool TryParseInt32(std::string_view text, std::int32_t& value);
// "True"/"False" in any letter case, "1"/"0".
bool ParseBoolean(std::string_view text, bool& value);
// "YYYY-MM-DD", optionally followed by "T" or a blank and a time of day "HH:MM:SS".
bool ParseIsoDateTime(std::string_view text, double& value);
// A span "[-]H:MM:SS" with any number of hours.
bool ParseIsoTime(std::string_view text, double& value);

// Converts a text to a value of the type. An empty text (or blanks) gives no value, except for
// string fields, which keep the text as it is. False when the text is no value of the type.
bool ParseFieldText(TFieldType type, std::string_view text, TFieldValue& out);

// The stored form of a string: up to a NUL, at most size bytes (0: no limit), never ending
// inside a UTF-8 sequence. Bytes that are no valid sequence (single-byte code pages) are cut
// anywhere.
std::string_view CutToSize(std::string_view text, int size);

// "text", "integer", "boolean", "date-time", "time": the type as messages name it.
const char* FieldTypeName(TFieldType type);
