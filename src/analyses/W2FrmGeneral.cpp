#include "analyses/W2FrmGeneral.h"

#include <cmath>

#include "agents/AgentClassifier.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"
#include "platform/LocalFormat.h"

namespace {

// Field positions of the three tables.
constexpr int ColCaption = 0, ColValue = 1;
constexpr int ColText = 0, ColCount = 1;

const char* const SummaryCaptions[] = {
    "Time Area",
    "Start Recording",
    "End Recording",
    "Hits",
    "Visitors",
    "Average Data Transferred per Day",
    "Average Hits per Day",
};

// Browser markers in the order they are tested; the first one found in the agent decides.
struct TBrowserMarker {
  std::string_view Marker;
  bool WithVersion;
};
constexpr TBrowserMarker BrowserMarkers[] = {
    {"Netscape", true}, {"Opera", true}, {"Konqueror", true}, {"Galeon", true},
    {"MSI", true},      {"Mosaic", false}, {"Mozilla", true},
};

}  // namespace

TGeneralAnalysis::TGeneralAnalysis(const Tglobals& globals, ILocalFormat& format, TAgentClassifier& agents)
    : kbmGeneral("kbmGeneral", {{"Description", TFieldType::String, 150}, {"Value", TFieldType::String, 150}}),
      kbmStatusCodes("kbmStatusCodes",
                     {{"statusCode", TFieldType::String, 80}, {"count", TFieldType::Integer, 0}}),
      kbmBrowser("kbmBrowser", {{"Browser", TFieldType::String, 80}, {"Count", TFieldType::Integer, 0}}),
      kbmSystem("kbmSystem", {{"System", TFieldType::String, 80}, {"Count", TFieldType::Integer, 0}}),
      kbmCrawler("kbmCrawler", {{"Crawler", TFieldType::String, 80}, {"Count", TFieldType::Integer, 0}}),
      FGlobals(globals),
      FFormat(format),
      FAgents(agents),
      FSearchUser(std::make_unique<TSearchUser>(DefaultTimeArea)) {}

std::vector<TMemTable*> TGeneralAnalysis::Tables() {
  return {&kbmGeneral, &kbmStatusCodes, &kbmBrowser, &kbmSystem, &kbmCrawler};
}

TGeneralAnalysis::~TGeneralAnalysis() = default;

void TGeneralAnalysis::CreateSearchUser(double timeArea) { FSearchUser = std::make_unique<TSearchUser>(timeArea); }

void TGeneralAnalysis::PrepareRun(double now) {
  ClearResults();
  for (TMemTable* table : Tables()) table->Open();
  for (const char* caption : SummaryCaptions) {
    kbmGeneral.Append();
    kbmGeneral.SetString(ColCaption, caption);
    kbmGeneral.Post();
  }
  for (TMemTable* table : Tables()) table->DisableControls();
  FDisplaySuspended = true;

  FStartRecording = now;
  FEndRecording = 0;
  FVisitors = 0;
  FSearchUser->ClearUsers();
  ReleaseRunLists();
}

void TGeneralAnalysis::HandleLine(const std::string& line, TDSearchPattern& parser) {
  const double dateTime = parser.GetDateTime(line);
  if (FStartRecording > dateTime) FStartRecording = dateTime;
  if (!(FEndRecording >= dateTime)) FEndRecording = dateTime;

  if (FSearchUser->IsNewVisitor(parser.GetField(line, TFieldKind::IP), dateTime)) ++FVisitors;

  CountDay(dateTime, parser.GetInt64(line, TFieldKind::Bytes));

  const std::int32_t status = parser.GetInteger(line, TFieldKind::StatusCode);
  auto statusCell = FStatusCells.find(status);
  if (statusCell == FStatusCells.end())
    statusCell = FStatusCells.emplace(status, &FStatusCodes.Cell(FGlobals.GetStatusCodeText(status))).first;
  ++*statusCell->second;

  CountAgent(parser.GetField(line, TFieldKind::UserAgent));
}

