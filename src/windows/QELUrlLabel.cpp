#include "windows/QELUrlLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

namespace {

bool NamesItsScheme(const QString& address) {
  return address.contains(QStringLiteral("://")) || address.startsWith(QStringLiteral("mailto:"), Qt::CaseInsensitive);
}

}  // namespace

TQELUrlLabel::TQELUrlLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setCursor(Qt::PointingHandCursor);
  ShowAs(FInactiveColor, false);
}

void TQELUrlLabel::SetHighlightURLOnMouse(bool on) {
  FHighlightURLOnMouse = on;
  QFont shown = font();
  shown.setUnderline(!on);
  setFont(shown);
}

void TQELUrlLabel::SetInactiveColor(const QColor& colour) {
  FInactiveColor = colour;
  ShowAs(colour, font().underline());
}

QString TQELUrlLabel::Address() const {
  const QString target = FUseCaption ? text() : FURL;
  if (NamesItsScheme(target)) return target;
  switch (FURLType) {
    case utHTTP: return QStringLiteral("http://") + target;
    case utFTP: return QStringLiteral("ftp://") + target;
    case utMail: return QStringLiteral("mailto:") + target;
    case utCustom: break;
  }
  return FCustomURLType + target;
}

void TQELUrlLabel::Click() {
  if (OnClick)
    OnClick();
  else
    OpenURL(Address());
}

void TQELUrlLabel::OpenURL(const QString& address) { QDesktopServices::openUrl(QUrl(address)); }

void TQELUrlLabel::ShowAs(const QColor& colour, bool underline) {
  QPalette shown = palette();
  shown.setColor(QPalette::WindowText, colour);
  setPalette(shown);
  QFont face = font();
  face.setUnderline(underline);
  setFont(face);
}

void TQELUrlLabel::enterEvent(QEnterEvent* event) {
  if (FHighlightURLOnMouse) ShowAs(FActiveColor, true);
  QLabel::enterEvent(event);
  emit MouseEntered();
}

void TQELUrlLabel::leaveEvent(QEvent* event) {
  if (FHighlightURLOnMouse) ShowAs(FInactiveColor, false);
  QLabel::leaveEvent(event);
  emit MouseLeft();
}

void TQELUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Click();
}
