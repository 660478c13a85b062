#pragma once
// Short statistics: period covered, hits, visitors, busiest day, status codes, and the
// browsers, operating systems and crawlers of a run. The tab frame binds the tables to its
// grids and pies; the report tool reads them.
//
// Agents are named by the classifier (agents/AgentClassifier.h), which works each distinct
// agent out once; a line costs its lookup there and an index into this run's counts of that
// agent. Browsers are counted by family ("Chrome"), and at the same time by family and major
// version ("Chrome 120"), which ShowBrowserVersions switches to; an agent that no rule names a
// browser for counts under BrowserName.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyses/CountedStrings.h"
#include "analyses/WSSearchUser.h"
#include "base/MemTable.h"

class TDSearchPattern;
class Tglobals;
class ILocalFormat;
class TAgentClassifier;
struct TUserAgentClass;

// The caption of the summary row that a run leaving out crawlers adds.
inline constexpr const char* CrawlersLeftOutCaption = "Crawler Hits Left Out";

class TGeneralAnalysis {
public:
  TGeneralAnalysis(const Tglobals& globals, ILocalFormat& format, TAgentClassifier& agents);
  ~TGeneralAnalysis();
  TGeneralAnalysis(const TGeneralAnalysis&) = delete;
  TGeneralAnalysis& operator=(const TGeneralAnalysis&) = delete;

  TMemTable kbmGeneral;      // Description, Value: the seven summary rows
  TMemTable kbmStatusCodes;  // statusCode, count
  TMemTable kbmBrowser;      // Browser, Count: families, or families with versions
  TMemTable kbmSystem;       // System, Count
  TMemTable kbmCrawler;      // Crawler, Count: the crawlers' lines only

  // Replaces the visitor lookup (one with DefaultTimeArea exists from creation).
  void CreateSearchUser(double timeArea);

  // Empties the results and opens the tables with the seven captions; now is the current
  // local date-time, where the start of recording begins.
  void PrepareRun(double now);
  void HandleLine(const std::string& line, TDSearchPattern& parser);
  // Reads what HandleLine reads of the line, changing nothing: raises the errors it would.
  static void CheckLine(const std::string& line, TDSearchPattern& parser);
  // Fills the tables from the run; hits is the line count of the run's counting pass.
  // crawlerHitsLeftOut, for a run that left crawlers out: their count, shown in a row added
  // to the seven.
  void ShowResults(std::int64_t hits, std::optional<std::int64_t> crawlerHitsLeftOut = std::nullopt);
  // Empties and closes the tables.
  void ClearResults();
  // Browsers by family, or by family and major version; the shown results follow at once.
  void ShowBrowserVersions(bool versions);
  bool ShowsBrowserVersions() const { return FShowVersions; }
  void ToggleView() { ShowBrowserVersions(!FShowVersions); }

  // Start and end of recording as shown by the last ShowResults.
  double StartRecording() const { return FShownStart; }
  double EndRecording() const { return FShownEnd; }

  static std::string BrowserName(std::string_view userAgent);
  // The names the short statistics count an agent under.
  static std::string BrowserFamily(std::string_view userAgent, const TUserAgentClass& agent);
  static std::string BrowserWithVersion(std::string_view userAgent, const TUserAgentClass& agent);
  static std::string SystemName(const TUserAgentClass& agent);
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
  using TCounts = std::vector<std::pair<std::string, std::int32_t>>;
  // This run's counts of one distinct agent, by the classifier's number for it.
  struct TAgentCells {
    std::int32_t* Browser = nullptr;
    std::int32_t* Version = nullptr;
    std::int32_t* System = nullptr;
    std::int32_t* Crawler = nullptr;  // null for an agent that is no crawler
  };

  static std::string BrowserToken(std::string_view userAgent, std::string_view name);
  void CountDay(double dateTime, std::int64_t bytes);
  void CountAgent(std::string_view agent);
  void FillSummary(std::int64_t hits, std::optional<std::int64_t> crawlerHitsLeftOut);
  static void FillCounts(TMemTable& table, const TCounts& counts);
  static TCounts CountsOf(const TCountedStrings& list);
  void FillBrowsers();
  void ReleaseRunLists();
  void ResumeDisplay();
  std::vector<TMemTable*> Tables();

  const Tglobals& FGlobals;
  ILocalFormat& FFormat;
  TAgentClassifier& FAgents;
  std::unique_ptr<TSearchUser> FSearchUser;
  bool FDisplaySuspended = false;
  bool FShowVersions = false;
  // The browsers of the last results, both ways, for switching between them.
  TCounts FShownFamilies, FShownVersions;

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
  TCountedStrings FBrowsers, FBrowserVersions, FSystems, FCrawlers;
  // Counted entries by status code, so that the status text is worked out once per code.
  std::unordered_map<std::int32_t, std::int32_t*> FStatusCells;
  std::vector<TAgentCells> FAgentCells;
};
