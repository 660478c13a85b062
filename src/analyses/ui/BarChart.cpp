#include "analyses/ui/BarChart.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "analyses/ui/ChartPalette.h"

TBarChart::TBarChart(QWidget* parent) : TModelChart(parent, QSize(120, 100)) {}

void TBarChart::SetAxisTitles(const QString& horizontal, const QString& vertical) {
  FHorizontalTitle = horizontal;
  FVerticalTitle = vertical;
  update();
}

std::vector<TBarChart::TBar> TBarChart::Bars() const {
  std::vector<TBar> bars;
  if (!FModel) return bars;
  for (int row = 0; row < FModel->rowCount(); ++row)
    bars.push_back({FModel->data(FModel->index(row, FLabelColumn)).toString(),
                    FModel->data(FModel->index(row, FValueColumn)).toDouble()});
  return bars;
}

double TBarChart::NiceStep(double maximum, int wantedTicks) {
  if (maximum <= 0) return 1;
  const double raw = maximum / wantedTicks;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  for (double factor : {1.0, 2.0, 5.0, 10.0})
    if (raw <= factor * magnitude) return std::max(1.0, factor * magnitude);
  return std::max(1.0, 10 * magnitude);
}

void TBarChart::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QFontMetrics metrics(font());
  const int lineHeight = metrics.height();
  const auto bars = Bars();

  double maximum = 0;
  for (const auto& bar : bars) maximum = std::max(maximum, bar.Value);
  const double step = NiceStep(maximum, 5);
  const double top = std::max(step, std::ceil(maximum / step) * step);

  const int tickTextWidth = metrics.horizontalAdvance(QString::number(static_cast<long long>(top))) + 6;
  const QRect plot = rect().adjusted(lineHeight + 8 + tickTextWidth, lineHeight + 10, -12, -(2 * lineHeight + 14));
  if (plot.width() < 10 || plot.height() < 10) return;

  // Grid lines and the values of the vertical axis.
  painter.setPen(QColor(0xDDDDDD));
  for (double value = 0; value <= top + step / 2; value += step) {
    const int y = plot.bottom() - static_cast<int>(std::lround(value / top * plot.height()));
    painter.setPen(QColor(0xDDDDDD));
    painter.drawLine(plot.left(), y, plot.right(), y);
    painter.setPen(Qt::black);
    painter.drawText(QRect(plot.left() - tickTextWidth - 4, y - lineHeight / 2, tickTextWidth, lineHeight),
                     Qt::AlignRight | Qt::AlignVCenter, QString::number(static_cast<long long>(value)));
  }
  painter.setPen(Qt::black);
  painter.drawLine(plot.bottomLeft(), plot.bottomRight());
  painter.drawLine(plot.bottomLeft(), plot.topLeft());

  // The bars, their values above and their names below.
  if (!bars.empty()) {
    const double slot = double(plot.width()) / double(bars.size());
    const double width = std::max(1.0, slot * 0.7);
    for (std::size_t i = 0; i < bars.size(); ++i) {
      const double height = bars[i].Value / top * plot.height();
      const double left = plot.left() + slot * double(i) + (slot - width) / 2;
      const QRectF bar(left, plot.bottom() - height, width, height);
      const QColor color = ChartColor(static_cast<int>(i));
      painter.fillRect(bar, color);
      painter.setPen(color.darker(140));
      painter.drawRect(bar);
      painter.setPen(ValueLabelColor());
      const QRectF valueRect(plot.left() + slot * double(i), bar.top() - lineHeight - 2, slot, lineHeight);
      painter.drawText(valueRect, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
                       QString::number(static_cast<long long>(bars[i].Value)));
      const QRectF nameRect(plot.left() + slot * double(i), plot.bottom() + 3, slot, lineHeight);
      painter.drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                       metrics.elidedText(bars[i].Label, Qt::ElideRight, static_cast<int>(slot)));
    }
  }

  // Axis titles.
  QFont bold = font();
  bold.setBold(true);
  painter.setFont(bold);
  painter.drawText(QRect(plot.left(), plot.bottom() + lineHeight + 8, plot.width(), lineHeight + 4),
                   Qt::AlignHCenter | Qt::AlignTop, FHorizontalTitle);
  painter.save();
  painter.translate(4, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRect(-plot.height() / 2, 0, plot.height(), lineHeight + 4), Qt::AlignHCenter | Qt::AlignTop,
                   FVerticalTitle);
  painter.restore();
}
