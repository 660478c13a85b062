#include "analyses/ui/ModelChart.h"

#include <QPalette>

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
