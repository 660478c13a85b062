#pragma once
// Log text in a widget: control characters as visible symbols (base/VisibleText.h). Line
// breaks of a message stay line breaks when asked.
#include <QString>
#include <QStringList>

#include "base/VisibleText.h"

inline QString ShowControls(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return QString::fromStdString(ShowControls(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
}

// Each line of a message made visible; the line breaks between them kept.
inline QString ShowControlsKeepingLines(const QString& text) {
  QStringList lines = text.split(QLatin1Char('\n'));
  for (QString& line : lines) line = ShowControls(line);
  return lines.join(QLatin1Char('\n'));
}
