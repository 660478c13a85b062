#pragma once
// A log-type description in the form the parser splits lines with: field records with their
// delimiters, each record's check decided once, and the record of every field kind looked up
// once, so that splitting and field access compare no names per line.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/FieldKind.h"
#include "log/LogDate.h"

struct TLogFieldDef {
  std::string Name;
  char Left = ' ';
  char Right = ' ';
};

// One field of a split line: a piece of the line, and for a checked log date or number its
// value, read once by the check.
struct TFieldSpan {
  std::uint32_t Offset = 0;
  std::uint32_t Length = 0;
  bool IsDate = false;
  bool IsNumber = false;
  double Date = 0;
  std::int64_t Number = 0;
};

class TLogDescription {
public:
  TLogDescription() = default;
  // w3c: the records come from a "#Fields: " line; their tokens are taken unchecked.
  TLogDescription(std::vector<TLogFieldDef> fields, bool w3c);

  const std::vector<TLogFieldDef>& Fields() const { return FFields; }
  bool W3C() const { return FW3C; }

  // One span per record as far as the line could be split (a "-" byte count or status code
  // becomes an empty span); true when the line fits the description exactly.
  bool Split(std::string_view line, std::vector<TFieldSpan>& spans) const;

  // Description files: the first record named like the kind, -1 when there is none.
  int RecordOf(TFieldKind kind) const { return FKindRecord[Slot(kind)]; }
  // W3C: the records of the kind's W3C names, in the names' order; names missing are left out.
  const std::vector<int>& W3CRecordsOf(TFieldKind kind) const { return FW3CRecords[Slot(kind)]; }

  // Kinds outside IP .. UserAgent share the last slot, named "?".
  static constexpr int SlotCount = FieldKindCount + 1;
  static int Slot(TFieldKind kind) {
    const int k = static_cast<int>(kind);
    return k >= 0 && k < SlotCount - 1 ? k : SlotCount - 1;
  }

private:
  enum class TCheck : std::uint8_t { None, Date, Number };
  std::vector<TLogFieldDef> FFields;
  std::vector<TCheck> FChecks;
  bool FW3C = false;
  std::array<int, SlotCount> FKindRecord{-1, -1, -1, -1, -1, -1, -1, -1};
  std::array<std::vector<int>, SlotCount> FW3CRecords;
  // Splitting reads the dates of consecutive lines; the reader remembers the last one.
  mutable TLogDateReader FDates;
};
