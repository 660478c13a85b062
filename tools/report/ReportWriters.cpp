// The outputs of trevalo-report: JSON, aligned text tables and CSV files.
#include <algorithm>
#include <cstdio>

#include "JsonWriter.h"
#include "Report.h"
#include "base/DateTime.h"
#include "base/OutputFolder.h"
#include "base/VisibleText.h"
#include "config/CsvWriter.h"

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

// A cell as a terminal shows it: control characters as escapes, with its width in columns.
struct TShownCell {
  std::string Text;
  std::size_t Width;
};

TShownCell Shown(const std::string& text) {
  std::string visible = EscapeControls(text);
  const std::size_t width = DisplayWidth(visible);
  return {std::move(visible), width};
}

void AppendTable(std::string& out, const std::string& title, const TReportTable& table) {
  out += EscapeControls(title) + "\n";
  std::vector<std::vector<TShownCell>> rows;
  rows.reserve(table.Rows.size() + 1);
  rows.emplace_back();
  for (const auto& column : table.Columns) rows.back().push_back(Shown(column));
  for (const auto& row : table.Rows) {
    rows.emplace_back();
    for (const auto& cell : row) rows.back().push_back(Shown(CellText(cell)));
  }
  std::vector<std::size_t> widths(table.Columns.size(), 0);
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].Width);
  for (const auto& row : rows) {
    out += " ";
    for (std::size_t c = 0; c < row.size(); ++c) {
      out += ' ';
      out += row[c].Text;
      if (c + 1 < row.size()) out.append(widths[c] - row[c].Width + 1, ' ');
    }
    out += "\n";
  }
  out += "\n";
}

std::vector<std::string> RowTexts(const std::vector<TCell>& row) {
  std::vector<std::string> texts;
  for (const auto& cell : row) texts.push_back(CellText(cell));
  return texts;
}

void SaveCsv(TOutputFolder& folder, const std::string& name, const TReportTable& table, TCsvCells cells) {
  TCsvWriter csv(cells);
  csv.AddRow(table.Columns);
  for (const auto& row : table.Rows) csv.AddRow(RowTexts(row));
  TOutputFile file = folder.Create(name + ".csv");
  file.Write(csv.Text());
  file.Close();
}

// Every visit's path in one table, each row with the number of its visit; written in pieces,
// as a long log has millions of rows.
void SaveVisitsCsv(TOutputFolder& folder, const TReportData& data, TCsvCells cells) {
  TOutputFile file = folder.Create("visits.csv");
  TCsvWriter csv(cells);
  csv.AddRow({"Visit", "Process", "DateTime", "TimeViewed"});
  std::vector<TPathRow> rows;
  for (int visit = 0; visit < data.VisitCount; ++visit) {
    data.ListVisit(visit, rows);
    for (const auto& row : PathTable(rows).Rows) {
      std::vector<std::string> texts{std::to_string(visit + 1)};
      for (auto& text : RowTexts(row)) texts.push_back(std::move(text));
      csv.AddRow(texts);
    }
    if (csv.Text().size() >= FlushSize) file.Write(csv.TakeText());
  }
  file.Write(csv.Text());
  file.Close();
}

}  // namespace

std::vector<std::string> ReportCsvNames() {
  std::vector<std::string> names;
  for (const TListedTable& listed : ListedTables) names.push_back(std::string(listed.File) + ".csv");
  names.push_back("visits.csv");
  return names;
}

void WriteReportCsv(const TReportData& data, TOutputFolder& folder, TCsvCells cells) {
  for (const TListedTable& listed : ListedTables) SaveCsv(folder, listed.File, data.*listed.Table, cells);
  if (data.WithVisits) SaveVisitsCsv(folder, data, cells);
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
  json.Key("warnings");
  WriteStrings(json, data.Warnings);
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
