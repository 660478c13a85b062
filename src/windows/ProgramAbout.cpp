#include "windows/ProgramAbout.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "windows/QelAboutBox.h"

namespace {

constexpr int LogoWidth = 396;
constexpr int LogoHeight = 76;

QPixmap BlankLogo(const QColor& from, const QColor& to) {
  QPixmap logo(LogoWidth, LogoHeight);
  QPainter painter(&logo);
  QLinearGradient shade(0, 0, LogoWidth, 0);
  shade.setColorAt(0, from);
  shade.setColorAt(1, to);
  painter.fillRect(logo.rect(), shade);
  return logo;
}

QFont LogoFont(int pixels, bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace

QPixmap DrawProductLogo() {
  QPixmap logo = BlankLogo(QColor(18, 52, 96), QColor(40, 120, 160));
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  // A small bar chart: hits rising through the day.
  const int heights[] = {14, 22, 18, 34, 46, 40, 56};
  for (int i = 0; i < 7; ++i)
    painter.fillRect(QRect(14 + i * 11, 66 - heights[i], 8, heights[i]), QColor(250, 190, 60));
  painter.setPen(Qt::white);
  painter.setFont(LogoFont(38, true));
  painter.drawText(QRect(100, 4, 290, 46), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Trevalo"));
  painter.setFont(LogoFont(13, false));
  painter.drawText(QRect(102, 48, 290, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("web-server access logs at a glance"));
  return logo;
}

QPixmap DrawMakerLogo() {
  QPixmap logo = BlankLogo(QColor(236, 240, 232), QColor(196, 214, 200));
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  // Three linked nodes: a visitor's path through a site.
  const QPointF nodes[] = {{28, 52}, {58, 24}, {88, 48}};
  painter.setPen(QPen(QColor(40, 90, 70), 3));
  painter.drawPolyline(nodes, 3);
  painter.setBrush(QColor(40, 90, 70));
  for (const QPointF& node : nodes) painter.drawEllipse(node, 8, 8);
  painter.setPen(QColor(30, 60, 50));
  painter.setFont(LogoFont(24, true));
  painter.drawText(QRect(116, 8, 272, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Trevalo developers"));
  painter.setFont(LogoFont(13, false));
  painter.drawText(QRect(118, 46, 272, 22), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("trevalo.example.org"));
  return logo;
}

void SetUpProgramAboutBox(TQELAboutBox& box) {
  box.Caption = QStringLiteral("Trevalo");
  box.Pages = abHersteller | abProdukt | abKunde;
  box.UseVersionInfo = false;
  for (int index = 1; index <= AboutTextCount; ++index) box.SetText(index, QString());
  box.SetText(atProduktName, QStringLiteral("Trevalo"));
  box.SetText(atProduktVersion, QStringLiteral("Version: "));
  box.SetText(atCopyright, QStringLiteral("Copyright (C) Trevalo developers"));
  box.SetText(atHerstellerAdresse, QStringLiteral("Trevalo developers\r\nExample Street 1\r\n12345 Example Town"));
  box.SetText(atHerstellerWeb, QString::fromLatin1(MakerWebAddress));
  box.SetText(atHerstellerEMail, QStringLiteral("info@trevalo.example.org"));
  box.SetLogo(TAboutBoxDialog::piProdukt, DrawProductLogo());
  box.SetLogo(TAboutBoxDialog::piHersteller, DrawMakerLogo());
}
