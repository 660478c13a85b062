// The table file reader over arbitrary bytes, into each kind of table the system keeps in
// such files. A table that loaded must write out and read back to the same records; a
// replacement table's rows, applied to referrers as a cascade, must keep to its bound.
//
// Input: byte 0 picks the table, the rest is the file.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/MemTable.h"
#include "base/TableFile.h"
#include "base/TextFunctions.h"
#include "log/QelNewFile.h"

namespace {

using fuzzsupport::Fail;

std::vector<TFieldDef> FieldsFor(std::uint8_t pick) {
  switch (pick % 6) {
    case 0: return {{"Name", TFieldType::String, 15}, {"LeftChar", TFieldType::String, 1}, {"RightChar", TFieldType::String, 1}};
    case 1: return {{"Index", TFieldType::Integer, 0}, {"Text", TFieldType::String, 80}};
    case 2: return {{"hexChar", TFieldType::String, 1}, {"search", TFieldType::String, 50}, {"replace", TFieldType::String, 50}};
    case 3: return {{"spareText", TFieldType::String, 50}};
    case 4: return {{"machine", TFieldType::String, 0}, {"text", TFieldType::String, 0}};
    default:
      return {{"Text", TFieldType::String, 0}, {"Count", TFieldType::Integer, 0}, {"Seen", TFieldType::Boolean, 0},
              {"When", TFieldType::DateTime, 0}, {"Time", TFieldType::Time, 0}};
  }
}

// The records with a value, as text. A record without any value is written as an empty line,
// which the reader passes over like every blank line; nothing is lost with it.
std::vector<std::string> Records(TMemTable& table) {
  std::vector<std::string> records;
  for (int r = 0; r < table.RecordCount(); ++r) {
    std::string record;
    bool any = false;
    for (int f = 0; f < table.FieldCount(); ++f) {
      any = any || !table.IsNullAt(r, f);
      record += table.IsNullAt(r, f) ? std::string("<null>") : "[" + table.AsStringAt(r, f) + "]";
      record += '|';
    }
    if (any) records.push_back(std::move(record));
  }
  return records;
}

// The rows of a replacement table over referrers that they may feed on.
void ApplyAsReplacements(TMemTable& table) {
  std::vector<TReplaceRow> rows;
  const auto text = [&table](int r, int f) { return table.IsNullAt(r, f) ? std::string() : table.AsStringAt(r, f); };
  for (int r = 0; r < table.RecordCount(); ++r) rows.push_back({text(r, 0), text(r, 1), text(r, 2)});
  for (const std::string& referrer : {std::string("http://www.google.com/search?q=a+b%20c&x=%41"),
                                      "http://www.google.com/search?q=" + std::string(2000, 'a')}) {
    std::vector<bool> stopped;
    if (ApplyReplaceTable(referrer, rows, &stopped).size() > referrer.size() + MaxReplacementGrowth)
      Fail("the replacement cascade outgrew its bound");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string path = fuzzsupport::WorkDir() + "input.lac";
  const std::string copy = fuzzsupport::WorkDir() + "copy.lac";
  fuzzsupport::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

  TMemTable table("kbmFuzz", FieldsFor(data[0]));
  table.Open();
  try {
    LoadTableFile(table, path);
  } catch (const ETableFileError&) {
    // The records before the bad value stay and must still write out and read back.
  } catch (const EQelFileError&) {
    return 0;
  }

  if (data[0] % 6 == 2) ApplyAsReplacements(table);
  SaveTableFile(table, copy);
  TMemTable again("kbmFuzz", FieldsFor(data[0]));
  again.Open();
  LoadTableFile(again, copy);
  if (Records(again) != Records(table)) Fail("a saved table reads back with other records");
  return 0;
}
