#include "analyses/W2FrmGeneral.h"

#include <cmath>

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

TGeneralAnalysis::TGeneralAnalysis(const Tglobals& globals, ILocalFormat& format)
    : kbmGeneral("kbmGeneral", {{"Description", TFieldType::String, 150}, {"Value", TFieldType::String, 150}}),
      kbmStatusCodes("kbmStatusCodes",
                     {{"statusCode", TFieldType::String, 80}, {"count", TFieldType::Integer, 0}}),
      kbmBrowser("kbmBrowser", {{"Browser", TFieldType::String, 80}, {"Count", TFieldType::Integer, 0}}),
      FGlobals(globals),
      FFormat(format),
      FSearchUser(std::make_unique<TSearchUser>(DefaultTimeArea)) {}

TGeneralAnalysis::~TGeneralAnalysis() = default;

void TGeneralAnalysis::CreateSearchUser(double timeArea) { FSearchUser = std::make_unique<TSearchUser>(timeArea); }

void TGeneralAnalysis::PrepareRun(double now) {
  ClearResults();
  for (TMemTable* table : {&kbmGeneral, &kbmStatusCodes, &kbmBrowser}) table->Open();
  for (const char* caption : SummaryCaptions) {
    kbmGeneral.Append();
    kbmGeneral.SetString(ColCaption, caption);
    kbmGeneral.Post();
  }
  for (TMemTable* table : {&kbmGeneral, &kbmStatusCodes, &kbmBrowser}) table->DisableControls();
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

  const std::string_view agent = parser.GetField(line, TFieldKind::UserAgent);
  if (FLastBrowserCell == nullptr || agent != FLastAgent) {
    auto browserCell = FBrowserCells.find(agent);
    if (browserCell == FBrowserCells.end())
      browserCell = FBrowserCells.emplace(std::string(agent), &FBrowsers.Cell(BrowserName(agent))).first;
    FLastAgent.assign(agent);
    FLastBrowserCell = browserCell->second;
  }
  ++*FLastBrowserCell;
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

void TGeneralAnalysis::ShowResults(std::int64_t hits) {
  if (!kbmGeneral.Active()) return;  // no run prepared since the last clear
  FShownStart = FStartRecording;
  FShownEnd = FEndRecording;
  FillSummary(hits);
  FillCounts(kbmStatusCodes, FStatusCodes);
  kbmStatusCodes.OrderBy("count", true);
  FillCounts(kbmBrowser, FBrowsers);
  kbmBrowser.OrderBy("Count", true);
  ResumeDisplay();
  ReleaseRunLists();
}

void TGeneralAnalysis::FillSummary(std::int64_t hits) {
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
}

void TGeneralAnalysis::FillCounts(TMemTable& table, const TCountedStrings& list) {
  for (const auto& [text, count] : list.Sorted()) {
    table.Append();
    table.SetString(ColText, text);
    table.SetInteger(ColCount, count);
    table.Post();
  }
}

void TGeneralAnalysis::ClearResults() {
  for (TMemTable* table : {&kbmGeneral, &kbmStatusCodes, &kbmBrowser})
    if (table->Active()) table->Close();
  ResumeDisplay();
}

void TGeneralAnalysis::ResumeDisplay() {
  if (!FDisplaySuspended) return;
  FDisplaySuspended = false;
  for (TMemTable* table : {&kbmGeneral, &kbmStatusCodes, &kbmBrowser}) table->EnableControls();
}

void TGeneralAnalysis::ReleaseRunLists() {
  FDays = {};
  FBytesPerDay = {};
  FHitsPerDay = {};
  FLastDay = 0;
  FStatusCells = {};
  FBrowserCells = {};
  FLastAgent = {};
  FLastBrowserCell = nullptr;
  FStatusCodes.Clear();
  FBrowsers.Clear();
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
