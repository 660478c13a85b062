#pragma once
// A pie over two columns of a table model: one slice per row in the model's order, sized by
// the value column and named by the label column, each slice in its own colour. Drawn tilted
// with a rim, like a flat disc seen from above; no title, no slice marks, no axes. It can be
// turned, its biggest slice pulled out, and it tells after every drawing which colour each
// slice got.
#include <QColor>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

#include "analyses/ui/ModelChart.h"

class TPieChart : public TModelChart {
  Q_OBJECT
public:
  using TSliceColors = std::vector<std::pair<QString, QColor>>;

  explicit TPieChart(QWidget* parent = nullptr);

  void SetLegendVisible(bool visible);

  // Degrees the first slice's start is turned by (0 to 359).
  void SetRotation(int degrees);
  int Rotation() const { return FRotation; }
  // Distance by which the biggest slice is pulled out, in percent of the radius (0 to 20).
  void SetExplodePercent(int percent);
  int ExplodePercent() const { return FExplodePercent; }

  // Called after every drawing with (label, colour) of each slice, in slice order.
  void SetAfterDraw(std::function<void(const TSliceColors&)> afterDraw) { FAfterDraw = std::move(afterDraw); }

  // The slices as the model holds them now.
  struct TSlice {
    QString Label;
    double Value = 0;
    QColor Color;
  };
  std::vector<TSlice> Slices() const;
  int BiggestSlice() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  struct TGeometry;
  TGeometry Layout(const QRectF& area) const;
  void DrawPie(QPainter& painter, const std::vector<TSlice>& slices, const QRectF& area) const;
  void DrawLegend(QPainter& painter, const std::vector<TSlice>& slices, const QRectF& area) const;

  bool FLegendVisible = false;
  int FRotation = 0;
  int FExplodePercent = 0;
  std::function<void(const TSliceColors&)> FAfterDraw;
};
