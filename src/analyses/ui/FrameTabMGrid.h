#pragma once
// A ranked-sum tab ("Search Criterion", "Pages"): the pie of the counted values with its two
// track bars, and the grid of every value with its slice colour and its "show" box, over the
// analysis the frame owns.
#include <QLabel>
#include <QSlider>
#include <QSplitter>
#include <QWidget>

#include <string>
#include <vector>

#include "analyses/W2FrmTabMGrid.h"
#include "analyses/ui/GridView.h"
#include "analyses/ui/PieChart.h"

class ILocalFormat;
class TMemTableModel;

class TframeTabMGrid : public QWidget {
  Q_OBJECT
public:
  TframeTabMGrid(IDialogs& dialogs, ILocalFormat& format, QWidget* parent = nullptr);
  ~TframeTabMGrid() override;

  TTabMGridAnalysis& Analysis() { return FAnalysis; }

  void CreateLists() { FAnalysis.CreateLists(); }
  void FreeLists() { FAnalysis.FreeLists(); }
  void ClearResults() { FAnalysis.ClearResults(); }
  void ApplyLockWords(std::vector<std::string> words, bool show);
  // Rows in the grid (every row, hidden or not).
  int RowCount() const;

  void TrackBar1Change();
  void TrackBar2Change();
  // Chart width two thirds of the frame's.
  void FrameResize();

  TPieChart* DBChart = nullptr;
  TGridView* tabSummen = nullptr;
  QSlider* TrackBar1 = nullptr;  // "rotate"
  QSlider* TrackBar2 = nullptr;  // "seperate"
  QSplitter* Splitter1 = nullptr;

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void BuildTrackBars();
  void DBChartAfterDraw(const TPieChart::TSliceColors& colors);
  void tabSummenAnzeigenToggleClick(int row, bool checked);

  IDialogs& FDialogs;
  TTabMGridAnalysis FAnalysis;
  TMemTableModel* FChartModel = nullptr;
  TMemTableModel* FSummenModel = nullptr;
};
