#include "analyses/ui/SwatchDelegate.h"

TSwatchDelegate::TSwatchDelegate(ILocalFormat& format, int swatchColumn,
                                 std::function<unsigned(const QString&)> colorOf, QObject* parent)
    : TMemTableDelegate(format, parent), FSwatchColumn(swatchColumn), FColorOf(std::move(colorOf)) {}

void TSwatchDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
  TMemTableDelegate::initStyleOption(option, index);
  if (index.column() != FSwatchColumn) return;
  const QColor color(QRgb(FColorOf(option->text)));
  option->backgroundBrush = color;
  // The text vanishes into the swatch, selected or not.
  for (auto role : {QPalette::Text, QPalette::HighlightedText, QPalette::WindowText})
    option->palette.setColor(role, color);
  option->state &= ~QStyle::State_Selected;
}
