#pragma once
// Command line of trevalo-report.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class EUsageError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct TReportOptions {
  std::vector<std::string> Files;
  bool Json = false;
  std::string CsvDir;           // empty: no CSV files
  bool CsvRaw = false;          // cells exactly, without the apostrophe before formulas
  bool Weekday = false;
  bool PerUser = false;
  std::optional<int> TimeArea;  // minutes, 1-59
  std::string SettingsFile;     // empty: the user's
  std::string ConfigDir;        // empty: config/ beside the program
  bool NoEngine = false;
  std::string LockWordsFile;
  bool Process = false;
  std::optional<std::string> MainPage;
  bool SkipBadLines = false;
  bool NoCrawlers = false;       // leave the crawlers' lines out
  bool BrowserVersions = false;  // browsers with their major versions
  bool ClassifyAgents = false;   // classify the agents of standard input; no files
  bool Help = false;
  bool Version = false;
};

// Raises EUsageError for an unknown option, a missing or invalid value, or no file.
TReportOptions ParseReportOptions(const std::vector<std::string>& arguments);
extern const char* const ReportUsage;
