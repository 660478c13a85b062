// The outputs of trevalo-report: JSON, aligned text tables and CSV files.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "config/CsvWriter.h"
#include "log/QelNewFile.h"

#include "JsonWriter.h"
#include "Report.h"
#include "base/DateTime.h"

namespace {

// Output is handed on in pieces of about this size, so that it is never held whole.
constexpr std::size_t FlushSize = 1 << 20;

// The tables every output holds, with their CSV file names and their titles as text.
struct TListedTable {
  const char* File;
  const char* Title;
  TReportTable TReportData::*Table;
};
constexpr TListedTable ListedTables[] = {
    {"summary", "Short Statistics", &TReportData::Summary}, {"statusCodes", "Status codes", &TReportData::StatusCodes},
    {"browsers", "Browsers", &TReportData::Browsers},      {"systems", "Systems", &TReportData::Systems},
    {"crawlers", "Crawlers", &TReportData::Crawlers},      {"hits", "Hits per..", &TReportData::Hits},
    {"search", "Search Criterion", &TReportData::Search},  {"pages", "Pages", &TReportData::Pages},
};

bool Flush(std::string& text, std::FILE* out) {
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  text.clear();
  return written;
}

void WriteCell(TJsonWriter& json, const TCell& cell) {
  if (const auto* s = std::get_if<std::string>(&cell))
    json.String(*s);
  else if (const auto* i = std::get_if<std::int64_t>(&cell))
    json.Integer(*i);
  else if (const auto* b = std::get_if<bool>(&cell))
    json.Boolean(*b);
  else
    json.Null();
}

void WriteRows(TJsonWriter& json, const TReportTable& table) {
  json.BeginArray();
  for (const auto& row : table.Rows) {
    json.BeginObject();
    for (std::size_t c = 0; c < table.Columns.size(); ++c) {
      json.Key(table.Columns[c]);
      WriteCell(json, row[c]);
    }
    json.EndObject();
  }
  json.EndArray();
}

void WriteStrings(TJsonWriter& json, const std::vector<std::string>& texts) {
  json.BeginArray();
  for (const auto& text : texts) json.String(text);
  json.EndArray();
}

std::string CellText(const TCell& cell) {
  if (const auto* s = std::get_if<std::string>(&cell)) return *s;
  if (const auto* i = std::get_if<std::int64_t>(&cell)) return std::to_string(*i);
  if (const auto* b = std::get_if<bool>(&cell)) return *b ? "1" : "0";
  return "";
}

void WritePath(TJsonWriter& json, const std::vector<TPathRow>& rows, std::string& time) {
  json.BeginArray();
  for (const TPathRow& row : rows) {
    json.BeginObject();
    json.Key("Process");
    json.String(row.Text);
    json.Key("DateTime");
    time.clear();
    AppendIsoDateTime(time, row.Time);
    json.String(time);
    json.Key("TimeViewed");
    if (row.HasTimeViewed) {
      time.clear();
      AppendIsoTime(time, row.TimeViewed);
      json.String(time);
    } else {
      json.Null();
    }
    json.EndObject();
  }
  json.EndArray();
}

// The visits, listed one after the other; out is written and emptied on the way.
bool WriteVisits(TJsonWriter& json, const TReportData& data, std::string& out, std::FILE* file) {
  bool written = true;
  std::vector<TPathRow> rows;
  std::string time;
  json.BeginArray();
  for (int visit = 0; visit < data.VisitCount; ++visit) {
    data.ListVisit(visit, rows);
    json.BeginObject();
    json.Key("address");
    json.String(rows.empty() ? std::string_view() : rows[0].Text);
    json.Key("start");
    time.clear();
    if (!rows.empty()) AppendIsoDateTime(time, rows[0].Time);
    json.String(time);
    json.Key("path");
    WritePath(json, rows, time);
    json.EndObject();
    if (out.size() >= FlushSize) written = Flush(out, file) && written;
  }
  json.EndArray();
  return written;
}

TReportTable PathTable(const std::vector<TPathRow>& rows) {
  TReportTable table{{"Process", "DateTime", "TimeViewed"}, {}};
  for (const TPathRow& row : rows)
    table.Rows.push_back({std::string(row.Text), IsoDateTime(row.Time),
                          row.HasTimeViewed ? TCell(IsoTime(row.TimeViewed)) : TCell(std::monostate{})});
  return table;
}

void AppendTable(std::string& out, const std::string& title, const TReportTable& table) {
  out += title + "\n";
  std::vector<std::size_t> widths;
  for (const auto& column : table.Columns) widths.push_back(column.size());
  for (const auto& row : table.Rows)
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], CellText(row[c]).size());
  auto appendRow = [&](const std::vector<std::string>& cells) {
    std::string line = " ";
    for (std::size_t c = 0; c < cells.size(); ++c) {
      line += ' ' + cells[c];
      if (c + 1 < cells.size()) line.append(widths[c] - cells[c].size() + 1, ' ');
    }
    out += line + "\n";
  };
  appendRow(table.Columns);
  for (const auto& row : table.Rows) {
    std::vector<std::string> cells;
    for (const auto& cell : row) cells.push_back(CellText(cell));
    appendRow(cells);
  }
  out += "\n";
}

