#pragma once
// The one place where grid cells of a TMemTableModel get their texts: date-times in the local
// short date and long time (no time at midnight), times as hh:mm:ss, integers without group
// separators, booleans by per-column display texts, strings as plain text.
#include <QStyledItemDelegate>

#include <map>

#include "platform/LocalFormat.h"

class TMemTableDelegate : public QStyledItemDelegate {
  Q_OBJECT
public:
  // The format must outlive the delegate.
  explicit TMemTableDelegate(ILocalFormat& format, QObject* parent = nullptr);

  // Texts of a boolean column; without them a column shows "True" and "False".
  void SetBooleanTexts(int column, const QString& trueText, const QString& falseText);

  // The text a cell shows; empty for an absent value.
  QString DisplayText(const QModelIndex& index) const;

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
  ILocalFormat& FFormat;
  std::map<int, std::pair<QString, QString>> FBooleanTexts;
};
