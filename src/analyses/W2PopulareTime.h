#pragma once
// Hits per time unit: how the lines of a run spread over the hours of the day or the days of
// the week, counting every line or only the lines that begin a visit. The tab frame binds
// kbmPopulareTime to its bar chart.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analyses/CountedStrings.h"
#include "analyses/WSSearchUser.h"
#include "base/MemTable.h"

class TDSearchPattern;

class TPopulareTimeAnalysis {
public:
  TPopulareTimeAnalysis();
  ~TPopulareTimeAnalysis();
  TPopulareTimeAnalysis(const TPopulareTimeAnalysis&) = delete;
  TPopulareTimeAnalysis& operator=(const TPopulareTimeAnalysis&) = delete;

  TMemTable kbmPopulareTime;  // ID, Name, Sum; visited in ID order: one bar per row

  // Items of the time-unit list (choose index) and of the counting-mode list (analyse index).
  static const std::vector<std::string>& ChooseItems();
  static const std::vector<std::string>& AnalyseItems();

  // Replaces the visitor lookup (one with DefaultTimeArea exists from creation).
  void CreateSearchUser(double timeArea);

  // analyseIndex 1 counts per visitor, otherwise every line; chooseIndex 1 counts per
  // weekday, otherwise per hour.
  void PrepareRun(int analyseIndex, int chooseIndex);
  void HandleLine(const std::string& line, TDSearchPattern& parser);
  // Reads what HandleLine reads of the line, changing nothing: raises the errors it would.
  static void CheckLine(const std::string& line, TDSearchPattern& parser);
  // Writes the counts into the rows; called after every run, also a failed one.
  void FinishRun();
  // Empties and closes the table.
  void ClearResults();

  int Mode() const { return FMode; }  // 0 hours of the day, 1 days of the week
  bool PerUser() const { return FPerUser; }

private:
  void AddHourRows();
  void AddWeekdayRows(int isoDay);
  void CountName(std::string_view name, bool addRow);
  void ResumeDisplay();

  std::unique_ptr<TSearchUser> FSearchUser;
  TCountedStrings FNames;
  // The counts of the rows' names, by hour of the day or ISO day of the week less 1, once
  // the rows are there: counting a line looks up no name.
  std::array<std::int32_t*, 24> FHourCells{};
  std::array<std::int32_t*, 7> FWeekdayCells{};
  int FMode = 0;
  bool FPerUser = false;
  bool FWeekdayRowsPending = true;
  bool FDisplaySuspended = false;
};
