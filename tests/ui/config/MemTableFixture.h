#pragma once
// A small result table for the model and delegate tests.
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/DateTime.h"
#include "base/MemTable.h"

namespace uitest {

struct TRow {
  TRow(std::string name, int hits, bool shown = false, std::optional<double> stamp = std::nullopt, double viewed = 0)
      : Name(std::move(name)), Hits(hits), Shown(shown), Stamp(stamp), Viewed(viewed) {}
  std::string Name;
  int Hits;
  bool Shown;
  std::optional<double> Stamp;  // nothing: the field stays without a value
  double Viewed;
};

inline std::unique_ptr<TMemTable> MakeTable() {
  auto table = std::make_unique<TMemTable>("kbmChart", std::vector<TFieldDef>{
                                                           {"Name", TFieldType::String, 40},
                                                           {"Hits", TFieldType::Integer},
                                                           {"Shown", TFieldType::Boolean},
                                                           {"Stamp", TFieldType::DateTime},
                                                           {"Viewed", TFieldType::Time},
                                                       });
  table->Open();
  return table;
}

inline void AddRow(TMemTable& table, const TRow& row) {
  table.Append();
  table.SetString(0, row.Name);
  table.SetInteger(1, row.Hits);
  table.SetBoolean(2, row.Shown);
  if (row.Stamp) table.SetDateTime(3, *row.Stamp);
  table.SetDateTime(4, row.Viewed);
  table.Post();
}

inline double DateTimeOf(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  double date = 0;
  TryEncodeDate(year, month, day, date);
  return date + EncodeTime(hour, minute, second);
}

}  // namespace uitest
