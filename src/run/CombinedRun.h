#pragma once
// The analysis commands of the main window in plain C++, so that the window and the report
// tool run the same code: the line handlers that belong to no analysis ("Search Criterion"
// and "Pages"), each tab's run, and the combined run of the "Select All" option.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analyses/PageRule.h"
#include "run/AnalysisRun.h"

class Tglobals;
class TAgentClassifier;
class TAnalysisRun;
class TDSearchPattern;
class TGeneralAnalysis;
class TPopulareTimeAnalysis;
class TTabMGridAnalysis;
class TAddPageAnalysis;

class TCombinedRun {
public:
  // now: the current local date-time, taken when the short statistics prepare a run. agents:
  // the classifier the short statistics name agents with, loaded here from the configuration
  // folder before each run that needs it.
  TCombinedRun(const Tglobals& globals, TAnalysisRun& run, TGeneralAnalysis& general,
               TPopulareTimeAnalysis& populareTime, TTabMGridAnalysis& search, TTabMGridAnalysis& pages,
               TAddPageAnalysis& addPage, TAgentClassifier& agents, std::function<double()> now);

  // State of the engine toggle: 0 while phrases carry the engine's host.
  int EngineState = 0;
  // State of the lock-words toggle: 1 while the lock words are applied.
  int LockWordsState = 0;

  void HandleSearchLine(const std::string& line, TDSearchPattern& parser);
  void HandlePageLine(const std::string& line, TDSearchPattern& parser);
  // Read what the handlers above read, changing nothing (the line check of tolerant runs).
  static void CheckSearchLine(const std::string& line, TDSearchPattern& parser);
  static void CheckPageLine(const std::string& line, TDSearchPattern& parser);

  // The start commands without the window's part (enabling, start buttons). An error that
  // leaves the run driver skips the remaining steps and reaches the caller.
  void StartGeneral(const std::vector<std::string>& files);
  void StartPopulareTime(const std::vector<std::string>& files, int analyseIndex, int chooseIndex);
  void StartSearch(const std::vector<std::string>& files);
  void StartPages(const std::vector<std::string>& files);
  void StartProcess(const std::vector<std::string>& files);
  void RunAll(const std::vector<std::string>& files, int analyseIndex, int chooseIndex);

  // Sets the lock-words state off (the lock words are not applied).
  void LockWordsReset() { LockWordsState = 0; }

  // People only: every run leaves the lines of crawlers out, before any handler sees them, and
  // the short statistics say how many. The rules are loaded when a run starts; a data file or
  // user table that does not load is an error then, and nothing runs. Notes on rows of the
  // user's table that were skipped are shown as warnings. Logs without user agents leave
  // nothing out.
  void SetLeaveOutCrawlers(bool on) { FLeaveOutCrawlers = on; }
  bool LeaveOutCrawlers() const { return FLeaveOutCrawlers; }
  // Whether a line's agent is a crawler's; false for a log without agents. Reads the field.
  bool IsCrawlerLine(const std::string& line, TDSearchPattern& parser);

  // Result of the driver and line count of the last run.
  bool LastRunOk() const { return FLastOk; }
  std::int64_t LastLineCount() const { return FLastLineCount; }

private:
  // check: what the handlers read of a line (see TAnalysisRun::SetLineCheck).
  bool Run(const std::vector<TLineHandler>& handlers, TLineHandler check, const std::vector<std::string>& files);
  // Loads the agent rules for a run that names agents or leaves crawlers out.
  void PrepareAgents(bool namesAgents);
  std::optional<std::int64_t> CrawlerHitsLeftOut() const;

  const Tglobals& FGlobals;
  TAnalysisRun& FRun;
  TGeneralAnalysis& FGeneral;
  TPopulareTimeAnalysis& FPopulareTime;
  TTabMGridAnalysis& FSearch;
  TTabMGridAnalysis& FPages;
  TAddPageAnalysis& FAddPage;
  TAgentClassifier& FAgents;
  std::function<double()> FNow;
  bool FLeaveOutCrawlers = false;
  TNotShownFilter FNotShown;  // while "Pages" runs, alone or combined
  bool FLastOk = false;
  std::int64_t FLastLineCount = 0;
};
