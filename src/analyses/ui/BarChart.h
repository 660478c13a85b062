#pragma once
// A bar chart over two columns of a table model: one bar per row in the model's order, named
// by the label column, as high as the value column, each bar in its own colour with its value
// written above it; titles on both axes, no legend, no chart title.
#include <QString>

#include "analyses/ui/ModelChart.h"

#include <vector>

class TBarChart : public TModelChart {
  Q_OBJECT
public:
  explicit TBarChart(QWidget* parent = nullptr);

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

  QString FHorizontalTitle;
  QString FVerticalTitle;
};
