#include "Report.h"

#include <algorithm>
#include <memory>

#include "ConsolePlatform.h"
#include "agents/AgentClassifier.h"
#include "analyses/W2FrmGeneral.h"
#include "analyses/W2FrmTabMGrid.h"
#include "analyses/W2PopulareTime.h"
#include "analyses/W2frmAddPage.h"
#include "base/DateTime.h"
#include "base/MemTable.h"
#include "config/SettingsFile.h"
#include "config/WSGlobal.h"
#include "log/QelNewFile.h"
#include "platform/Clock.h"
#include "platform/HostLookup.h"
#include "platform/PlainLocalFormat.h"
#include "platform/ProgramDir.h"
#include "run/AnalysisRun.h"
#include "run/CombinedRun.h"

namespace {

// The tool names no hosts: every lookup is refused at once.
class TNoHostLookup : public IHostLookup {
public:
  void StartReverseLookup(const std::string&, TDone, TStartFailed failed) override { failed(); }
};

TCell CellOf(const TMemTable& table, int row, int field) {
  if (table.IsNullAt(row, field)) return std::monostate{};
  switch (table.Fields()[static_cast<std::size_t>(field)].Type) {
    case TFieldType::Integer: return std::int64_t{table.AsIntegerAt(row, field)};
    case TFieldType::Boolean: return table.AsBooleanAt(row, field);
    case TFieldType::DateTime: return IsoDateTime(table.AsDateTimeAt(row, field));
    case TFieldType::Time: return IsoTime(table.AsDateTimeAt(row, field));
    case TFieldType::String: break;
  }
  return table.AsStringAt(row, field);
}

// The visited rows of a table, with the named fields.
TReportTable TableRows(const TMemTable& table, const std::vector<std::string>& fields) {
  TReportTable result{fields, {}};
  if (!table.Active()) return result;
  std::vector<int> numbers;
  for (const auto& f : fields) numbers.push_back(table.FieldNo(f));
  result.Rows.reserve(static_cast<std::size_t>(table.RecordCount()));
  for (int row = 0; row < table.RecordCount(); ++row) {
    std::vector<TCell> cells;
    cells.reserve(numbers.size());
    for (int f : numbers) cells.push_back(CellOf(table, row, f));
    result.Rows.push_back(std::move(cells));
  }
  return result;
}

// The rows of a ranked sum in ID order; kbmSummen holds them all, hidden ones included.
TReportTable RankedRows(const TTabMGridAnalysis& analysis) {
  TReportTable table = TableRows(analysis.kbmSummen, {"ID", "Name", "Summe", "Anzeigen"});
  const auto byID = [](const auto& a, const auto& b) {
    return std::get<std::int64_t>(a[0]) < std::get<std::int64_t>(b[0]);
  };
  // The table's own order mostly is the ID order already.
  if (!std::is_sorted(table.Rows.begin(), table.Rows.end(), byID))
    std::stable_sort(table.Rows.begin(), table.Rows.end(), byID);
  return table;
}

std::vector<std::string> ReadLockWords(const std::string& path) {
  std::vector<std::string> words;
  TQelBufferedFile file;
  file.SetFileName(path);
  file.Open(omReadExisting);
  std::string line;
  while (!file.Eof()) {
    file.ReadLine(line);
    words.push_back(line);
  }
  file.Close();
  return words;
}

// Every analysis of the tool, set up as the main window sets up its tabs.
struct TAnalyses {
  TAnalyses(const Tglobals& globals, TConsoleDialogs& dialogs, IRunHost& host)
      : Run(globals, dialogs, host),
        General(globals, Format, Agents),
        Search(dialogs),
        Pages(dialogs),
        AddPage(globals, dialogs, Lookup),
        Commands(globals, Run, General, PopulareTime, Search, Pages, AddPage, Agents, NowLocal) {
    Search.CreateLists();
    Pages.CreateLists();
    AddPage.CreateTree();
    PopulareTime.CreateSearchUser(globals.GetTimeArea());
    General.CreateSearchUser(globals.GetTimeArea());
  }

