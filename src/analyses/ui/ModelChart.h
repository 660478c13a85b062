#pragma once
// What the bar chart and the pie share: a white widget that draws two columns of a table
// model (labels and values) and redraws whenever the model changes.
#include <QAbstractItemModel>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include <vector>

class TModelChart : public QWidget {
  Q_OBJECT
public:
  void SetModel(QAbstractItemModel* model, int labelColumn, int valueColumn);

protected:
  TModelChart(QWidget* parent, QSize minimumSize);

  QPointer<QAbstractItemModel> FModel;
  int FLabelColumn = 0;
  int FValueColumn = 1;

private:
  std::vector<QMetaObject::Connection> FConnections;
};
