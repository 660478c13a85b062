#include "analyses/ui/ModelChart.h"

#include <QContextMenuEvent>
#include <QPalette>

#include <functional>

#include "analyses/ui/SlotGuard.h"

TModelChart::TModelChart(QWidget* parent, QSize minimumSize) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setMinimumSize(minimumSize);
}

void TModelChart::SetModel(QAbstractItemModel* model, int labelColumn, int valueColumn) {
  for (const auto& connection : FConnections) disconnect(connection);
  FConnections.clear();
  FModel = model;
  FLabelColumn = labelColumn;
  FValueColumn = valueColumn;
  if (model) {
    auto repaint = [this] { update(); };
    FConnections.push_back(connect(model, &QAbstractItemModel::modelReset, this, repaint));
    FConnections.push_back(connect(model, &QAbstractItemModel::dataChanged, this, repaint));
    FConnections.push_back(connect(model, &QAbstractItemModel::rowsInserted, this, repaint));
    FConnections.push_back(connect(model, &QAbstractItemModel::rowsRemoved, this, repaint));
    FConnections.push_back(connect(model, &QAbstractItemModel::layoutChanged, this, repaint));
  }
  update();
}

// ---- Export ----------------------------------------------------------------------------------

void TModelChart::EnableExport(IDialogs& dialogs) {
  FDialogs = &dialogs;
  FExportMenu = new QMenu(this);
  FExportMenu->setObjectName("ExportMenu");
  auto add = [this](const char* name, const char* caption, const std::function<void()>& work) {
    QAction* action = FExportMenu->addAction(caption);
    action->setObjectName(name);
    connect(action, &QAction::triggered, this, [this, work] { RunGuarded(*FDialogs, work); });
    return action;
  };
  actSavePng = add("actSavePng", "Save as PNG...", [this] { SavePng(); });
  FExportMenu->addSeparator();
  // A chart draws every row, so its rows are few: they are gathered first.
  auto rows = [this](const std::function<void(const TTextRow&)>& visit) {
    for (const auto& row : TextRows()) visit(row);
  };
  actCopyValues = add("actCopyValues", "Copy Values", [rows] { CopyRowsToClipboard(rows); });
  actExportValues = add("actExportValues", "Export Values as CSV...", [this, rows] { ExportRowsAsCsv(*FDialogs, rows); });
}

void TModelChart::contextMenuEvent(QContextMenuEvent* event) {
  if (!FExportMenu || !FExportEnabled) {
    QWidget::contextMenuEvent(event);
    return;
  }
  const bool rows = FModel && FModel->rowCount() > 0;
  actCopyValues->setEnabled(rows);
  actExportValues->setEnabled(rows);
  FExportMenu->popup(event->globalPos());
  event->accept();
}

void TModelChart::SavePng() {
  if (FDialogs) SaveWidgetAsPng(*FDialogs, *this);
}

TTextRows TModelChart::TextRows() const {
  TTextRows rows;
  if (!FModel) return rows;
  const std::vector<int> columns{FLabelColumn, FValueColumn};
  std::vector<std::string> header;
  for (int c : columns) header.push_back(FModel->headerData(c, Qt::Horizontal).toString().toStdString());
  rows.push_back(std::move(header));
  for (int r = 0; r < FModel->rowCount(); ++r) {
    std::vector<std::string> cells;
    for (int c : columns) cells.push_back(FModel->index(r, c).data(Qt::DisplayRole).toString().toStdString());
    rows.push_back(std::move(cells));
  }
  return rows;
}