void TGeneralAnalysis::CountAgent(std::string_view agent) {
  const TAgentClassifier::TEntry& entry = FAgents.Classify(agent);
  if (entry.Id >= FAgentCells.size()) FAgentCells.resize(entry.Id + 1);
  TAgentCells& cells = FAgentCells[entry.Id];
  if (cells.Browser == nullptr) {
    cells.Browser = &FBrowsers.Cell(BrowserFamily(agent, entry.Class));
    cells.Version = &FBrowserVersions.Cell(BrowserWithVersion(agent, entry.Class));
    cells.System = &FSystems.Cell(SystemName(entry.Class));
    if (entry.Class.IsCrawler()) cells.Crawler = &FCrawlers.Cell(entry.Class.Crawler);
  }
  ++*cells.Browser;
  ++*cells.Version;
  ++*cells.System;
  if (cells.Crawler) ++*cells.Crawler;
}

std::string TGeneralAnalysis::BrowserFamily(std::string_view userAgent, const TUserAgentClass& agent) {
  return agent.Browser.empty() ? BrowserName(userAgent) : agent.Browser;
}

std::string TGeneralAnalysis::BrowserWithVersion(std::string_view userAgent, const TUserAgentClass& agent) {
  if (agent.Browser.empty()) return BrowserName(userAgent);  // it carries its version
  return agent.BrowserVersion.empty() ? agent.Browser : agent.Browser + " " + agent.BrowserVersion;
}

std::string TGeneralAnalysis::SystemName(const TUserAgentClass& agent) {
  return agent.System.empty() ? "unknown" : agent.System;
}

void TGeneralAnalysis::CheckLine(const std::string& line, TDSearchPattern& parser) {
  parser.GetDateTime(line);
  parser.GetField(line, TFieldKind::IP);
  parser.GetInt64(line, TFieldKind::Bytes);
  parser.GetInteger(line, TFieldKind::StatusCode);
  parser.GetField(line, TFieldKind::UserAgent);
}

void TGeneralAnalysis::CountDay(double dateTime, std::int64_t bytes) {
  const auto day = static_cast<std::int32_t>(std::trunc(dateTime));
  // Lines mostly come in time order: the day of the previous line is the likely one.
  if (FLastDay >= FDays.size() || FDays[FLastDay] != day) {
    FLastDay = 0;
    while (FLastDay < FDays.size() && FDays[FLastDay] != day) ++FLastDay;
    if (FLastDay == FDays.size()) {
      FDays.push_back(day);
      FBytesPerDay.push_back(0);
      FHitsPerDay.push_back(0);
    }
  }
  FBytesPerDay[FLastDay] += bytes;
  ++FHitsPerDay[FLastDay];
}

void TGeneralAnalysis::ShowResults(std::int64_t hits, std::optional<std::int64_t> crawlerHitsLeftOut) {
  if (!kbmGeneral.Active()) return;  // no run prepared since the last clear
  FShownStart = FStartRecording;
  FShownEnd = FEndRecording;
  FillSummary(hits, crawlerHitsLeftOut);
  FillCounts(kbmStatusCodes, CountsOf(FStatusCodes));
  kbmStatusCodes.OrderBy("count", true);
  FShownFamilies = CountsOf(FBrowsers);
  FShownVersions = CountsOf(FBrowserVersions);
  FillBrowsers();
  FillCounts(kbmSystem, CountsOf(FSystems));
  kbmSystem.OrderBy("Count", true);
  FillCounts(kbmCrawler, CountsOf(FCrawlers));
  kbmCrawler.OrderBy("Count", true);
  ResumeDisplay();
  ReleaseRunLists();
}

void TGeneralAnalysis::FillBrowsers() {
  kbmBrowser.DisableControls();  // one notice for the views, at the end
  kbmBrowser.Empty();
  FillCounts(kbmBrowser, FShowVersions ? FShownVersions : FShownFamilies);
  kbmBrowser.OrderBy("Count", true);
  kbmBrowser.EnableControls();
}

void TGeneralAnalysis::ShowBrowserVersions(bool versions) {
  if (versions == FShowVersions) return;
  FShowVersions = versions;
  // Shown results follow; a run under way fills the table when it ends.
  if (kbmBrowser.Active() && !FDisplaySuspended) FillBrowsers();
}

