#pragma once
// The colours charts give their slices and bars, in turn; none of them is the orange that
// marks a row left out of a pie.
#include <QColor>

QColor ChartColor(int index);
