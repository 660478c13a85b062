#include "run/CombinedRun.h"

#include "agents/AgentClassifier.h"
#include "analyses/SearchLine.h"
#include "analyses/W2FrmGeneral.h"
#include "analyses/W2FrmTabMGrid.h"
#include "analyses/W2PopulareTime.h"
#include "analyses/W2frmAddPage.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "run/AnalysisRun.h"

namespace {

// Releases the not-shown list however the run ends.
class TNotShownScope {
public:
  TNotShownScope(TNotShownFilter& filter, const Tglobals& globals) : FFilter(filter) {
    FFilter = TNotShownFilter(globals.LoadNotShownList());
  }
  ~TNotShownScope() { FFilter = TNotShownFilter(); }
  TNotShownScope(const TNotShownScope&) = delete;
  TNotShownScope& operator=(const TNotShownScope&) = delete;

private:
  TNotShownFilter& FFilter;
};

}  // namespace

TCombinedRun::TCombinedRun(const Tglobals& globals, TAnalysisRun& run, TGeneralAnalysis& general,
                           TPopulareTimeAnalysis& populareTime, TTabMGridAnalysis& search,
                           TTabMGridAnalysis& pages, TAddPageAnalysis& addPage, TAgentClassifier& agents,
                           std::function<double()> now)
    : FGlobals(globals),
      FRun(run),
      FGeneral(general),
      FPopulareTime(populareTime),
      FSearch(search),
      FPages(pages),
      FAddPage(addPage),
      FAgents(agents),
      FNow(std::move(now)) {}

bool TCombinedRun::IsCrawlerLine(const std::string& line, TDSearchPattern& parser) {
  return parser.HasField(TFieldKind::UserAgent) &&
         FAgents.Classify(parser.GetField(line, TFieldKind::UserAgent)).Class.IsCrawler();
}

void TCombinedRun::PrepareAgents(bool namesAgents) {
  if (!namesAgents && !FLeaveOutCrawlers) return;
  std::vector<std::string> notes;
  FAgents.Refresh(FGlobals.ConfigDir(), notes);
  for (const std::string& note : notes) FGlobals.Dialogs().ShowWarning(note);
}

std::optional<std::int64_t> TCombinedRun::CrawlerHitsLeftOut() const {
  return FLeaveOutCrawlers ? std::optional<std::int64_t>(FRun.LeftOut()) : std::nullopt;
}

void TCombinedRun::HandleSearchLine(const std::string& line, TDSearchPattern& parser) {
  const std::string phrase = SearchPhraseOfLine(line, parser, EngineState == 0);
  if (!phrase.empty()) FSearch.AddValue(phrase);
}

void TCombinedRun::HandlePageLine(const std::string& line, TDSearchPattern& parser) {
  const std::string_view request = parser.GetField(line, TFieldKind::Request);
  if (FNotShown.Hides(request)) return;
  FPages.AddValue(PageOfRequest(request));
}

void TCombinedRun::CheckSearchLine(const std::string& line, TDSearchPattern& parser) { ::CheckSearchLine(line, parser); }

void TCombinedRun::CheckPageLine(const std::string& line, TDSearchPattern& parser) {
  parser.GetField(line, TFieldKind::Request);
}

bool TCombinedRun::Run(const std::vector<TLineHandler>& handlers, TLineHandler check,
                       const std::vector<std::string>& files) {
  FLastOk = false;
  FLastLineCount = 0;
  if (FLeaveOutCrawlers) {
    // The filter reads the agent: a tolerant run's check must read it too.
    FRun.SetLineCheck([check = std::move(check)](const std::string& line, TDSearchPattern& parser) {
      if (check) check(line, parser);
      if (parser.HasField(TFieldKind::UserAgent)) parser.GetField(line, TFieldKind::UserAgent);
    });
    FRun.SetLineFilter([this](const std::string& line, TDSearchPattern& parser) { return !IsCrawlerLine(line, parser); });
  } else {
    FRun.SetLineCheck(std::move(check));
    FRun.SetLineFilter(nullptr);
  }
  FLastOk = FRun.RunAnalysis(handlers, FLastLineCount, files);
  return FLastOk;
}

void TCombinedRun::StartGeneral(const std::vector<std::string>& files) {
  PrepareAgents(true);
  FGeneral.PrepareRun(FNow());
  auto handler = [this](const std::string& line, TDSearchPattern& parser) { FGeneral.HandleLine(line, parser); };
  if (Run({handler}, TGeneralAnalysis::CheckLine, files)) FGeneral.ShowResults(FLastLineCount, CrawlerHitsLeftOut());
}

void TCombinedRun::StartPopulareTime(const std::vector<std::string>& files, int analyseIndex, int chooseIndex) {
  PrepareAgents(false);
  FPopulareTime.PrepareRun(analyseIndex, chooseIndex);
  Run({[this](const std::string& line, TDSearchPattern& parser) { FPopulareTime.HandleLine(line, parser); }},
      TPopulareTimeAnalysis::CheckLine, files);
  FPopulareTime.FinishRun();
}

void TCombinedRun::StartSearch(const std::vector<std::string>& files) {
  PrepareAgents(false);
  LockWordsReset();
  FSearch.PrepareRun();
  Run({[this](const std::string& line, TDSearchPattern& parser) { HandleSearchLine(line, parser); }}, CheckSearchLine,
      files);
  FSearch.FinishRun();
}

void TCombinedRun::StartPages(const std::vector<std::string>& files) {
  PrepareAgents(false);
  LockWordsReset();
  FPages.PrepareRun();
  TNotShownScope notShown(FNotShown, FGlobals);
  Run({[this](const std::string& line, TDSearchPattern& parser) { HandlePageLine(line, parser); }}, CheckPageLine,
      files);
  FPages.FinishRun();
}

void TCombinedRun::StartProcess(const std::vector<std::string>& files) {
  PrepareAgents(false);
  FAddPage.PrepareRun();
  Run({[this](const std::string& line, TDSearchPattern& parser) { FAddPage.HandleLine(line, parser); }},
      [this](const std::string& line, TDSearchPattern& parser) { FAddPage.CheckLine(line, parser); }, files);
  FAddPage.FinishRun();
}

void TCombinedRun::RunAll(const std::vector<std::string>& files, int analyseIndex, int chooseIndex) {
  const std::vector<TLineHandler> handlers = {
      [this](const std::string& line, TDSearchPattern& parser) { FGeneral.HandleLine(line, parser); },
      [this](const std::string& line, TDSearchPattern& parser) { FPopulareTime.HandleLine(line, parser); },
      [this](const std::string& line, TDSearchPattern& parser) { HandleSearchLine(line, parser); },
      [this](const std::string& line, TDSearchPattern& parser) { HandlePageLine(line, parser); },
  };
  PrepareAgents(true);
  LockWordsReset();
  FGeneral.PrepareRun(FNow());
  FPopulareTime.PrepareRun(analyseIndex, chooseIndex);
  FSearch.PrepareRun();
  TNotShownScope notShown(FNotShown, FGlobals);
  FPages.PrepareRun();
  auto check = [](const std::string& line, TDSearchPattern& parser) {
    TGeneralAnalysis::CheckLine(line, parser);
    TPopulareTimeAnalysis::CheckLine(line, parser);
    CheckSearchLine(line, parser);
    CheckPageLine(line, parser);
  };
  if (Run(handlers, check, files)) FGeneral.ShowResults(FLastLineCount, CrawlerHitsLeftOut());
  FPopulareTime.FinishRun();
  FSearch.FinishRun();
  FPages.FinishRun();
}