void TGeneralAnalysis::FillSummary(std::int64_t hits, std::optional<std::int64_t> crawlerHitsLeftOut) {
  const auto wholeDays = static_cast<std::int64_t>(std::trunc(std::fabs(FEndRecording - FStartRecording)));
  const std::string values[] = {
      std::to_string(wholeDays + 1) + " Day(s)",
      FFormat.FormatDateTime(FStartRecording),
      FFormat.FormatDateTime(FEndRecording),
      std::to_string(hits),
      std::to_string(FVisitors),
      FormatBytes(static_cast<std::uint64_t>(MaxOfList(FBytesPerDay)), FFormat),
      std::to_string(MaxOfList(FHitsPerDay)) + " hits",
  };
  kbmGeneral.First();
  for (const std::string& value : values) {
    if (kbmGeneral.Eof()) break;
    kbmGeneral.Edit();
    kbmGeneral.SetString(ColValue, value);
    kbmGeneral.Post();
    kbmGeneral.Next();
  }
  if (crawlerHitsLeftOut) {
    kbmGeneral.Append();
    kbmGeneral.SetString(ColCaption, CrawlersLeftOutCaption);
    kbmGeneral.SetString(ColValue, std::to_string(*crawlerHitsLeftOut));
    kbmGeneral.Post();
  }
}

TGeneralAnalysis::TCounts TGeneralAnalysis::CountsOf(const TCountedStrings& list) {
  TCounts counts;
  for (const auto& [text, count] : list.Sorted()) counts.emplace_back(std::string(text), count);
  return counts;
}

void TGeneralAnalysis::FillCounts(TMemTable& table, const TCounts& counts) {
  for (const auto& [text, count] : counts) {
    table.Append();
    table.SetString(ColText, text);
    table.SetInteger(ColCount, count);
    table.Post();
  }
}

void TGeneralAnalysis::ClearResults() {
  for (TMemTable* table : Tables())
    if (table->Active()) table->Close();
  FShownFamilies = {};
  FShownVersions = {};
  ResumeDisplay();
}

void TGeneralAnalysis::ResumeDisplay() {
  if (!FDisplaySuspended) return;
  FDisplaySuspended = false;
  for (TMemTable* table : Tables()) table->EnableControls();
}

void TGeneralAnalysis::ReleaseRunLists() {
  FDays = {};
  FBytesPerDay = {};
  FHitsPerDay = {};
  FLastDay = 0;
  FStatusCells = {};
  FAgentCells = {};
  FStatusCodes.Clear();
  for (TCountedStrings* list : {&FBrowsers, &FBrowserVersions, &FSystems, &FCrawlers}) list->Clear();
}

std::string TGeneralAnalysis::BrowserName(std::string_view userAgent) {
  for (const TBrowserMarker& browser : BrowserMarkers) {
    if (userAgent.find(browser.Marker) == std::string_view::npos) continue;
    return browser.WithVersion ? BrowserToken(userAgent, browser.Marker) : std::string(browser.Marker);
  }
  return "unknown";
}

std::string TGeneralAnalysis::BrowserToken(std::string_view userAgent, std::string_view name) {
  const std::string_view token = userAgent.substr(userAgent.find(name), 30);
  std::string result = CutVersion(token);
  // Agents that call themselves Mozilla 4 are the old Netscape browsers.
  if (result.size() >= 9 && result.compare(0, 7, "Mozilla") == 0 && result[8] == '4')
    result = "Netscape/" + result.substr(8, 3);
  return result;
}

std::string TGeneralAnalysis::CutVersion(std::string_view token) {
  const std::size_t digit = token.find_first_of("0123456789");
  if (digit == std::string_view::npos) return std::string(token);
  const std::size_t stop = token.find_first_of(". ", digit);
  if (stop == std::string_view::npos) return std::string(token);
  // One decimal place after a full stop; a space ends the version and is kept.
  return std::string(token.substr(0, token[stop] == '.' ? stop + 2 : stop + 1));
}

std::string TGeneralAnalysis::FormatBytes(std::uint64_t bytes, ILocalFormat& format) {
  // The count in a unit, to two decimals; nearbyint rounds halves to the even neighbour.
  auto inUnit = [&](double hundredthDivisor, const char* unit) {
    return format.FormatFloat(std::nearbyint(static_cast<double>(bytes) / hundredthDivisor) / 100.0) + unit;
  };
  if (bytes < 1000) return std::to_string(bytes) + " bytes";
  if (bytes < 1000000) return inUnit(10.0, " kilobytes");
  if (bytes < 1000000000) return inUnit(10000.0, " megabytes");
  return inUnit(10000000.0, " gigabytes");
}
