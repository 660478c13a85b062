#include "analyses/ui/GridView.h"

#include <QHeaderView>
#include <QResizeEvent>

#include <cmath>
#include <numeric>

TGridView::TGridView(QWidget* parent) : QTableView(parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  verticalHeader()->setVisible(false);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setHighlightSections(false);
  setAlternatingRowColors(false);
  setWordWrap(false);
}

void TGridView::SetColumnWidths(std::vector<int> widths) {
  FWidths = std::move(widths);
  FitColumns();
}

void TGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  FitColumns();
}

void TGridView::FitColumns() {
  if (FWidths.empty()) return;
  const int available = viewport()->width();
  const int total = std::accumulate(FWidths.begin(), FWidths.end(), 0);
  if (available <= 0 || total <= 0) return;
  int used = 0;
  int last = -1;
  for (std::size_t i = 0; i < FWidths.size(); ++i) {
    const int column = static_cast<int>(i);
    if (FWidths[i] <= 0 || isColumnHidden(column)) continue;
    const int width = static_cast<int>(std::lround(double(FWidths[i]) * available / total));
    setColumnWidth(column, width);
    used += width;
    last = column;
  }
  // Rounding must neither leave a gap nor call for a scroll bar.
  if (last >= 0) setColumnWidth(last, columnWidth(last) + available - used);
}
