#pragma once
// A bar chart over two columns of a table model: one bar per row in the model's order, named
// by the label column, as high as the value column, each bar in its own colour with its value
// written above it; titles on both axes, no legend, no chart title.
#include <QAbstractItemModel>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <vector>

class TBarChart : public QWidget {
  Q_OBJECT
public:
  explicit TBarChart(QWidget* parent = nullptr);

  void SetModel(QAbstractItemModel* model, int labelColumn, int valueColumn);
  void SetAxisTitles(const QString& horizontal, const QString& vertical);

  struct TBar {
    QString Label;
    double Value = 0;
  };
  std::vector<TBar> Bars() const;

  // The colour of the values written above the bars.
  static QColor ValueLabelColor() { return Qt::black; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  static double NiceStep(double maximum, int wantedTicks);

  QPointer<QAbstractItemModel> FModel;
  int FLabelColumn = 0;
  int FValueColumn = 1;
  QString FHorizontalTitle;
  QString FVerticalTitle;
  std::vector<QMetaObject::Connection> FConnections;
};
