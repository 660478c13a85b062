#include "analyses/ui/PieChart.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analyses/ui/ChartPalette.h"
#include "platform/ui/QtVisibleText.h"

namespace {

constexpr double Tilt = 0.6;           // height of the disc against its width
constexpr double RimDepth = 0.12;      // thickness of the rim against the radius
constexpr double MaxExplode = 0.20;    // the largest pull-out, kept free around the pie
constexpr double Margin = 8;
constexpr double LegendBox = 10;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

struct TPieChart::TGeometry {
  QPointF Center;
  double RadiusX = 0;
  double RadiusY = 0;
  double Depth = 0;

  QPointF Point(double degrees, double dy = 0) const {
    const double a = Radians(degrees);
    return {Center.x() + RadiusX * std::cos(a), Center.y() - RadiusY * std::sin(a) + dy};
  }
  QRectF Rect() const {
    return {Center.x() - RadiusX, Center.y() - RadiusY, 2 * RadiusX, 2 * RadiusY};
  }
};

TPieChart::TPieChart(QWidget* parent) : TModelChart(parent, QSize(60, 60)) {}

void TPieChart::SetLegendVisible(bool visible) {
  FLegendVisible = visible;
  update();
}

void TPieChart::SetRotation(int degrees) {
  FRotation = ((degrees % 360) + 360) % 360;
  update();
}

void TPieChart::SetExplodePercent(int percent) {
  FExplodePercent = std::clamp(percent, 0, 20);
  update();
}


std::vector<TPieChart::TSlice> TPieChart::Slices() const {
  std::vector<TSlice> slices;
  if (!FModel) return slices;
  const int rows = FModel->rowCount();
  slices.reserve(static_cast<std::size_t>(std::max(rows, 0)));
  for (int row = 0; row < rows; ++row) {
    TSlice slice;
    slice.Label = FModel->data(FModel->index(row, FLabelColumn)).toString();
    slice.Value = std::max(0.0, FModel->data(FModel->index(row, FValueColumn)).toDouble());
    slice.Color = ChartColor(row);
    slices.push_back(std::move(slice));
  }
  return slices;
}

int TPieChart::BiggestSlice() const {
  const auto slices = Slices();
  int biggest = -1;
  for (std::size_t i = 0; i < slices.size(); ++i)
    if (biggest < 0 || slices[i].Value > slices[static_cast<std::size_t>(biggest)].Value) biggest = static_cast<int>(i);
  return biggest;
}

TPieChart::TGeometry TPieChart::Layout(const QRectF& area) const {
  TGeometry g;
  const double reserve = 1 + MaxExplode;
  g.RadiusX = std::max(0.0, std::min(area.width() / (2 * reserve), area.height() / (2 * Tilt * reserve + RimDepth)));
  g.RadiusY = g.RadiusX * Tilt;
  g.Depth = g.RadiusX * RimDepth;
  g.Center = QPointF(area.center().x(), area.center().y() - g.Depth / 2);
  return g;
}

void TPieChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const auto slices = Slices();
  QRectF area = QRectF(rect()).adjusted(Margin, Margin, -Margin, -Margin);
  if (FLegendVisible && !slices.empty()) {
    const double legendWidth = std::min(area.width() * 0.4, 220.0);
    DrawLegend(painter, slices, QRectF(area.right() - legendWidth, area.top(), legendWidth, area.height()));
    area.setRight(area.right() - legendWidth - Margin);
  }
  DrawPie(painter, slices, area);
  painter.end();

  if (FAfterDraw) {
    TSliceColors colors;
    colors.reserve(slices.size());
    for (const auto& slice : slices) colors.emplace_back(slice.Label, slice.Color);
    FAfterDraw(colors);
  }
}

void TPieChart::DrawPie(QPainter& painter, const std::vector<TSlice>& slices, const QRectF& area) const {
  double total = 0;
  for (const auto& slice : slices) total += slice.Value;
  if (total <= 0 || area.width() < 4 || area.height() < 4) return;
  const TGeometry g = Layout(area);

  int biggest = -1;
  for (std::size_t i = 0; i < slices.size(); ++i)
    if (biggest < 0 || slices[i].Value > slices[static_cast<std::size_t>(biggest)].Value) biggest = static_cast<int>(i);

  // Slices run clockwise from twelve o'clock, turned by the rotation. Angles are counter-
  // clockwise degrees from three o'clock, as the painter counts them.
  struct TPart {
    double Start;
    double Span;
    QPointF Offset;
  };
  std::vector<TPart> parts;
  double angle = 90.0 - FRotation;
  for (std::size_t i = 0; i < slices.size(); ++i) {
    const double span = slices[i].Value / total * 360.0;
    TPart part{angle - span, span, {}};
    if (static_cast<int>(i) == biggest && FExplodePercent > 0) {
      const double middle = Radians(part.Start + span / 2);
      const double pull = FExplodePercent / 100.0;
      part.Offset = QPointF(std::cos(middle) * g.RadiusX * pull, -std::sin(middle) * g.RadiusY * pull);
    }
    parts.push_back(part);
    angle -= span;
  }

  // The rim: the front half of every slice, drawn as a band below its edge.
  painter.setPen(Qt::NoPen);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const TPart& part = parts[i];
    if (part.Span <= 0) continue;
    painter.setBrush(slices[i].Color.darker(160));
    for (int turn = -3; turn <= 1; ++turn) {
      const double lo = std::max(part.Start, 180.0 + 360.0 * turn);
      const double hi = std::min(part.Start + part.Span, 360.0 + 360.0 * turn);
      if (hi <= lo) continue;
      QPainterPath band;
      const int steps = std::max(2, static_cast<int>((hi - lo) / 3));
      for (int s = 0; s <= steps; ++s) {
        const QPointF p = g.Point(lo + (hi - lo) * s / steps) + part.Offset;
        if (s == 0) band.moveTo(p);
        else band.lineTo(p);
      }
      for (int s = steps; s >= 0; --s) band.lineTo(g.Point(lo + (hi - lo) * s / steps, g.Depth) + part.Offset);
      band.closeSubpath();
      painter.drawPath(band);
    }
  }

  // The top of every slice.
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const TPart& part = parts[i];
    if (part.Span <= 0) continue;
    painter.setBrush(slices[i].Color);
    painter.setPen(QPen(slices[i].Color.darker(130), 0.8));
    const QRectF r = g.Rect().translated(part.Offset);
    if (part.Span >= 359.999) painter.drawEllipse(r);
    else painter.drawPie(r, static_cast<int>(std::lround(part.Start * 16)), static_cast<int>(std::lround(part.Span * 16)));
  }
}

void TPieChart::DrawLegend(QPainter& painter, const std::vector<TSlice>& slices, const QRectF& area) const {
  const QFontMetrics metrics(font());
  const double line = std::max<double>(metrics.height(), LegendBox) + 3;
  const auto fitting = static_cast<std::size_t>(std::max(0.0, area.height() / line));
  const std::size_t count = std::min(slices.size(), fitting);
  double y = area.top() + std::max(0.0, (area.height() - line * double(count)) / 2);
  painter.setPen(Qt::black);
  for (std::size_t i = 0; i < count; ++i, y += line) {
    const QRectF box(area.left(), y + (line - LegendBox) / 2, LegendBox, LegendBox);
    painter.fillRect(box, slices[i].Color);
    painter.drawRect(box);
    const QRectF textRect(box.right() + 6, y, area.right() - box.right() - 6, line);
    const QString text = metrics.elidedText(ShowControls(slices[i].Label), Qt::ElideRight, static_cast<int>(textRect.width()));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, text);
  }
}
