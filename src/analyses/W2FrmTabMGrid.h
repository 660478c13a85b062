#pragma once
// The ranked-sum analysis behind TframeTabMGrid: counts text values during a run, ranks
// them by their count and keeps, per value, whether it is shown in the pie.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "analyses/CountedStrings.h"
#include "analyses/TextCompare.h"
#include "base/MemTable.h"

class IDialogs;

inline constexpr const char* NoValuesFoundText = "Search Criterion\n\nNo values found in the selected files.";
inline constexpr std::uint32_t HiddenSliceColor = 0xFF9900;  // orange: a row left out of the pie

class TTabMGridAnalysis {
public:
  explicit TTabMGridAnalysis(IDialogs& dialogs);
  ~TTabMGridAnalysis();
  TTabMGridAnalysis(const TTabMGridAnalysis&) = delete;
  TTabMGridAnalysis& operator=(const TTabMGridAnalysis&) = delete;

  // Name (String 255), Summe, ID, Anzeigen. The pie reads kbmChart, which carries the
  // filter of the hidden rows; the grid reads kbmSummen, attached to it, never filtered.
  TMemTable kbmChart;
  TMemTable kbmSummen;

  // Run protocol.
  void CreateLists();
  void FreeLists();
  void ClearResults();
  void PrepareRun();
  void AddValue(std::string_view text);
  void FinishRun();
  void BuildRows();  // the counts of the run as rows; FinishRun calls it
  bool Collecting() const { return FCollecting; }

  // The "show" box of the grid row at view position row of kbmSummen was set to checked.
  void ToggleShow(int row, bool checked);
  void ApplyChartFilter();
  // Every row shown again, then the rows whose Name contains one of the words (letters A to
  // Z in either case) set to show; so the boxes and the pie always agree afterwards.
  void ApplyLockWords(std::vector<std::string> words, bool show);

  // IDs of the rows left out of the pie, as decimal texts ordered as texts.
  const std::set<std::string, TFoldedLess>& HiddenIDs() const { return FHiddenIDs; }
  // The filter of the pie; empty while no row is hidden.
  std::string ChartFilterText() const;

  // Slice colours (0xRRGGBB) by slice label (the row's ID) as the pie was last drawn.
  // Ignored while a track bar change is applied: turning the pie changes no colour.
  // Returns whether the colours were taken.
  bool SetSliceColors(std::vector<std::pair<std::string, std::uint32_t>> colors);
  const std::vector<std::pair<std::string, std::uint32_t>>& SliceColors() const { return FSliceColors; }
  std::uint32_t SliceColor(std::string_view label) const;  // orange when the label has no slice

  void SetTrackBarBusy(bool busy) { FTrackBarBusy = busy; }
  bool TrackBarBusy() const { return FTrackBarBusy; }

private:
  void EndCollecting();

  IDialogs& FDialogs;
  TCountedStrings FCounts;
  bool FCollecting = false;  // between PrepareRun and FinishRun; kbmChart's display is held
  std::set<std::string, TFoldedLess> FHiddenIDs;
  std::vector<std::pair<std::string, std::uint32_t>> FSliceColors;
  std::unordered_map<std::string, std::uint32_t> FColorOfLabel;
  bool FTrackBarBusy = false;
};
