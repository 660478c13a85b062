#pragma once
// Short statistics: period covered, hits, visitors, busiest day, status codes and browsers of
// a run. The tab frame binds the three tables to its grids and pie; the report tool reads them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyses/CountedStrings.h"
#include "analyses/WSSearchUser.h"
#include "base/MemTable.h"
#include "base/TextHash.h"

class TDSearchPattern;
class Tglobals;
class ILocalFormat;

class TGeneralAnalysis {
public:
  TGeneralAnalysis(const Tglobals& globals, ILocalFormat& format);
  ~TGeneralAnalysis();
  TGeneralAnalysis(const TGeneralAnalysis&) = delete;
  TGeneralAnalysis& operator=(const TGeneralAnalysis&) = delete;

  TMemTable kbmGeneral;      // Description, Value: the seven summary rows
  TMemTable kbmStatusCodes;  // statusCode, count
  TMemTable kbmBrowser;      // Browser, Count

  // Replaces the visitor lookup (one with DefaultTimeArea exists from creation).
  void CreateSearchUser(double timeArea);

  // Empties the results and opens the tables with the seven captions; now is the current
  // local date-time, where the start of recording begins.
  void PrepareRun(double now);
  void HandleLine(const std::string& line, TDSearchPattern& parser);
  // Reads what HandleLine reads of the line, changing nothing: raises the errors it would.
  static void CheckLine(const std::string& line, TDSearchPattern& parser);
  // Fills the tables from the run; hits is the line count of the run's counting pass.
  void ShowResults(std::int64_t hits);
  // Empties and closes the three tables.
  void ClearResults();
  void ToggleView() {}

  // Start and end of recording as shown by the last ShowResults.
  double StartRecording() const { return FShownStart; }
  double EndRecording() const { return FShownEnd; }

  static std::string BrowserName(std::string_view userAgent);
  static std::string CutVersion(std::string_view token);
  // A byte count in bytes, kilobytes, megabytes or gigabytes (powers of 1000), two decimals
  // at most, with the user's decimal separator.
  static std::string FormatBytes(std::uint64_t bytes, ILocalFormat& format);
  // The largest entry, and 0 for an empty list or one of negative entries only.
  template <class T>
  static T MaxOfList(const std::vector<T>& list) {
    T result = 0;
    for (T value : list)
      if (value > result) result = value;
    return result;
  }

private:
  static std::string BrowserToken(std::string_view userAgent, std::string_view name);
  void CountDay(double dateTime, std::int64_t bytes);
  void FillSummary(std::int64_t hits);
  static void FillCounts(TMemTable& table, const TCountedStrings& list);
  void ReleaseRunLists();
  void ResumeDisplay();

  const Tglobals& FGlobals;
  ILocalFormat& FFormat;
  std::unique_ptr<TSearchUser> FSearchUser;
  bool FDisplaySuspended = false;

  double FStartRecording = 0;
  double FEndRecording = 0;
  double FShownStart = 0;
  double FShownEnd = 0;
  std::int32_t FVisitors = 0;
  // One entry per calendar day, in order of first appearance.
  std::vector<std::int32_t> FDays;
  std::vector<std::int64_t> FBytesPerDay;
  std::vector<std::int32_t> FHitsPerDay;
  std::size_t FLastDay = 0;  // index of the day of the previous line
  TCountedStrings FStatusCodes;
  TCountedStrings FBrowsers;
  // Counted entries by status code and by exact user-agent text, so that the status text and
  // the browser name are worked out once per distinct value.
  std::unordered_map<std::int32_t, std::int32_t*> FStatusCells;
  std::unordered_map<std::string, std::int32_t*, TExactHash, std::equal_to<>> FBrowserCells;
  // Consecutive lines mostly come from one browser: its cell is kept at hand.
  std::string FLastAgent;
  std::int32_t* FLastBrowserCell = nullptr;
};
