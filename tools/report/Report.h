#pragma once
// trevalo-report: the combined analyses of the "Select All" option (and, on request, the
// visitor paths) over the files of the command line, written as text tables or JSON.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ReportOptions.h"
#include "config/CsvWriter.h"
#include "analyses/VisitList.h"

class TMemTable;
class TOutputFolder;

using TCell = std::variant<std::monostate, std::string, std::int64_t, bool>;

// Rows of one result table, its columns named as the JSON keys.
struct TReportTable {
  std::vector<std::string> Columns;
  std::vector<std::vector<TCell>> Rows;
};

struct TReportData {
  std::vector<std::string> Files;
  bool Ok = true;
  std::string Error;
  std::int64_t LineCount = 0;
  std::vector<std::string> Missing;
  // Lookup tables missing or damaged, replacement rows left out: each named once.
  std::vector<std::string> Warnings;
  TReportTable Summary;  // Description, Value
  std::string PeriodStart, PeriodEnd;
  TReportTable StatusCodes, Browsers, Systems, Crawlers, Hits, Search, Pages;
  std::optional<std::int64_t> CrawlerHitsLeftOut;  // for a run that left crawlers out
  bool WithVisits = false;
  int VisitCount = 0;
  // The path of a visit (0 <= visit < VisitCount): Process, DateTime, TimeViewed. Paths are
  // listed while the output is written rather than kept, as a long log has millions of them;
  // the analyses behind this stay alive as long as it does.
  std::function<void(int visit, std::vector<TPathRow>& rows)> ListVisit;
};

enum class TReportOutcome { Ok = 0, RunError = 1, NoLogType = 3 };

// Runs the analyses; errors of a run end up in data.Error (the outcome says which kind).
TReportOutcome RunReport(const TReportOptions& options, TReportData& data);

// --classify-agents: one user agent a line from in, one JSON object a line to out, in order:
// {"agent": ..., "browser": ..., "browserVersion": ..., "system": ..., "crawler": ...}, null
// where no rule names it. Raises for rules that do not load; false when writing failed.
bool ClassifyAgents(const TReportOptions& options, std::FILE* in, std::FILE* out);

// The outputs, written to out as they are made; false when writing failed. Text tables show
// the control characters of log fields as escapes and are padded by displayed width.
bool WriteReportJson(const TReportData& data, std::FILE* out);
bool WriteReportText(const TReportData& data, std::FILE* out);
// The names of the CSV files a set may hold, for the TOutputFolder the set is written into.
std::vector<std::string> ReportCsvNames();
// One CSV file per table into the folder's new set (not yet committed); file errors raise
// EQelFileError naming the file.
void WriteReportCsv(const TReportData& data, TOutputFolder& folder, TCsvCells cells);
