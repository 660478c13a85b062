#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analyses/W2FrmTabMGrid.h"
#include "support/Fakes.h"

namespace {

struct TRow {
  std::string Name;
  int Summe;
  int ID;
  bool Anzeigen;
  bool operator==(const TRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRow& row) {
  return out << "{'" << row.Name << "', " << row.Summe << ", " << row.ID << ", " << row.Anzeigen << "}";
}

std::vector<TRow> Rows(const TMemTable& table) {
  std::vector<TRow> rows;
  for (int row = 0; row < table.RecordCount(); ++row)
    rows.push_back({table.AsStringAt(row, 0), table.AsIntegerAt(row, 1), table.AsIntegerAt(row, 2),
                    table.AsBooleanAt(row, 3)});
  return rows;
}

std::vector<int> IDs(const TMemTable& table) {
  std::vector<int> ids;
  for (int row = 0; row < table.RecordCount(); ++row) ids.push_back(table.AsIntegerAt(row, 2));
  return ids;
}

class TabMGrid : public testing::Test {
protected:
  testsupport::TFakeDialogs Dialogs;
  TTabMGridAnalysis Analysis{Dialogs};

  void SetUp() override { Analysis.CreateLists(); }

  void Run(const std::vector<std::string>& values) {
    Analysis.PrepareRun();
    for (const auto& value : values) Analysis.AddValue(value);
    Analysis.FinishRun();
  }
  // Clicks the "show" box of the grid row holding the ID.
  void Toggle(int id, bool checked) {
    ASSERT_TRUE(Analysis.kbmSummen.Locate("ID", std::to_string(id), false));
    Analysis.ToggleShow(Analysis.kbmSummen.RecNo(), checked);
  }
};

}  // namespace

TEST_F(TabMGrid, CountsValuesWithoutLetterCaseUnderTheFirstSpelling) {
  Run({"Foo", "foo", "FOO", "foo ", "", "Bar", "bar"});
  // Equal sums keep the order of their names, letter case ignored.
  EXPECT_EQ(Rows(Analysis.kbmSummen), (std::vector<TRow>{{"Foo", 3, 0, true},
                                                         {"Bar", 2, 1, true},
                                                         {"", 1, 2, true},
                                                         {"foo ", 1, 3, true}}));
  EXPECT_EQ(Rows(Analysis.kbmChart), Rows(Analysis.kbmSummen));
  EXPECT_FALSE(Analysis.kbmChart.ControlsDisabled());
  EXPECT_TRUE(Dialogs.Shown.empty());
}

TEST_F(TabMGrid, NumbersRowsByFallingSum) {
  std::vector<std::string> values;
  for (auto [value, times] : {std::pair{"five", 5}, {"nine", 9}, {"two", 2}})
    for (int i = 0; i < times; ++i) values.push_back(value);
  Run(values);
  EXPECT_EQ(Rows(Analysis.kbmChart), (std::vector<TRow>{{"nine", 9, 0, true}, {"five", 5, 1, true}, {"two", 2, 2, true}}));
}

TEST_F(TabMGrid, LongValuesAreCountedWholeAndStoredCut) {
  const std::string head(255, 'a');
  Run({head + "x", head + "y", head + "x"});
  EXPECT_EQ(Rows(Analysis.kbmSummen), (std::vector<TRow>{{head, 2, 0, true}, {head, 1, 1, true}}));
}

TEST_F(TabMGrid, ARunWithoutValuesSaysSoOnce) {
  Run({});
  EXPECT_EQ(Dialogs.TextsOf("information"),
            (std::vector<std::string>{"Search Criterion\n\nNo values found in the selected files."}));
  EXPECT_EQ(Dialogs.Shown.size(), 1u);
  EXPECT_EQ(Analysis.kbmChart.RecordCount(), 0);
  EXPECT_EQ(Analysis.kbmSummen.RecordCount(), 0);
}

TEST_F(TabMGrid, HiddenRowsLeaveThePieButNotTheGrid) {
  std::vector<std::string> values;
  for (int i = 0; i < 12; ++i) values.insert(values.end(), static_cast<std::size_t>(20 - i), "v" + std::to_string(i));
  Run(values);

  Toggle(3, false);
  Toggle(10, false);
  EXPECT_EQ(Analysis.ChartFilterText(), "ID <> 10 AND ID <> 3");
  EXPECT_EQ(Analysis.kbmChart.RecordCount(), 10);
  EXPECT_EQ(Analysis.kbmSummen.RecordCount(), 12);
  ASSERT_TRUE(Analysis.kbmSummen.Locate("ID", "3", false));
  EXPECT_FALSE(Analysis.kbmSummen.AsBoolean(3));

  Toggle(10, false);  // a second click on an unchecked box keeps one entry
  EXPECT_EQ(Analysis.HiddenIDs().size(), 2u);
  Toggle(3, true);
  Toggle(10, true);
  EXPECT_EQ(Analysis.ChartFilterText(), "");
  EXPECT_FALSE(Analysis.kbmChart.Filtered());
  EXPECT_EQ(Analysis.kbmChart.RecordCount(), 12);

  for (int id = 0; id < 12; ++id) Toggle(id, false);
  EXPECT_EQ(Analysis.kbmChart.RecordCount(), 0);
  EXPECT_EQ(Analysis.kbmSummen.RecordCount(), 12);
}

TEST_F(TabMGrid, LockWordsHideAndShowMatchingRows) {
  Run({"Foo", "Foo", "Foo", "book", "book", "Bar", "search engines"});
  // IDs: Foo 0, book 1, Bar 2, search engines 3.
  Toggle(2, false);  // hidden by hand; the lock words start again from every row shown

  Analysis.ApplyLockWords({"oo"}, false);
  EXPECT_EQ(IDs(Analysis.kbmChart), (std::vector<int>{2, 3}));
  EXPECT_EQ(Analysis.ChartFilterText(), "ID <> 0 AND ID <> 1");
  EXPECT_EQ(Rows(Analysis.kbmSummen), (std::vector<TRow>{{"Foo", 3, 0, false},
                                                         {"book", 2, 1, false},
                                                         {"Bar", 1, 2, true},
                                                         {"search engines", 1, 3, true}}));

  Analysis.ApplyLockWords({"oo"}, true);
  EXPECT_EQ(IDs(Analysis.kbmChart), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(Analysis.HiddenIDs().empty());

  struct TCase {
    std::vector<std::string> Words;
    std::vector<int> ShownIDs;
  };
  const TCase cases[] = {
      {{""}, {0, 1, 2, 3}},
      {{"SEARCH"}, {0, 1, 2}},
      {{"zzz", "BA"}, {0, 1, 3}},
      {{}, {0, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    Analysis.ApplyLockWords(c.Words, false);
    EXPECT_EQ(IDs(Analysis.kbmChart), c.ShownIDs) << (c.Words.empty() ? "(none)" : c.Words.back());
    std::vector<int> checked;
    for (const auto& row : Rows(Analysis.kbmSummen))
      if (row.Anzeigen) checked.push_back(row.ID);
    EXPECT_EQ(checked, c.ShownIDs);
  }
  EXPECT_FALSE(Analysis.kbmChart.ControlsDisabled());
  EXPECT_FALSE(Analysis.kbmSummen.ControlsDisabled());
}

TEST_F(TabMGrid, SwatchesTakeTheColourOfTheirSliceOrOrange) {
  Run({"a", "a", "b", "c"});
  Toggle(2, false);
  EXPECT_TRUE(Analysis.SetSliceColors({{"0", 1}, {"1", 0x00FF00}}));
  EXPECT_EQ(Analysis.SliceColor("0"), 1u);
  EXPECT_EQ(Analysis.SliceColor("1"), 0x00FF00u);  // the label counts, not a colour equal to 1
  EXPECT_EQ(Analysis.SliceColor("2"), HiddenSliceColor);
  EXPECT_EQ(Analysis.SliceColor("7"), 0xFF9900u);

  Analysis.SetTrackBarBusy(true);  // turning the pie redraws it without changing colours
  EXPECT_FALSE(Analysis.SetSliceColors({}));
  EXPECT_EQ(Analysis.SliceColor("1"), 0x00FF00u);
  Analysis.SetTrackBarBusy(false);

  Analysis.ClearResults();
  Analysis.SetSliceColors({{"0", 1}});  // an empty pie has no slices
  EXPECT_EQ(Analysis.SliceColor("0"), HiddenSliceColor);
}

TEST_F(TabMGrid, ClearingEmptiesEverythingAlsoAfterAnInterruptedRun) {
  Run({"a", "b"});
  Toggle(0, false);
  Analysis.ClearResults();
  EXPECT_FALSE(Analysis.kbmChart.Active());
  EXPECT_FALSE(Analysis.kbmSummen.Active());
  EXPECT_TRUE(Analysis.HiddenIDs().empty());
  EXPECT_EQ(Analysis.ChartFilterText(), "");

  Analysis.PrepareRun();  // a run that ends with an error never finishes
  Analysis.AddValue("lost");
  EXPECT_TRUE(Analysis.kbmChart.ControlsDisabled());
  Run({"c"});
  EXPECT_EQ(Rows(Analysis.kbmSummen), (std::vector<TRow>{{"c", 1, 0, true}}));
  EXPECT_FALSE(Analysis.kbmChart.ControlsDisabled());
}