  TPlainLocalFormat Format;
  TNoHostLookup Lookup;
  TAgentClassifier Agents;
  TAnalysisRun Run;
  TGeneralAnalysis General;
  TPopulareTimeAnalysis PopulareTime;
  TTabMGridAnalysis Search;
  TTabMGridAnalysis Pages;
  TAddPageAnalysis AddPage;
  TCombinedRun Commands;
};

// Everything a run uses, kept alive after the run as long as its visits may be listed.
struct TReportSession {
  explicit TReportSession(const TReportOptions& options)
      : UserSettings(options.SettingsFile.empty() ? TSettingsFile::DefaultPath() : options.SettingsFile),
        Settings(UserSettings),
        Globals(WithOverrides(Settings, options), Dialogs, ExecutableDirectory(), options.ConfigDir),
        Analyses(std::make_unique<TAnalyses>(Globals, Dialogs, Host)) {}

  // The options' values replace the user's before the globals read them.
  static TReadOnlySettings& WithOverrides(TReadOnlySettings& settings, const TReportOptions& options) {
    if (options.TimeArea) settings.Override("TimeArea", std::int32_t{*options.TimeArea});
    if (options.MainPage) settings.Override("MainPage", *options.MainPage);
    return settings;
  }

  TConsoleDialogs Dialogs;
  TSettingsFile UserSettings;
  TReadOnlySettings Settings;
  Tglobals Globals;
  TConsoleRunHost Host;
  std::unique_ptr<TAnalyses> Analyses;
};

void Collect(TAnalyses& a, TReportData& data) {
  data.Summary = TableRows(a.General.kbmGeneral, {"Description", "Value"});
  if (a.Commands.LastRunOk()) {
    data.PeriodStart = IsoDateTime(a.General.StartRecording());
    data.PeriodEnd = IsoDateTime(a.General.EndRecording());
  }
  data.StatusCodes = TableRows(a.General.kbmStatusCodes, {"statusCode", "count"});
  data.Browsers = TableRows(a.General.kbmBrowser, {"Browser", "Count"});
  data.Systems = TableRows(a.General.kbmSystem, {"System", "Count"});
  data.Crawlers = TableRows(a.General.kbmCrawler, {"Crawler", "Count"});
  if (a.Commands.LeaveOutCrawlers()) data.CrawlerHitsLeftOut = a.Run.LeftOut();
  data.Hits = TableRows(a.PopulareTime.kbmPopulareTime, {"ID", "Name", "Sum"});
  data.Search = RankedRows(a.Search);
  data.Pages = RankedRows(a.Pages);
  data.Missing = a.Run.MissingFiles();
}

// The lookup tables that could not be loaded, then what the runs warned of.
void AddWarnings(const TReportSession& session, TReportData& data) {
  for (const auto& problem : session.Globals.TableProblems())
    if (std::find(data.Warnings.begin(), data.Warnings.end(), problem) == data.Warnings.end())
      data.Warnings.push_back(problem);
  for (const auto& warning : session.Analyses->Run.Warnings()) data.Warnings.push_back(warning);
}

}  // namespace

TReportOutcome RunReport(const TReportOptions& options, TReportData& data) {
  data.Files = options.Files;
  auto session = std::make_shared<TReportSession>(options);
  TAnalyses* analyses = session->Analyses.get();
  TCombinedRun& commands = analyses->Commands;
  commands.EngineState = options.NoEngine ? 1 : 0;
  analyses->Run.SetSkipBadLines(options.SkipBadLines);
  commands.SetLeaveOutCrawlers(options.NoCrawlers);
  analyses->General.ShowBrowserVersions(options.BrowserVersions);
  try {
    commands.RunAll(options.Files, options.PerUser ? 1 : 0, options.Weekday ? 1 : 0);
    data.LineCount = commands.LastLineCount();
    if (commands.LastRunOk() && !options.LockWordsFile.empty()) {
      analyses->Search.ApplyLockWords(ReadLockWords(options.LockWordsFile), false);
      commands.LockWordsState = 1;
    }
    Collect(*analyses, data);
    AddWarnings(*session, data);
    if (!commands.LastRunOk()) return TReportOutcome::NoLogType;
    if (options.Process) {
      commands.StartProcess(options.Files);
      AddWarnings(*session, data);
      data.WithVisits = true;
      data.VisitCount = analyses->AddPage.VisitCount();
      data.ListVisit = [session](int visit, std::vector<TPathRow>& rows) {
        session->Analyses->AddPage.Visits().ListPath(visit, rows);
      };
    }
  } catch (const std::exception& e) {
    data.Ok = false;
    data.Error = e.what();
    data.LineCount = commands.LastLineCount();
    Collect(*analyses, data);
    AddWarnings(*session, data);
    return TReportOutcome::RunError;
  }
  return TReportOutcome::Ok;
}
