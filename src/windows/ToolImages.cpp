#include "windows/ToolImages.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int Size = 16;

void DrawPlus(QPainter& p, QColor colour, QRectF box) {
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(box.center().x(), box.top()), QPointF(box.center().x(), box.bottom()));
  p.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
}

void DrawPage(QPainter& p) {
  QPainterPath page;
  page.moveTo(3.5, 1.5);
  page.lineTo(9.5, 1.5);
  page.lineTo(12.5, 4.5);
  page.lineTo(12.5, 14.5);
  page.lineTo(3.5, 14.5);
  page.closeSubpath();
  p.setPen(QPen(QColor(90, 90, 90), 1));
  p.setBrush(Qt::white);
  p.drawPath(page);
  p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
  p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
}

void DrawDisk(QPainter& p) {
  p.setPen(QPen(QColor(20, 40, 110), 1));
  p.setBrush(QColor(50, 90, 180));
  p.drawRect(QRectF(1.5, 1.5, 12, 12));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 6, 4));
  p.setBrush(QColor(210, 210, 210));
  p.drawRect(QRectF(3.5, 8.5, 8, 5));
}

void DrawFolder(QPainter& p) {
  p.setPen(QPen(QColor(140, 100, 20), 1));
  p.setBrush(QColor(240, 200, 80));
  QPainterPath folder;
  folder.moveTo(1.5, 3.5);
  folder.lineTo(6.5, 3.5);
  folder.lineTo(8, 5.5);
  folder.lineTo(14.5, 5.5);
  folder.lineTo(14.5, 13.5);
  folder.lineTo(1.5, 13.5);
  folder.closeSubpath();
  p.drawPath(folder);
}

void Draw(QPainter& p, TToolImage image) {
  switch (image) {
    case TToolImage::Add:
      DrawPlus(p, QColor(30, 140, 40), QRectF(3, 3, 10, 10));
      break;
    case TToolImage::New:
      DrawPage(p);
      DrawPlus(p, QColor(30, 140, 40), QRectF(9, 9, 6, 6));
      break;
    case TToolImage::Clear:
      p.setPen(QPen(QColor(190, 30, 30), 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case TToolImage::Unselect:
      p.setPen(QPen(QColor(60, 60, 60), 1, Qt::DotLine));
      p.drawRect(QRectF(2.5, 4.5, 11, 7));
      break;
    case TToolImage::Open:
      DrawFolder(p);
      break;
    case TToolImage::Save:
      DrawDisk(p);
      break;
    case TToolImage::SaveAs:
      DrawDisk(p);
      p.setPen(QPen(QColor(200, 120, 0), 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9, 14), QPointF(15, 8));
      break;
    case TToolImage::Close:
      p.setPen(QPen(QColor(90, 60, 30), 1));
      p.setBrush(QColor(170, 120, 70));
      p.drawRect(QRectF(2.5, 1.5, 7, 13));
      p.setPen(QPen(QColor(30, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(14.5, 8));
      p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
      p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
      break;
  }
}

}  // namespace

QIcon ToolImage(TToolImage image) {
  QPixmap pixmap(Size, Size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  Draw(painter, image);
  painter.end();
  return QIcon(pixmap);
}
