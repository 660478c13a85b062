#include "analyses/ui/FrameTabMGrid.h"

#include <QHBoxLayout>
#include <QResizeEvent>

#include <cmath>

#include "analyses/ui/SlotGuard.h"
#include "analyses/ui/SwatchDelegate.h"
#include "config/ui/MemTableModel.h"

namespace {

enum TSummenColumn { colID, colName, colSumme, colAnzeigen };

QSlider* MakeTrackBar(QWidget* parent, const char* name, int maximum) {
  auto* bar = new QSlider(Qt::Horizontal, parent);
  bar->setObjectName(name);
  bar->setRange(0, maximum);
  bar->setSingleStep(25);
  bar->setPageStep(25);
  bar->setFixedSize(130, 23);
  return bar;
}

}  // namespace

TframeTabMGrid::TframeTabMGrid(IDialogs& dialogs, ILocalFormat& format, QWidget* parent)
    : QWidget(parent), FDialogs(dialogs), FAnalysis(dialogs) {
  FChartModel = new TMemTableModel(FAnalysis.kbmChart, {{"ID", "ID"}, {"Summe", "Sum"}}, this);
  FSummenModel = new TMemTableModel(
      FAnalysis.kbmSummen, {{"ID", "ID"}, {"Name", "Name"}, {"Summe", "Sum"}, {"Anzeigen", "show", true}}, this);

  Splitter1 = new QSplitter(Qt::Horizontal, this);
  Splitter1->setChildrenCollapsible(false);
  DBChart = new TPieChart(Splitter1);
  DBChart->setObjectName("DBChart");
  DBChart->SetModel(FChartModel, 0, 1);
  DBChart->SetAfterDraw([this](const TPieChart::TSliceColors& colors) { DBChartAfterDraw(colors); });
  BuildTrackBars();

  tabSummen = new TGridView(Splitter1);
  tabSummen->setObjectName("tabSummen");
  tabSummen->setModel(FSummenModel);
  tabSummen->setItemDelegate(new TSwatchDelegate(
      format, colID, [this](const QString& id) { return FAnalysis.SliceColor(id.toStdString()); }, tabSummen));
  tabSummen->SetColumnWidths({31, 217, 57, 33});
  tabSummen->EnableExport(dialogs);
  DBChart->EnableExport(dialogs);
  connect(FSummenModel, &TMemTableModel::CheckToggled, this,
          [this](int row, int, bool checked) { tabSummenAnzeigenToggleClick(row, checked); });

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Splitter1);
}

TframeTabMGrid::~TframeTabMGrid() {
  delete Splitter1;
  delete FChartModel;
  delete FSummenModel;
}

void TframeTabMGrid::BuildTrackBars() {
  auto* rotate = new QLabel("rotate", DBChart);
  rotate->move(6, 6);
  TrackBar1 = MakeTrackBar(DBChart, "TrackBar1", 359);
  TrackBar1->move(64, 4);
  auto* seperate = new QLabel("seperate", DBChart);
  seperate->move(6, 32);
  TrackBar2 = MakeTrackBar(DBChart, "TrackBar2", 20);
  TrackBar2->move(64, 30);
  connect(TrackBar1, &QSlider::valueChanged, this, &TframeTabMGrid::TrackBar1Change);
  connect(TrackBar2, &QSlider::valueChanged, this, &TframeTabMGrid::TrackBar2Change);
}

void TframeTabMGrid::ApplyLockWords(std::vector<std::string> words, bool show) {
  FAnalysis.ApplyLockWords(std::move(words), show);
  tabSummen->viewport()->update();
}

int TframeTabMGrid::RowCount() const {
  return FAnalysis.kbmSummen.Active() ? FAnalysis.kbmSummen.RecordCount() : 0;
}

// Turning the pie or pulling out its slice changes no colour: the redraw it causes leaves the
// slice colours and the grid alone.
void TframeTabMGrid::TrackBar1Change() {
  FAnalysis.SetTrackBarBusy(true);
  DBChart->SetRotation(TrackBar1->value());
  DBChart->repaint();
  FAnalysis.SetTrackBarBusy(false);
}

void TframeTabMGrid::TrackBar2Change() {
  FAnalysis.SetTrackBarBusy(true);
  DBChart->SetExplodePercent(TrackBar2->value());
  DBChart->repaint();
  FAnalysis.SetTrackBarBusy(false);
}

void TframeTabMGrid::DBChartAfterDraw(const TPieChart::TSliceColors& colors) {
  std::vector<std::pair<std::string, std::uint32_t>> pairs;
  pairs.reserve(colors.size());
  for (const auto& [label, color] : colors) pairs.emplace_back(label.toStdString(), color.rgb() & 0xFFFFFFu);
  RunGuarded(FDialogs, [&] {
    if (FAnalysis.SetSliceColors(std::move(pairs))) tabSummen->viewport()->update();
  });
}

void TframeTabMGrid::tabSummenAnzeigenToggleClick(int row, bool checked) {
  RunGuarded(FDialogs, [&] { FAnalysis.ToggleShow(row, checked); });
}

void TframeTabMGrid::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FrameResize();
}

void TframeTabMGrid::FrameResize() {
  const int chart = static_cast<int>(std::lround(0.66 * width()));
  Splitter1->setSizes({chart, std::max(0, width() - chart - Splitter1->handleWidth())});
  TrackBar1->setFixedHeight(23);
}
