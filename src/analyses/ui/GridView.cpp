#include "analyses/ui/GridView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QResizeEvent>

#include <cmath>
#include <numeric>

#include "analyses/ui/SlotGuard.h"
#include "config/ui/MemTableDelegate.h"

TGridView::TGridView(QWidget* parent) : QTableView(parent) {
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  // Several rows may be selected, to copy them together.
  setSelectionMode(QAbstractItemView::ExtendedSelection);
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

// ---- Export ----------------------------------------------------------------------------------

void TGridView::EnableExport(IDialogs& dialogs) {
  FDialogs = &dialogs;
  FExportMenu = new QMenu(this);
  FExportMenu->setObjectName("ExportMenu");
  actCopy = FExportMenu->addAction("Copy");
  actCopy->setObjectName("actCopy");
  actExportCsv = FExportMenu->addAction("Export as CSV...");
  actExportCsv->setObjectName("actExportCsv");
  connect(actCopy, &QAction::triggered, this, [this] { RunGuarded(*FDialogs, [this] { CopyRows(); }); });
  connect(actExportCsv, &QAction::triggered, this, [this] { RunGuarded(*FDialogs, [this] { ExportCsv(); }); });
}

void TGridView::contextMenuEvent(QContextMenuEvent* event) {
  if (!FExportMenu || !FExportEnabled) {
    QTableView::contextMenuEvent(event);
    return;
  }
  const bool rows = model() && model()->rowCount() > 0;
  actCopy->setEnabled(rows);
  actExportCsv->setEnabled(rows);
  FExportMenu->popup(event->globalPos());
  event->accept();
}

std::string TGridView::CellText(const QModelIndex& index) const {
  const QVariant check = index.data(Qt::CheckStateRole);
  if (check.isValid()) return check.toInt() == Qt::Checked ? "1" : "0";
  const auto* delegate = qobject_cast<const TMemTableDelegate*>(itemDelegateForIndex(index));
  return (delegate ? delegate->DisplayText(index) : index.data(Qt::DisplayRole).toString()).toStdString();
}

TTextRows TGridView::TextRows(bool selectedOnly) const {
  TTextRows rows;
  VisitRows(selectedOnly, [&rows](const TTextRow& row) { rows.push_back(row); });
  return rows;
}

void TGridView::VisitRows(bool selectedOnly, const std::function<void(const TTextRow&)>& visit) const {
  const QAbstractItemModel* m = model();
  if (!m) return;
  std::vector<int> columns;
  std::vector<std::string> header;
  for (int c = 0; c < m->columnCount(); ++c) {
    if (isColumnHidden(c)) continue;
    columns.push_back(c);
    header.push_back(m->headerData(c, Qt::Horizontal).toString().toStdString());
  }
  visit(header);
  const bool onlySelected = selectedOnly && selectionModel() && selectionModel()->hasSelection() && !columns.empty();
  TTextRow cells;
  for (int r = 0; r < m->rowCount(); ++r) {
    if (isRowHidden(r) || (onlySelected && !selectionModel()->isSelected(m->index(r, columns.front())))) continue;
    cells.clear();
    for (int c : columns) cells.push_back(CellText(m->index(r, c)));
    visit(cells);
  }
}

void TGridView::CopyRows() const {
  CopyRowsToClipboard([this](const auto& visit) { VisitRows(true, visit); });
}

void TGridView::ExportCsv() const {
  if (FDialogs) ExportRowsAsCsv(*FDialogs, [this](const auto& visit) { VisitRows(false, visit); });
}