std::vector<std::string> RowTexts(const std::vector<TCell>& row) {
  std::vector<std::string> texts;
  for (const auto& cell : row) texts.push_back(CellText(cell));
  return texts;
}

void SaveCsv(const std::string& folder, const std::string& name, const TReportTable& table) {
  TCsvWriter csv;
  csv.AddRow(table.Columns);
  for (const auto& row : table.Rows) csv.AddRow(RowTexts(row));
  csv.SaveToFile((std::filesystem::path(folder) / (name + ".csv")).string());
}

// Every visit's path in one table, each row with the number of its visit.
void SaveVisitsCsv(const std::string& folder, const TReportData& data) {
  TCsvWriter csv;
  csv.AddRow({"Visit", "Process", "DateTime", "TimeViewed"});
  std::vector<TPathRow> rows;
  for (int visit = 0; visit < data.VisitCount; ++visit) {
    data.ListVisit(visit, rows);
    for (const auto& row : PathTable(rows).Rows) {
      std::vector<std::string> texts{std::to_string(visit + 1)};
      for (auto& text : RowTexts(row)) texts.push_back(std::move(text));
      csv.AddRow(texts);
    }
  }
  csv.SaveToFile((std::filesystem::path(folder) / "visits.csv").string());
}

}  // namespace

void WriteReportCsv(const TReportData& data, const std::string& folder) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec) throw EQelFileError("cannot create folder " + folder);
  for (const TListedTable& listed : ListedTables) SaveCsv(folder, listed.File, data.*listed.Table);
  if (data.WithVisits) SaveVisitsCsv(folder, data);
}

bool WriteReportJson(const TReportData& data, std::FILE* file) {
  std::string out;
  TJsonWriter json(out);
  bool written = true;
  json.BeginObject();
  json.Key("files");
  WriteStrings(json, data.Files);
  json.Key("ok");
  json.Boolean(data.Ok);
  json.Key("error");
  if (data.Ok) json.Null(); else json.String(data.Error);
  json.Key("lineCount");
  json.Integer(data.LineCount);
  json.Key("crawlerHitsLeftOut");
  if (data.CrawlerHitsLeftOut) json.Integer(*data.CrawlerHitsLeftOut); else json.Null();
  json.Key("missing");
  WriteStrings(json, data.Missing);
  json.Key("general");
  json.BeginObject();
  json.Key("summary");
  WriteRows(json, data.Summary);
  json.Key("period");
  json.BeginObject();
  json.Key("start");
  if (data.PeriodStart.empty()) json.Null(); else json.String(data.PeriodStart);
  json.Key("end");
  if (data.PeriodEnd.empty()) json.Null(); else json.String(data.PeriodEnd);
  json.EndObject();
  json.Key("statusCodes");
  WriteRows(json, data.StatusCodes);
  json.Key("browsers");
  WriteRows(json, data.Browsers);
  json.Key("systems");
  WriteRows(json, data.Systems);
  json.Key("crawlers");
  WriteRows(json, data.Crawlers);
  json.EndObject();
  json.Key("hits");
  WriteRows(json, data.Hits);
  json.Key("search");
  WriteRows(json, data.Search);
  json.Key("pages");
  WriteRows(json, data.Pages);
  if (data.WithVisits) {
    json.Key("visits");
    written = WriteVisits(json, data, out, file);
  }
  json.EndObject();
  return Flush(out, file) && written;
}

bool WriteReportText(const TReportData& data, std::FILE* file) {
  std::string out;
  bool written = true;
  out += "Lines: " + std::to_string(data.LineCount) + "\n\n";
  for (const TListedTable& listed : ListedTables) AppendTable(out, listed.Title, data.*listed.Table);
  std::vector<TPathRow> rows;
  for (int visit = 0; data.WithVisits && visit < data.VisitCount; ++visit) {
    data.ListVisit(visit, rows);
    const TReportTable path = PathTable(rows);
    const std::string address = rows.empty() ? std::string() : std::string(rows[0].Text);
    const std::string start = rows.empty() ? std::string() : IsoDateTime(rows[0].Time);
    AppendTable(out, "Visit of " + address + " at " + start, path);
    if (out.size() >= FlushSize) written = Flush(out, file) && written;
  }
  return Flush(out, file) && written;
}
