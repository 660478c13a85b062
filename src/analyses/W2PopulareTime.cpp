#include "analyses/W2PopulareTime.h"

#include <charconv>

#include "base/DateTime.h"
#include "config/WSGlobal.h"
#include "log/W2SearchPat.h"

namespace {

constexpr int ColID = 0, ColName = 1, ColSum = 2;

// Indexed by ISO day of the week less 1.
const char* const WeekdayNames[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

// Decimal text of an hour, 0 to 23, without allocating.
std::string_view HourText(int hour, char (&buffer)[4]) {
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, hour);
  return {buffer, static_cast<std::size_t>(result.ptr - buffer)};
}

}  // namespace

TPopulareTimeAnalysis::TPopulareTimeAnalysis()
    : kbmPopulareTime("kbmPopulareTime",
                      {{"ID", TFieldType::Integer, 0}, {"Name", TFieldType::String, 15}, {"Sum", TFieldType::Integer, 0}},
                      "ID"),
      FSearchUser(std::make_unique<TSearchUser>(DefaultTimeArea)) {}

TPopulareTimeAnalysis::~TPopulareTimeAnalysis() = default;

const std::vector<std::string>& TPopulareTimeAnalysis::ChooseItems() {
  static const std::vector<std::string> items{"most popular hour of the day", "most popular day of the week"};
  return items;
}

const std::vector<std::string>& TPopulareTimeAnalysis::AnalyseItems() {
  static const std::vector<std::string> items{"all hits", "per user"};
  return items;
}

void TPopulareTimeAnalysis::CreateSearchUser(double timeArea) {
  FSearchUser = std::make_unique<TSearchUser>(timeArea);
}

void TPopulareTimeAnalysis::PrepareRun(int analyseIndex, int chooseIndex) {
  if (kbmPopulareTime.Active()) kbmPopulareTime.Close();
  if (!FDisplaySuspended) {
    kbmPopulareTime.DisableControls();
    FDisplaySuspended = true;
  }
  kbmPopulareTime.Open();

  FWeekdayRowsPending = true;
  FNames.Clear();
  FHourCells = {};
  FWeekdayCells = {};
  FSearchUser->ClearUsers();
  FPerUser = analyseIndex == 1;
  if (chooseIndex == 1)
    FMode = 1;  // the weekday rows wait for the first counted line
  else
    AddHourRows();
}

void TPopulareTimeAnalysis::AddHourRows() {
  char buffer[4];
  for (int hour = 0; hour < 24; ++hour) CountName(HourText(hour, buffer), true);
  for (int hour = 0; hour < 24; ++hour) FHourCells[static_cast<std::size_t>(hour)] = FNames.Find(HourText(hour, buffer));
  FMode = 0;
}

void TPopulareTimeAnalysis::AddWeekdayRows(int isoDay) {
  // The weekday of the first counted line comes first, the others follow in calendar order.
  for (int i = 0; i < 7; ++i) CountName(WeekdayNames[(isoDay - 1 + i) % 7], true);
  for (int i = 0; i < 7; ++i) FWeekdayCells[static_cast<std::size_t>(i)] = FNames.Find(WeekdayNames[i]);
  FMode = 1;
}

void TPopulareTimeAnalysis::CountName(std::string_view name, bool addRow) {
  if (std::int32_t* count = FNames.Find(name))
    ++*count;
  else
    FNames.Cell(name) = 0;
  if (addRow) {
    const int id = kbmPopulareTime.RecordCount();
    kbmPopulareTime.Append();
    kbmPopulareTime.SetInteger(ColID, id);
    kbmPopulareTime.SetString(ColName, name);
    kbmPopulareTime.SetInteger(ColSum, 0);
    kbmPopulareTime.Post();
  }
}

void TPopulareTimeAnalysis::HandleLine(const std::string& line, TDSearchPattern& parser) {
  // The address is asked for even when it is not used, so that a description without one
  // fails in every mode alike.
  const std::string_view address = parser.GetField(line, TFieldKind::IP);
  const double dateTime = parser.GetDateTime(line);
  if (FPerUser && !FSearchUser->IsNewVisitor(address, dateTime)) return;

  if (FMode == 0) {
    const int hour = HourOfDay(dateTime);
    if (std::int32_t* cell = FHourCells[static_cast<std::size_t>(hour)]) {
      ++*cell;
    } else {  // no run prepared
      char buffer[4];
      CountName(HourText(hour, buffer), false);
    }
    return;
  }
  const int isoDay = DayOfTheWeek(dateTime);
  if (FWeekdayRowsPending) {
    AddWeekdayRows(isoDay);
    FWeekdayRowsPending = false;
  }
  ++*FWeekdayCells[static_cast<std::size_t>(isoDay - 1)];
}

void TPopulareTimeAnalysis::CheckLine(const std::string& line, TDSearchPattern& parser) {
  parser.GetField(line, TFieldKind::IP);
  parser.GetDateTime(line);
}

void TPopulareTimeAnalysis::FinishRun() {
  if (kbmPopulareTime.Active()) {
    for (const auto& [name, count] : FNames.Sorted()) {
      if (!kbmPopulareTime.Locate("Name", name, true)) continue;
      kbmPopulareTime.Edit();
      kbmPopulareTime.SetInteger(ColSum, count);
      kbmPopulareTime.Post();
    }
    // The hour from 00:00 to 00:59 is labelled 24 and stays the leftmost bar.
    if (FMode == 0 && !kbmPopulareTime.IsEmpty()) {
      kbmPopulareTime.First();
      kbmPopulareTime.Edit();
      kbmPopulareTime.SetString(ColName, "24");
      kbmPopulareTime.Post();
    }
  }
  ResumeDisplay();
}

void TPopulareTimeAnalysis::ClearResults() {
  if (kbmPopulareTime.Active()) kbmPopulareTime.Close();
  ResumeDisplay();
}

void TPopulareTimeAnalysis::ResumeDisplay() {
  if (!FDisplaySuspended) return;
  FDisplaySuspended = false;
  kbmPopulareTime.EnableControls();
}
