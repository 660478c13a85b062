#include "analyses/ui/ChartPalette.h"

#include <array>

QColor ChartColor(int index) {
  static constexpr std::array<QRgb, 16> colors{
      0xD32F2F, 0x388E3C, 0xFBC02D, 0x1976D2, 0x7B1FA2, 0x0097A7, 0x5D4037, 0xC2185B,
      0xAFB42B, 0x283593, 0x00796B, 0x757575, 0x827717, 0x880E4F, 0x4FC3F7, 0x9CCC65,
  };
  const auto size = static_cast<int>(colors.size());
  return QColor(colors[static_cast<std::size_t>(((index % size) + size) % size)]);
}
