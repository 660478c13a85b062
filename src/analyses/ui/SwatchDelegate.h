#pragma once
// Grid cells of a ranked-sum grid: the ID column is drawn as a solid swatch in the colour of
// the row's pie slice (orange for a row left out of the pie); other cells as usual.
#include <functional>

#include "config/ui/MemTableDelegate.h"

class TSwatchDelegate : public TMemTableDelegate {
  Q_OBJECT
public:
  // colorOf: the swatch colour (0xRRGGBB) of an ID text.
  TSwatchDelegate(ILocalFormat& format, int swatchColumn, std::function<unsigned(const QString&)> colorOf,
                  QObject* parent = nullptr);

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
  int FSwatchColumn;
  std::function<unsigned(const QString&)> FColorOf;
};
