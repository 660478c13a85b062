#include "config/ui/MemTableDelegate.h"

#include "base/DateTime.h"
#include "base/MemTable.h"
#include "config/ui/MemTableModel.h"
#include "platform/ui/QtVisibleText.h"

namespace {

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TMemTableDelegate::TMemTableDelegate(ILocalFormat& format, QObject* parent)
    : QStyledItemDelegate(parent), FFormat(format) {}

void TMemTableDelegate::SetBooleanTexts(int column, const QString& trueText, const QString& falseText) {
  FBooleanTexts[column] = {trueText, falseText};
}

QString TMemTableDelegate::DisplayText(const QModelIndex& index) const {
  const QVariant value = index.data(Qt::DisplayRole);
  if (!value.isValid()) return {};
  const QVariant type = index.data(TMemTableModel::FieldTypeRole);
  if (!type.isValid()) return value.toString();
  switch (static_cast<TFieldType>(type.toInt())) {
    case TFieldType::DateTime: return FromUtf8(FFormat.FormatDateTime(value.toDouble()));
    case TFieldType::Time: return FromUtf8(IsoTime(value.toDouble()));
    case TFieldType::Integer: return QString::number(value.toInt());  // no group separators
    case TFieldType::Boolean: {
      const auto texts = FBooleanTexts.find(index.column());
      if (texts == FBooleanTexts.end()) return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
      return value.toBool() ? texts->second.first : texts->second.second;
    }
    case TFieldType::String: break;
  }
  return value.toString();
}

void TMemTableDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (!(option->features & QStyleOptionViewItem::HasDisplay)) return;
  const auto type = static_cast<TFieldType>(index.data(TMemTableModel::FieldTypeRole).toInt());
  // Texts from logs are painted with their control characters as symbols; DisplayText, which
  // copying and export read, keeps them.
  option->text = type == TFieldType::String ? ShowControls(DisplayText(index)) : DisplayText(index);
  if (type == TFieldType::Integer) option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
}
