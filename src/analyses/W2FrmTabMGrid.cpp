#include "analyses/W2FrmTabMGrid.h"

#include <algorithm>

#include "base/AsciiText.h"
#include "platform/Dialogs.h"

namespace {

enum TSumField { fName, fSumme, fID, fAnzeigen };

std::vector<TFieldDef> SumFields() {
  return {{"Name", TFieldType::String, 255},
          {"Summe", TFieldType::Integer, 0},
          {"ID", TFieldType::Integer, 0},
          {"Anzeigen", TFieldType::Boolean, 0}};
}

}  // namespace

TTabMGridAnalysis::TTabMGridAnalysis(IDialogs& dialogs)
    : kbmChart("kbmChart", SumFields(), "ID"), kbmSummen("kbmSummen", SumFields()), FDialogs(dialogs) {}

TTabMGridAnalysis::~TTabMGridAnalysis() { FreeLists(); }

void TTabMGridAnalysis::CreateLists() {
  FHiddenIDs.clear();
  FSliceColors.clear();
  FColorOfLabel.clear();
  if (kbmSummen.Master() != &kbmChart) kbmSummen.AttachTo(kbmChart);
}

void TTabMGridAnalysis::FreeLists() {
  if (kbmSummen.Master() == nullptr) return;
  ClearResults();
  kbmSummen.Detach();
}

void TTabMGridAnalysis::ClearResults() {
  EndCollecting();
  FHiddenIDs.clear();
  kbmChart.SetFiltered(false);
  kbmChart.SetFilterText({});
  kbmSummen.Close();
  kbmChart.Close();
}

// A run that ended with an error never reached FinishRun; its held display and its counts
// end here, so the next run does not hold the display twice.
void TTabMGridAnalysis::EndCollecting() {
  if (!FCollecting) return;
  FCollecting = false;
  FCounts.Clear();
  kbmChart.EnableControls();
}

void TTabMGridAnalysis::PrepareRun() {
  ClearResults();
  kbmChart.DisableControls();
  kbmChart.Open();
  FCounts.Clear();
  FCollecting = true;
}

void TTabMGridAnalysis::AddValue(std::string_view text) { FCounts.Add(text); }

void TTabMGridAnalysis::FinishRun() {
  if (!FCollecting) return;
  if (FCounts.Empty()) FDialogs.ShowInformation(NoValuesFoundText);
  BuildRows();
  kbmSummen.Open();
  kbmSummen.OrderBy("Summe", true);
}

// Rows are numbered by falling sum; equal sums keep the order of their names (letter case
// ignored). The IDs are given before the rows are stored, so the table's key order on ID
// already is the final order.
void TTabMGridAnalysis::BuildRows() {
  if (!FCollecting) return;
  auto entries = FCounts.Sorted();
  std::stable_sort(entries.begin(), entries.end(),
                   [](const TCountedStrings::TEntry& a, const TCountedStrings::TEntry& b) { return a.Count > b.Count; });
  std::int32_t id = 0;
  for (const auto& entry : entries) {
    kbmChart.Append();
    kbmChart.SetString(fName, entry.Text);
    kbmChart.SetInteger(fSumme, entry.Count);
    kbmChart.SetInteger(fID, id++);
    kbmChart.SetBoolean(fAnzeigen, true);
    kbmChart.Post();
  }
  FCollecting = false;
  FCounts.Clear();
  kbmChart.OrderBy("Summe", true);
  kbmChart.First();
  kbmChart.EnableControls();
}

void TTabMGridAnalysis::ToggleShow(int row, bool checked) {
  if (!kbmSummen.Active() || row < 0 || row >= kbmSummen.RecordCount()) return;
  kbmSummen.SetRecNo(row);
  std::string id = std::to_string(kbmSummen.AsInteger(fID));
  if (checked)
    FHiddenIDs.erase(id);
  else
    FHiddenIDs.insert(id);
  kbmSummen.Edit();
  kbmSummen.SetBoolean(fAnzeigen, checked);
  kbmSummen.Post();
  ApplyChartFilter();
}

void TTabMGridAnalysis::ApplyChartFilter() {
  kbmChart.SetFiltered(false);
  if (FHiddenIDs.empty()) {
    kbmChart.SetFilterText({});
    return;
  }
  std::string filter;
  for (const auto& id : FHiddenIDs) {
    if (!filter.empty()) filter += " AND ";
    filter += "ID <> " + id;
  }
  kbmChart.SetFilterText(std::move(filter));
  kbmChart.SetFiltered(true);
}

std::string TTabMGridAnalysis::ChartFilterText() const {
  return kbmChart.Filtered() ? kbmChart.FilterText() : std::string();
}

void TTabMGridAnalysis::ApplyLockWords(std::vector<std::string> words, bool show) {
  FHiddenIDs.clear();
  if (kbmSummen.Active()) {
    for (auto& word : words) word = LowerAscii(word);
    kbmSummen.DisableControls();
    kbmChart.DisableControls();
    for (kbmSummen.First(); !kbmSummen.Eof(); kbmSummen.Next()) {
      std::string_view name = kbmSummen.AsStringView(fName);
      bool matched = std::any_of(words.begin(), words.end(),
                                 [name](const std::string& word) { return ContainsLoweredAscii(name, word); });
      bool shown = matched ? show : true;
      if (!shown) FHiddenIDs.insert(std::to_string(kbmSummen.AsInteger(fID)));
      if (kbmSummen.AsBoolean(fAnzeigen) != shown) {
        kbmSummen.Edit();
        kbmSummen.SetBoolean(fAnzeigen, shown);
        kbmSummen.Post();
      }
    }
    kbmSummen.First();
    kbmChart.EnableControls();
    kbmSummen.EnableControls();
  }
  ApplyChartFilter();
}

bool TTabMGridAnalysis::SetSliceColors(std::vector<std::pair<std::string, std::uint32_t>> colors) {
  if (FTrackBarBusy) return false;
  FSliceColors.clear();
  FColorOfLabel.clear();
  if (kbmChart.Active() && !kbmChart.IsEmpty()) FSliceColors = std::move(colors);
  for (const auto& [label, color] : FSliceColors) FColorOfLabel.emplace(label, color);
  return true;
}

std::uint32_t TTabMGridAnalysis::SliceColor(std::string_view label) const {
  auto it = FColorOfLabel.find(std::string(label));
  return it == FColorOfLabel.end() ? HiddenSliceColor : it->second;
}
